// Times Read_Network on each file named: reading, submodel files, inversion
// and the checks, nothing else. Prints seconds per file.
#include <chrono>
#include <cstdio>
#include <string>

#include "petri/pnl_reader.h"

int main(int argc, char** argv) {
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    auto start = std::chrono::steady_clock::now();
    orv::pn::NetPtr net = orv::pn::Read_Network(argv[i]);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!net) {
      std::fprintf(stderr, "pnl_bench: could not read %s\n", argv[i]);
      status = 1;
      continue;
    }
    std::fprintf(stderr, "%s: %d transitions, %d places, %d submodels: %.3f s\n", argv[i],
                 net->Nb_Trans, net->Nb_Places, net->Nb_Submodels, took.count());
  }
  return status;
}
