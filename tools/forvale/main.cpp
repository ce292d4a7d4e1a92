// forvale: an event graph as a Quelm queueing-network model that simulates
// it and prints the cycle time of every transition.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"
#include "quelm.h"

namespace {

const char* const PROG = "forvale";

}  // namespace

int main(int argc, char** argv) {
  const char* started_as = argc > 0 && argv[0] != nullptr ? argv[0] : PROG;
  orv::Output_Guard out(PROG, -1);
  orv::Args args(argc, argv, PROG);
  std::string in_file, out_file;
  int nevt = 1000, level = 0;
  bool optimize = false, force = false;
  auto usage = [&] {
    std::printf("Usage: %s [-f <file>] ", started_as);
    std::printf("[-nevt <int>] [-O <level>] [-force] [-debug] [-o <file>]\n");
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(in_file);
    } else if (args.is("-o")) {
      args.take_string(out_file);
    } else if (args.is("-nevt")) {
      // A run stops after at least one firing.
      if (args.take_present_int(nevt) && nevt < 1) {
        std::printf("%s: integer expected after %s\n", PROG, "-nevt");
        args.fail();
      }
    } else if (args.is("-O")) {
      optimize = args.take_present_int(level);
    } else if (args.is("-force")) {
      force = true;
    } else if (args.is("-debug")) {
      orv::eg::Debug = 1;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  orv::EventGraphPtr graph = orv::eg::Read_Network(in_file);
  if (!graph) {
    std::fprintf(stderr, "%s: Error reading network. No translation.\n", PROG);
    return out.finish(-2);
  }
  if (!orv::eg::topological_analysis(*graph) && !force) {
    std::fprintf(stderr, "Topological analysis failed: ");
    std::fprintf(stderr, "look for an empty cycle.\n");
    return out.finish(-3);
  }

  forvale::Quelm_Writer w(*graph, PROG);
  w.Optimize = optimize;
  w.init_place_status();
  // A law without a Quelm form would leave a broken model: refuse it before
  // anything is written.
  if (!w.check_laws()) return out.finish(-4);

  if (!out_file.empty() && !out.redirect_stdout(out_file, false)) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", PROG, out_file.c_str());
    out.report_open_failure(out_file);
    return out.finish(-1);
  }
  w.dump_quelm_code(nevt);
  return out.finish(0);
}
