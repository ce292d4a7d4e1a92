// cadrix: waiting times of a queue with Poisson arrivals served at the
// firing epochs of one transition of a deterministic event graph, through
// the chain flattener, matrix writer, transient analysis and queue analysis.
#include <cstdio>
#include <string>

#include "chain.h"
#include "common/args.h"
#include "common/output_guard.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"

namespace {

const char* const PROG = "cadrix";

void usage() {
  std::printf("Usage: %s [-f <file>] [-o <file>]\n\t-lambda <real> ", PROG);
  std::printf("-trans_nb <int> -input_nb <int> -event_nb <int>\n\t");
  std::printf("[-xfrom <real>] [-xto <real>] [-xval <real>] ");
  std::printf("[-xstep <real>] [-queue]\n\t[-log] [-moment <int>] ");
  std::printf("[-stationary] [-c] [-debug] [-h] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  // A results file that cannot be written is the status of a data file that
  // cannot be written.
  orv::Output_Guard out(PROG, -2);
  orv::Args args(argc, argv, PROG);
  std::string file, out_file;
  int keep = 0, checking = 0, stationary = 0;
  int trans_nb = -1, input_nb = -1, event_nb = -1;
  cadrix::Distribution d;
  d.Lambda = -1.0;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(file);
    } else if (args.is("-o")) {
      args.take_string(out_file);
    } else if (args.is("-keep")) {
      keep = 1;
    } else if (args.is("-c")) {
      checking = 1;
    } else if (args.is("-stationary")) {
      stationary = 1;
    } else if (args.is("-queue")) {
      d.Queue = true;
    } else if (args.is("-log")) {
      d.Log = true;
    } else if (args.is("-moment")) {
      // The queue analysis knows the moments 0, 1 and 2.
      if (args.take_int(d.Order)) {
        d.Moment = true;
        if (d.Order < 0 || d.Order > 2) {
          std::printf("%s: integer expected after %s\n", PROG, "-moment");
          args.fail();
        }
      }
    } else if (args.is("-trans_nb")) {
      args.take_int(trans_nb);
    } else if (args.is("-input_nb")) {
      args.take_int(input_nb);
    } else if (args.is("-event_nb")) {
      args.take_int(event_nb);
    } else if (args.is("-lambda")) {
      args.take_real(d.Lambda);
    } else if (args.is("-xfrom")) {
      args.take_real(d.x_Start);
    } else if (args.is("-xto")) {
      args.take_real(d.x_Stop);
    } else if (args.is("-xval")) {
      if (args.take_real(d.x_Val)) d.Value = true;
    } else if (args.is("-xstep")) {
      args.take_real(d.x_Step);
    } else if (args.is("-debug")) {
      orv::eg::Debug = 1;
    } else if (args.is("-v")) {
      args.print_version();
      return out.finish(0);
    } else if (args.is("-h") || args.is("-?")) {
      usage();
      return out.finish(0);
    }
  }
  if (args.failed()) return out.finish(-1);
  const bool debug = orv::eg::Debug != 0;

  if (!cadrix::Initialize_Resources(checking, debug)) {
    std::printf("%s: error: some resources are missing", PROG);
    std::printf(" (check with -c). No analysis.\n");
    return out.finish(-2);
  }
  if (checking) return out.finish(0);

  // Transitions are numbered from 1, as in the EGL file.
  if (trans_nb < 1) {
    std::printf("%s: error: argument to -trans_nb required.\n", PROG);
    return out.finish(-4);
  }
  if (input_nb < 0) {
    std::printf("%s: error: argument to -input_nb required.\n", PROG);
    return out.finish(-4);
  }
  if (!stationary && event_nb < 0) {
    std::printf("%s: error: argument to -event_nb required.\n", PROG);
    return out.finish(-4);
  }
  if (!(d.Lambda > 0)) {
    std::printf("%s: error: positive argument to -lambda required.\n", PROG);
    return out.finish(-4);
  }

  if (!cadrix::Make_Work_Files(keep, file)) {
    cadrix::End_Work_Files(0);
    return out.finish(-2);
  }
  struct Work_Guard {
    int Keep;
    ~Work_Guard() { cadrix::End_Work_Files(Keep); }
  } work{keep};

  orv::EventGraphPtr graph = orv::eg::Read_Network(file);
  if (!graph) {
    std::fprintf(stderr, "%s: Error reading network. No analysis.\n", PROG);
    return out.finish(-1);
  }
  if (debug) orv::eg::dumpe_network(*graph);
  if (trans_nb > graph->Size) {
    std::printf("%s: error: argument to -trans_nb (%d)", PROG, trans_nb);
    std::printf("exceeds network size (%d).\n", graph->Size);
    return out.finish(-4);
  }
  if (!orv::eg::topological_analysis(*graph)) {
    std::fprintf(stderr, "%s: Error: topological analysis failed. Abort.\n", PROG);
    return out.finish(-1);
  }
  // The matrix is handed on in whole numbers: count time in a unit that
  // makes every delay whole, and the epochs back in the graph's own.
  const long scale = cadrix::Time_Scale(*graph);
  if (scale == 0) return out.finish(-1);
  cadrix::Scale_Graph(*graph, scale);
  if (graph->Max_Pop_Init > 1) {
    orv::EventGraphPtr flat = cadrix::Flatten_Network(*graph, keep);
    if (!flat) {
      std::fprintf(stderr, "%s: Error: flattening failed. Abort.\n", PROG);
      return out.finish(-1);
    }
    graph = std::move(flat);
  }

  cadrix::Epochs epochs;
  if (!cadrix::Compute_Matrix(*graph, input_nb, keep) || !cadrix::Compute_Transients(keep) ||
      !cadrix::Extract_Parameters(graph->Size, trans_nb, epochs))
    return out.finish(-2);
  cadrix::Unscale_Epochs(epochs, scale);

  if (d.Value) d.x_Start = d.x_Stop = d.x_Val;
  if (stationary) event_nb = -1;
  if (!cadrix::Dump_Data_File(d.Lambda, epochs, event_nb)) return out.finish(-2);

  if (!out_file.empty() && !out.redirect_stdout(out_file)) return out.finish(-2);
  if (!cadrix::Compute_Distribution(d, keep)) return out.finish(-2);
  return out.finish(0);
}
