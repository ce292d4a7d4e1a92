// Times sabrel's bound for every place with one solver at a time and with
// one per core (lp_solve started directly in both), several runs in turn;
// prints the median of each and their ratio, and checks that both give the
// same bounds. The printed results go to /dev/null.
//
// sabrel_bench FILE.pnl [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/lp_bridge.h"
#include "petri/pnl_reader.h"
#include "sabrel.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: sabrel_bench FILE.pnl [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  orv::pn::NetPtr net = orv::pn::Read_Network(argv[1]);
  if (!net) return 2;
  if (!std::freopen("/dev/null", "w", stdout)) return 2;
  using clock = std::chrono::steady_clock;
  std::vector<double> one, all;
  std::vector<int> bounds[2];
  bool failed = false;
  for (int r = 0; r < runs; ++r) {
    for (int k = 0; k < 2; ++k) {
      orv::sabrel::Run run;
      run.Solvers = k == 0 ? 1 : 0;
      auto t0 = clock::now();
      orv::sabrel::gen_solve_analyze(run, *net, false, 0);
      double s = std::chrono::duration<double>(clock::now() - t0).count();
      (k == 0 ? one : all).push_back(s);
      bounds[k] = run.The_Bound;
      failed = failed || run.Failed;
    }
  }
  std::sort(one.begin(), one.end());
  std::sort(all.begin(), all.end());
  const double a = one[one.size() / 2], b = all[all.size() / 2];
  std::fprintf(stderr, "%s: %d places, one solver at a time %.2f s, %d at once %.2f s, %.1fx%s\n",
               argv[1], net->Nb_Places, a, orv::lp::Solver_Slots(), b, a / b,
               bounds[0] == bounds[1] && !failed ? "" : "  BOUNDS DIFFER OR FAILED");
  return bounds[0] == bounds[1] && !failed ? 0 : 1;
}
