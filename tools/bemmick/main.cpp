// bemmick: explains entries of the max-plus matrix of a flat FIFO event
// graph by the paths that give them.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/mp_tables.h"
#include "eventgraph/topology.h"
#include "paths.h"

namespace {

const char* const PROG = "bemmick";

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(PROG, -1);
  orv::Args args(argc, argv, PROG);
  std::string in_file, out_file, arc_file;
  bool has_arcs = false;
  auto usage = [&] {
    std::printf("Usage: %s [-f <file>] ", PROG);
    std::printf("[-debug] [-o <file>] -arcs <file>\n");
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(in_file);
    } else if (args.is("-o")) {
      args.take_string(out_file);
    } else if (args.is("-arcs")) {
      has_arcs = args.take_string(arc_file);
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
    std::fprintf(stderr, "%s: Error reading network. No analysis.\n", PROG);
    return out.finish(-1);
  }
  if (!orv::eg::topological_analysis(*graph)) {
    std::printf("%s: error: Network not live.\n", PROG);
    return out.finish(-2);
  }
  if (!orv::eg::is_fifo(*graph)) {
    std::printf("%s: error: Network not FIFO.\n", PROG);
    return out.finish(-3);
  }
  if (graph->Max_Pop_Init > 1) {
    std::printf("%s: error: Network not flat.\n", PROG);
    return out.finish(-4);
  }

  if (!out_file.empty() && !out.redirect_stdout(out_file, false)) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", PROG, out_file.c_str());
    out.report_open_failure(out_file);
    return out.finish(-1);
  }
  if (!has_arcs) {
    std::fprintf(stderr, "%s: Error: missing arc file.\n", PROG);
    return out.finish(-1);
  }
  FILE* arcs = std::fopen(arc_file.c_str(), "r");
  if (arcs == nullptr) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", PROG, arc_file.c_str());
    return out.finish(-1);
  }
  bemmick::Find_Critical_Paths(*graph, arcs, PROG);
  std::fclose(arcs);
  return out.finish(0);
}
