// cadrix's run: the checks of the words the analysis needs, then the
// chain from the event graph to the waiting times.
#include "run.h"

#include <cstdio>

#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"

namespace cadrix {

int Run(Options o, orv::Output_Guard& out, Work_Files& work) {
  const bool debug = orv::eg::Debug != 0;

  if (!Initialize_Resources(o.checking, debug)) {
    std::printf("%s: error: some resources are missing", kProg);
    std::printf(" (check with -c). No analysis.\n");
    return -2;
  }
  if (o.checking) return 0;

  // Transitions are numbered from 1, as in the EGL file.
  if (o.trans_nb < 1) {
    std::printf("%s: error: argument to -trans_nb required.\n", kProg);
    return -4;
  }
  if (o.input_nb < 0) {
    std::printf("%s: error: argument to -input_nb required.\n", kProg);
    return -4;
  }
  if (!o.stationary && o.event_nb < 0) {
    std::printf("%s: error: argument to -event_nb required.\n", kProg);
    return -4;
  }
  if (!(o.d.Lambda > 0)) {
    std::printf("%s: error: positive argument to -lambda required.\n", kProg);
    return -4;
  }

  if (!Make_Work_Files(o.keep, o.file)) {
    End_Work_Files(0);
    return -2;
  }
  work.made = true;
  work.keep = o.keep;

  orv::EventGraphPtr graph = orv::eg::Read_Network(o.file);
  if (!graph) {
    std::fprintf(stderr, "%s: Error reading network. No analysis.\n", kProg);
    return -1;
  }
  if (debug) orv::eg::dumpe_network(*graph);
  if (o.trans_nb > graph->Size) {
    std::printf("%s: error: argument to -trans_nb (%d)", kProg, o.trans_nb);
    std::printf("exceeds network size (%d).\n", graph->Size);
    return -4;
  }
  if (!orv::eg::topological_analysis(*graph)) {
    std::fprintf(stderr, "%s: Error: topological analysis failed. Abort.\n", kProg);
    return -1;
  }
  // The matrix is handed on in whole numbers: count time in a unit that
  // makes every delay whole, and the epochs back in the graph's own.
  const long scale = Time_Scale(*graph);
  if (scale == 0) return -1;
  Scale_Graph(*graph, scale);
  if (graph->Max_Pop_Init > 1) {
    orv::EventGraphPtr flat = Flatten_Network(*graph, o.keep);
    if (!flat) {
      std::fprintf(stderr, "%s: Error: flattening failed. Abort.\n", kProg);
      return -1;
    }
    graph = std::move(flat);
  }

  Epochs epochs;
  if (!Compute_Matrix(*graph, o.input_nb, o.keep) || !Compute_Transients(o.keep) ||
      !Extract_Parameters(graph->Size, o.trans_nb, epochs))
    return -2;
  Unscale_Epochs(epochs, scale);

  if (o.d.Value) o.d.x_Start = o.d.x_Stop = o.d.x_Val;
  if (o.stationary) o.event_nb = -1;
  if (!Dump_Data_File(o.d.Lambda, epochs, o.event_nb)) return -2;

  if (!o.out_file.empty() && !out.redirect_stdout(o.out_file)) return -2;
  if (!Compute_Distribution(o.d, o.keep)) return -2;
  return 0;
}

}  // namespace cadrix
