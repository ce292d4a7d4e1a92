// hestrin: a task graph as a Quelm2 queueing-network model. Each task is a
// station that waits for one customer from each predecessor and sends one
// along each outgoing link; each link is an infinite server that delays
// the customer by the link's law.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "model.h"
#include "taskgraph/tgl_reader.h"

int main(int argc, char** argv) {
  using orv::tg::PROG;
  const char* invoked = argc > 0 && argv[0] != nullptr ? argv[0] : PROG;
  orv::Output_Guard out(PROG);
  orv::Args args(argc, argv, PROG);
  std::string in_file, out_file;
  bool has_out = false;
  int Sim_Length = 1000;
  bool Optimize = false;
  int Opt_Level = 0;
  auto usage = [&] {
    std::printf("Usage: %s [-f <file>] [-o <file>]", invoked);
    std::printf(" [-O <level>] [-tmax <number>] [-debug] [-?] [-h]\n");
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(in_file);
    } else if (args.is("-o")) {
      has_out = args.take_string(out_file);
    } else if (args.is("-O")) {
      Optimize = true;
      args.take_int(Opt_Level);
    } else if (args.is("-tmax")) {
      if (!args.take_int(Sim_Length, "") || Sim_Length <= 0) {
        std::printf("%s: positive integer expected ", invoked);
        std::printf("after %s\n", "-tmax");
        args.fail();
      }
    } else if (args.is("-debug")) {
      orv::tg::Debug = 1;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  orv::tg::GraphPtr g = orv::tg::Read_Network(in_file);
  if (!g) {
    std::fprintf(stderr, "%s: error: could not read network from file %s.\n", PROG,
                 in_file.c_str());
    return out.finish(-1);
  }
  if (!orv::tg::Can_Model(*g)) return out.finish(-2);
  if (has_out && !out.redirect_stdout(out_file)) return out.finish(-1);
  orv::tg::Write_Model(*g, Sim_Length, Optimize);
  return out.finish(0);
}
