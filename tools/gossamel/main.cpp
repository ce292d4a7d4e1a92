// gossamel: an ATM network configuration as PNL models (one per session
// crossing kind, one per switch, the top network) and as a network program
// for the discrete-event simulation class library.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "gossamel.h"

namespace {

void usage() {
  std::printf("usage: %s [-f inputfile] [-distributed] [-allfiles]", "gossamel");
  std::printf(" [-no_stats]\n\t");
  std::printf("produces files \n\tsession0_0.pnl session)_1.pnl ,....\n\tswitch0.pnl,switch1.pnl,... "
              "\n\tand a file atm_network.cc. \n\tformat of the input file given in:\n\t");
  std::printf("%s\n", "$ORVHOME/lib/gossamel/atm_network.cfg");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out("gossamel");
  const char* name = argc > 0 ? argv[0] : "gossamel";
  gossamel::Invocation = name;
  orv::Args args(argc, argv, name, stderr);
  // No "-v"; the usage text ends the run as an error does.
  const orv::Args::Standard standard{usage, nullptr, true};
  gossamel::Options o;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_word(o.file, "%s: usage:filename expected after %s\n");
    } else if (args.is("-distributed")) {
      o.distributed = true;
    } else if (args.is("-allfiles")) {
      o.allfiles = true;
    } else if (args.is("-no_stats")) {
      o.stats = false;
    } else if (args.is("-debug")) {
      o.debug = true;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed() || args.done()) return out.finish(-1);
  return out.finish(gossamel::Run(o, out));
}
