// Times the zero-time layering, the time scale and the predicates of a net.
#include <chrono>
#include <cstdio>

#include "petri/analysis.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s file.pnl\n", argv[0]);
    return -1;
  }
  using clock = std::chrono::steady_clock;
  auto ms = [](clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  const auto t0 = clock::now();
  orv::pn::NetPtr net = orv::pn::Read_Network(argv[1]);
  if (!net) return -1;
  orv::pn::Flatten_PN(*net, 1);
  const auto t1 = clock::now();
  orv::pn::LAYER_STRUCT layers;
  const int ok = orv::pn::topological_analysis(*net, &layers);
  const auto t2 = clock::now();
  const int scale = orv::pn::Find_Time_Scale(*net, 0, 100, 0, nullptr);
  const int det = orv::pn::Has_All_Deterministic_Objects(*net, 0, nullptr);
  const auto t3 = clock::now();
  std::printf("%d transitions, %d places: layering %d (%d levels), scale %d, deterministic %d\n",
              net->Nb_Trans, net->Nb_Places, ok, layers.Nb_Levels, scale, det);
  std::printf("read %.1f ms, layering %.1f ms, scale and predicates %.1f ms\n", ms(t1 - t0),
              ms(t2 - t1), ms(t3 - t2));
  return 0;
}
