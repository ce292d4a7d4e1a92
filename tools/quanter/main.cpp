// quanter: simulates a timed Petri net with constant delays, in-process by the
// counter recursion or (-compile) through generated and compiled C code.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "petri/pnl_reader.h"
#include "run.h"

namespace {

using quanter::kProg;

void usage() {
  std::printf("Usage: %s [-f <file>] [-tmax <int>] [-bs <int>]", kProg);
  std::printf(" [-scale <int>]\n\t[-compile] [-keep] [-tmp] [-c] ");
  std::printf(" [-debug] [-h] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg);
  orv::Args args(argc, argv, kProg);
  quanter::Options o;
  const orv::Args::Standard standard{usage};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(o.file);
    } else if (args.is("-bs")) {
      // A buffer holds at least one row of counters.
      if (args.take_int(o.run.Buf_Size) && o.run.Buf_Size < 1) {
        std::printf("%s: integer expected after %s\n", kProg, "-bs");
        args.fail();
      }
    } else if (args.is("-scale")) {
      // Ticks per time unit: a scale below 1 has no tick to count in.
      if (args.take_int(o.run.Scale) && o.run.Scale < 1) {
        std::printf("%s: integer expected after %s\n", kProg, "-scale");
        args.fail();
      }
    } else if (args.is("-tmax")) {
      // A run cannot end before it starts.
      if (args.take_int(o.run.Tmax) && o.run.Tmax < 0) {
        std::printf("%s: integer expected after %s\n", kProg, "-tmax");
        args.fail();
      }
    } else if (args.is("-debug")) {
      orv::pn::Debug = 1;
    } else if (args.is("-c")) {
      o.checking = 1;
    } else if (args.is("-compile")) {
      o.compile = 1;
    } else if (args.is("-keep")) {
      o.keep = 1;
    } else if (args.is("-tmp")) {
      // An empty value names no directory (it is not the root).
      if (args.take_word(o.tmp_dir, "%s: directory expected after %s\n") && !o.tmp_dir.empty() &&
          o.tmp_dir.back() != '/')
        o.tmp_dir += '/';
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);
  return out.finish(quanter::Run(o));
}
