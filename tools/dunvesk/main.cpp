// dunvesk: reads an event graph, rewrites it (recycling, re-marking by a
// linear program, flattening, determinizing, in that order) and writes it
// again as EGL.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/args.h"
#include "common/egl_writer.h"
#include "common/output_guard.h"
#include "dunvesk.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"

namespace {

const char* const PROG = "dunvesk";

void usage() {
  std::printf("Usage: %s [-f <file>] [-downstream] [-upstream]", PROG);
  std::printf(" [-split] [-flatten]\n\t[-recycle] [-debug] ");
  std::printf("[-optimize] [-linprog] [-close] [-determinize]");
  std::printf("\n\t[-o <file>]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(PROG, -2);
  orv::Args args(argc, argv, PROG);
  std::string in_file, out_file;
  int mode = dunvesk::DOWNSTREAM;
  bool recycle = false, optimize = false, linprog = false, flatten = false, determinize = false;
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(in_file);
    } else if (args.is("-o")) {
      args.take_string(out_file);
    } else if (args.is("-upstream")) {
      mode = dunvesk::UPSTREAM;
    } else if (args.is("-downstream")) {
      mode = dunvesk::DOWNSTREAM;
    } else if (args.is("-split")) {
      mode = dunvesk::SPLIT;
    } else if (args.is("-recycle")) {
      recycle = true;
    } else if (args.is("-optimize")) {
      optimize = true;
    } else if (args.is("-linprog")) {
      linprog = true;
    } else if (args.is("-flatten")) {
      flatten = true;
    } else if (args.is("-determinize")) {
      determinize = true;
    } else if (args.is("-close")) {
      // accepted for older command lines; nothing to do
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
    return out.finish(-1);
  }
  if (recycle) dunvesk::Recycle_EG(*graph);
  // A graph that is not live is reported by the analysis and rewritten all
  // the same.
  orv::eg::topological_analysis(*graph);
  if (orv::eg::Debug) orv::eg::dumpe_network(*graph);

  if (optimize) {
    const auto st = dunvesk::Optimize_EG(*graph, mode, linprog, PROG);
    if (st == dunvesk::Optimize_Status::Failed) return out.finish(-3);
  }
  if (linprog) return out.finish(0);

  if (flatten) {
    orv::EventGraphPtr flat = dunvesk::Flatten_EG(*graph, mode);
    if (!flat) {
      std::fprintf(stderr, "%s: error: the flattened graph is too large. No translation.\n", PROG);
      return out.finish(-3);
    }
    graph = std::move(flat);
    if (orv::eg::Debug) {
      orv::eg::topological_analysis(*graph);
      orv::eg::dumpe_network(*graph);
    }
  }
  if (determinize && !dunvesk::Determinize_EG(*graph, PROG)) return out.finish(-1);

  // Only now may a results file be replaced: the run has nothing left to fail
  // on but the writing.
  if (!out_file.empty() && !out.redirect_stdout(out_file, false)) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", PROG, out_file.c_str());
    out.report_open_failure(out_file);
    return out.finish(-2);
  }
  if (orv::Write_EG_As_EGL(*graph, "", PROG) < 0) {
    // The writer's own flush met the error: report its cause here, as the
    // guard would, since the guard's later flush no longer sees it.
    const int err = errno;
    std::clearerr(stdout);
    std::fprintf(stderr, "%s: error: cannot write %s: %s\n", PROG, out.stdout_name().c_str(),
                 std::strerror(err != 0 ? err : EIO));
    return out.finish(-2);
  }
  return out.finish(0);
}
