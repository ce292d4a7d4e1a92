// Times reading an EGL file and its topological analysis.
#include <chrono>
#include <cstdio>

#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s file.egl\n", argv[0]);
    return -1;
  }
  using clock = std::chrono::steady_clock;
  auto ms = [](clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  const auto t0 = clock::now();
  orv::EventGraphPtr g = orv::eg::Read_Network(argv[1]);
  const auto t1 = clock::now();
  if (!g) return -1;
  const int live = orv::eg::topological_analysis(*g);
  const auto t2 = clock::now();
  std::printf("%d transitions, %d places, live %d, %d layers\n", g->Size, g->Nb_Places, live,
              g->Nb_Layers);
  std::printf("read %.1f ms, topology %.1f ms, total %.1f ms\n", ms(t1 - t0), ms(t2 - t1),
              ms(t2 - t0));
  return 0;
}
