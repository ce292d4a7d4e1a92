// wistroc: one trajectory of a discrete- or continuous-time Markov chain,
// with the share of time spent in each state and the average reward.
#include <cmath>
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "markov/markov.h"
#include "simulation.h"

namespace mc = orv::mc;

namespace {

using orv::wistroc::kProg;

void usage() {
  std::printf("Usage: %s [-f <file>] [-tmax <real>] [-stats] ", kProg);
  std::printf("[-no_traj]\n\t[-increments] [-?] [-h] \n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg);
  std::string file;
  double T_Max = 100.0;
  bool stats = false, traj = true, increments = false;
  orv::Args a(argc, argv, kProg, stdout);
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (a.next()) {
    if (a.is("-f")) {
      a.take_string(file);
    } else if (a.is("-tmax")) {
      // A limit that no run reaches would never end.
      if (a.take_real(T_Max) && !std::isfinite(T_Max)) {
        std::printf("%s: real expected after %s\n", kProg, "-tmax");
        a.fail();
      }
    } else if (a.is("-stats")) {
      stats = true;
    } else if (a.is("-no_traj")) {
      traj = false;
    } else if (a.is("-increments")) {
      increments = true;
    } else if (a.is("-debug")) {
      mc::Debug = true;
    } else {
      a.standard(standard);
    }
  }
  if (a.failed()) return out.finish(-1);
  if (a.done()) return out.finish(0);

  mc::MARKOV_CHAIN chain;
  if (!mc::Read_Chain(file, chain)) {
    std::fprintf(stderr, "%s: Error reading Markov chain.\n", kProg);
    return out.finish(-1);
  }
  if (mc::Debug) mc::Write_Matrix(stdout, chain.Generator, false);
  return out.finish(orv::wistroc::Sim_Chain(chain, T_Max, stats, traj, increments));
}
