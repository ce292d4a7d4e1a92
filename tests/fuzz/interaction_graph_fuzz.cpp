// Interaction-graph texts: a graph that reads is written back in the sparse
// form, which must read back to the same arcs; small graphs are also turned
// into their Bernoulli product.
#include <cstdlib>
#include <string>

#include "fuzz_util.h"
#include "maxplus/interaction_graph.h"

using namespace orv::mp;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* in = orv::fuzz::open_text(data, size);
  if (in == nullptr) return 0;
  Interaction_Graph G = Read_Interaction_Graph(in);
  std::fclose(in);
  if (!G) return 0;
  if (G->Size <= 64 && !IG_To_BP(*G)) std::abort();
  std::string text = "sp " + std::to_string(G->Size);
  char buf[64];
  for (double w : G->Weight) {
    std::snprintf(buf, sizeof buf, " %.17g", w);
    text += buf;
  }
  for (int i = 0; i < G->Size; ++i)
    for (int k = 0; k < G->A.Nb_Elts[i]; ++k)
      text += " " + std::to_string(i) + " " + std::to_string(G->A.Elts[i][k]);
  FILE* back = fmemopen(text.data(), text.size(), "r");
  Interaction_Graph H = Read_Interaction_Graph(back);
  std::fclose(back);
  if (!H || H->A.Elts != G->A.Elts) std::abort();  // written, but not read back
  return 0;
}
