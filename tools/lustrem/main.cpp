// lustrem: reads a TGL task graph with the reader's trace on, computes its
// topology and dumps it.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "taskgraph/tgl_reader.h"
#include "taskgraph/topology.h"

int main(int argc, char** argv) {
  const char* prog = "lustrem";
  orv::Output_Guard out(prog);
  orv::Args args(argc, argv, prog);
  std::string file;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(file);
    } else if (args.is("-v")) {
      args.print_version();
      return out.finish(0);
    } else if (args.is("-h") || args.is("-?")) {
      std::printf("Usage: %s [-f <file>] [-?] [-h]\n", prog);
      return out.finish(0);
    }
  }
  if (args.failed()) return out.finish(-1);

  orv::tg::Parse_Debug = 1;
  orv::tg::GraphPtr g = orv::tg::Read_Network(file);
  if (!g) {
    std::fprintf(stderr, "%s: error: could not read graph from file %s.\n", prog, file.c_str());
    return out.finish(-1);
  }
  // A cyclic graph has been reported by the analysis and is dumped all the
  // same, without layers.
  orv::tg::topological_analysis(*g);
  orv::tg::dumpe_network(*g);
  return out.finish(0);
}
