// ilvaris: the first levels of the unfolding of a live event graph as an
// xfig (format 2.1) picture. Level k holds the k-th firing of every
// transition; a place of p tokens joins level k of its upstream transition
// to level k + p of its downstream one.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "drawing.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"

namespace {

const char* const PROG = "ilvaris";

}  // namespace

// Spacings and the radius are positive, the levels not negative, all
// small enough that no coordinate overflows.
static void in_range(orv::Args& args, const char* opt, int v, int lo, int hi) {
  if (v >= lo && v <= hi) return;
  std::printf("%s: integer expected after %s\n", "ilvaris", opt);
  args.fail();
}

int main(int argc, char** argv) {
  const char* started_as = argc > 0 && argv[0] != nullptr ? argv[0] : PROG;
  orv::Output_Guard out(PROG, -1);
  orv::Args args(argc, argv, PROG);
  std::string in_file, out_file;
  ilvaris::Options o;
  auto usage = [&] {
    std::printf("Usage: %s [-dx <number] [-dy <number>] [-f <file>] ", started_as);
    std::printf("[-bw] [-color]\n");
    std::printf("\t\t\t[-debug] [-o <file>] [-n <number>]");
    std::printf(" [-r <number>]\n");
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(in_file);
    } else if (args.is("-o")) {
      args.take_string(out_file);
    } else if (args.is("-dx")) {
      if (args.take_int(o.X_Hop)) in_range(args, "-dx", o.X_Hop, 1, 10000);
    } else if (args.is("-dy")) {
      if (args.take_int(o.Y_Hop)) in_range(args, "-dy", o.Y_Hop, 1, 10000);
    } else if (args.is("-n")) {
      if (args.take_int(o.Nb_Levels)) in_range(args, "-n", o.Nb_Levels, 0, 100000);
    } else if (args.is("-r")) {
      if (args.take_int(o.Radius)) in_range(args, "-r", o.Radius, 1, 10000);
    } else if (args.is("-bw")) {
      o.Is_Color = 0;
    } else if (args.is("-color")) {
      o.Is_Color = 1;
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
  const int live = orv::eg::topological_analysis(*graph);
  if (orv::eg::Debug) orv::eg::dumpe_network(*graph);
  if (!live) {
    std::fprintf(stderr, "Topological analysis failed: ");
    std::fprintf(stderr, "look for an empty cycle.\n");
    return out.finish(-1);
  }
  if (!out_file.empty() && !out.redirect_stdout(out_file, false)) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", PROG, out_file.c_str());
    out.report_open_failure(out_file);
    return out.finish(-1);
  }
  ilvaris::Gen_Fig_Code(*graph, o);
  return out.finish(0);
}
