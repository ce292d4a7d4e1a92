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
  auto usage = [&] {
    std::printf("Usage: %s [-f <file>] [-?] [-h]\n", prog);
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(file);
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

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
