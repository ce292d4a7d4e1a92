// umbrisk: cycle time, eigenvector, critical graph and transient of an
// integer max-plus matrix.
#include <cstdio>
#include <new>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "umbrisk.h"

namespace {

void usage() {
  std::printf("usage: %s [-transient] [-f inputfile] ", "umbrisk");
  std::printf("[-o outputfile] [-precision <int>]\n");
  std::printf("[-cycles]\n");
  std::printf(
      "The precision is normally a power of 10 (ex: 100 for two digit precision).\n"
      "The inputfile must contain:\n"
      "\t- the size of the matrix, N, \n"
      "\t- an NxN integer matrix and an N vector (with option -transient),\n"
      "  with the following convention:\n"
      "\tthe string 'eps' represents -infinity,\n"
      "\tnumbers out of range [-%d/precision,%d/precision]\n"
      "\t are not accepted and\n"
      "\tall the insignificant digits (over the precision) are dropped.\n",
      2147483647, 2147483647);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace orv::umbrisk;
  const char* prog = argc > 0 ? argv[0] : "umbrisk";
  orv::Output_Guard out("umbrisk");
  orv::Args args(argc, argv, prog, stderr);
  Options o;
  std::string out_file;
  bool has_out = false;
  const orv::Args::Standard standard{usage, VERSION, true, "umbrisk"};
  std::string file;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_input(file, "%s: usage:filename expected after -f\n",
                      "%s: could not open file %s\n");
    } else if (args.is("-o")) {
      has_out = args.take_word(out_file, "usage: %s: filename expected after -o\n");
    } else if (args.is("-precision")) {
      // Every printed value is divided by the precision.
      if (args.take_int(o.Precision, "usage: %s: integer expected after %s\n") &&
          o.Precision <= 0) {
        std::fprintf(stderr, "usage: %s: positive integer expected after %s\n", prog,
                     "-precision");
        args.fail();
      }
    } else if (args.is("-transient")) {
      o.transient = true;
    } else if (args.is("-cycles")) {
      o.cycles = true;
    } else if (args.is("-debug")) {
      o.Debug = true;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  try {
    Problem p;
    int status = Read_Problem(stdin, o, p, stdout, stderr);
    if (status != 0) return out.finish(status);
    // Only a problem read whole may replace the results file, which may be
    // the input itself.
    if (has_out && !out.redirect_stdout(out_file, false)) {
      std::fprintf(stderr, "%s: cannot open file %s\n", prog, out_file.c_str());
      out.report_open_failure(out_file);
      return -1;
    }
    // A report cut short by an overflow or an endless transient keeps the
    // rows printed before it.
    out.keep_on_failure();
    return out.finish(Run(p, o, stdout, stderr));
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: Not enough memory.\n", "umbrisk");
    return out.finish(-1);
  }
}
