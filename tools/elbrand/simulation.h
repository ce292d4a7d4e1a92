// elbrand's simulations of a task graph: the dater recursion of a
// repetitive graph and repeated PERT runs of one without lags.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "taskgraph/task_graph.h"

namespace elbrand {

// "Never" for a dater; a value this large or more prints as "oo".
inline constexpr double NEVER = 1e12;

class Simulation {
 public:
  // sim_length events or runs, tables of buf_size draws (already raised to
  // what the mode needs). The graph must have its topology.
  Simulation(const orv::tg::Graph& g, int sim_length, int buf_size);

  // Allocates and draws the tables, and the daters' rings when asked (the
  // recursion needs them, PERT runs do not); false (with nothing
  // allocated) when they do not fit in memory.
  bool init_simulation(bool rings);

  void simulate();
  void simulate_PERT();
  void write_stat_results() const;
  void write_stat_PERT() const;
  void dumpe_simulation() const;

 private:
  // The first-declared link from one predecessor, as the fold reads it.
  struct Pred {
    int task;
    int type;
    int synchro;
    int depth;
    int pair;  // table of a DATA link's pair, -1 for a PROGRAM link
    bool before;  // computed before the target within an event
  };
  void Fill_Tables();
  double& Y(int t, long long k) { return Y_[ring(t, k)]; }
  double Y(int t, long long k) const { return Y_[ring(t, k)]; }
  size_t ring(int t, long long k) const {
    return static_cast<size_t>(t) * B_ + static_cast<size_t>(k % static_cast<long long>(B_));
  }

  const orv::tg::Graph& g_;
  int n_;
  int Sim_Length;
  size_t B_;
  std::vector<int> order_;                 // tasks in layer order
  std::vector<std::vector<Pred>> preds_;   // per task, Prev ascending
  std::vector<const orv::tg::LINK_DESC*> pair_law_;  // the link whose draws stay
  // Per task, its DATA links in list order with their pair's table.
  std::vector<std::vector<std::pair<int, const orv::tg::LINK_DESC*>>> data_links_;
  std::vector<double> Y_, Exec_Times, Comm_Times;
  std::vector<bool> T_Dont_Do_It, L_Dont_Do_It;
  std::vector<double> sums_;  // PERT: per task, the sum of completion times
  double T_Tot = 0.0;
};

}  // namespace elbrand
