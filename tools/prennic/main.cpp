// prennic: writes the matrix description of a free-choice Petri net in
// canonical form, which tormial reads to decide which transitions are live.
#include <cstdio>
#include <new>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "description.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"

int main(int argc, char** argv) {
  const char* prog = "prennic";
  orv::Output_Guard out(prog);
  orv::Args args(argc, argv, argv[0], stderr);
  std::string in_file, out_file;
  bool to_file = false;
  auto usage = [&] {
    std::printf("usage: %s [-f inputfile] [-o outputfile] \nIf -o is used the ouputfile is reset so old "
                "version(if any) is lost.\nThe inputfile must be a description of a petri net in pnl.\n",
                argv[0]);
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION, true, prog};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_word(in_file, "%s: usage:filename expected after %s\n");
    } else if (args.is("-o")) {
      to_file = args.take_word(out_file, "usage: %s: filename expected after %s\n");
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  orv::pn::NetPtr net = orv::pn::Read_Network(in_file);
  if (!net) {
    std::fprintf(stderr, "%s: Error reading network. No translation.\n", prog);
    return out.finish(-2);
  }
  // The arcs through submodel ports are arcs of the flat net only.
  orv::pn::Flatten_PN(*net, 1);
  if (!prennic::ordinary(*net)) {
    std::fprintf(stderr, "%s: error: the network has weighted or inhibitor arcs.\n", prog);
    return out.finish(-3);
  }
  if (!prennic::conform(*net)) return out.finish(-3);

  prennic::Description d;
  prennic::partition(*net, d);
  try {
    prennic::allocate(d);
  } catch (const std::bad_alloc&) {
    std::printf("%s: Error: Not enough memory. Abort.\n", prog);
    return out.finish(-1);
  }
  prennic::generate_mat(*net, d);

  if (to_file && !out.redirect_stdout(out_file, false)) {
    std::fprintf(stderr, "cannot open file %s\n", out_file.c_str());
    out.report_open_failure(out_file);
    return out.finish(-1);
  }
  prennic::write(*net, d);
  return out.finish(0);
}
