#include "simulation.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <unordered_map>

#include "common/random_variates.h"
#include "taskgraph/tgl_reader.h"

namespace elbrand {

using orv::tg::DATA;
using orv::tg::LINK_DESC;
using orv::tg::LinkPtr;

namespace {

double physical_memory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page <= 0) return 1e18;
  return static_cast<double>(pages) * static_cast<double>(page);
}

void draw(double* table, size_t n, const orv::LAW_DESC& law) {
  orv::draw_iid_table_with_discrete(std::span<double>(table, n), law);
}

}  // namespace

Simulation::Simulation(const orv::tg::Graph& g, int sim_length, int buf_size)
    : g_(g), n_(g.Size), Sim_Length(sim_length), B_(static_cast<size_t>(buf_size)) {
  const auto n = static_cast<size_t>(n_);
  for (int l = 0; l < g.Nb_Layers; ++l)
    for (int t : g.Level[static_cast<size_t>(l)].Task_Id) order_.push_back(t);
  std::vector<int> position(n, 0);
  for (size_t i = 0; i < order_.size(); ++i) position[static_cast<size_t>(order_[i])] = static_cast<int>(i);

  // One table per (source, target) pair joined by DATA links, numbered in
  // the order the tables are drawn.
  std::unordered_map<long long, int> pair_of;
  data_links_.resize(n);
  for (int t = 0; t < n_; ++t) {
    for (const LinkPtr& l : g.T[static_cast<size_t>(t)].Neighbors) {
      if (l->Link_Type != DATA) continue;
      const long long key = static_cast<long long>(l->Task_From) * n_ + l->Task_To;
      auto [it, added] = pair_of.emplace(key, static_cast<int>(pair_law_.size()));
      if (added) pair_law_.push_back(l.get());
      // The list runs from the last written link: the first written of a
      // pair comes last, is drawn last, and its draws are the ones kept.
      else pair_law_[static_cast<size_t>(it->second)] = l.get();
      data_links_[static_cast<size_t>(t)].push_back({it->second, l.get()});
    }
  }

  preds_.resize(n);
  for (int t = 0; t < n_; ++t) {
    const auto& prev = g.T[static_cast<size_t>(t)].Prev;
    if (!prev) continue;
    for (int p : prev->Task_Id) {
      // The first-declared link from p to t: the last match in p's list.
      const LINK_DESC* link = nullptr;
      for (const LinkPtr& l : g.T[static_cast<size_t>(p)].Neighbors)
        if (l->Task_To == t) link = l.get();
      if (link == nullptr) continue;
      Pred e{p, link->Link_Type, link->Synchro_Type, link->Depth, -1,
             position[static_cast<size_t>(p)] < position[static_cast<size_t>(t)]};
      if (link->Link_Type == DATA)
        e.pair = pair_of.at(static_cast<long long>(p) * n_ + t);
      preds_[static_cast<size_t>(t)].push_back(e);
    }
  }
}

bool Simulation::init_simulation(bool rings) {
  const double tables = (rings ? 2.0 : 1.0) * n_ + static_cast<double>(pair_law_.size());
  if (tables * static_cast<double>(B_) * sizeof(double) > physical_memory()) return false;
  try {
    const auto n = static_cast<size_t>(n_);
    if (rings) Y_.assign(n * B_, 0.0);
    Exec_Times.assign(n * B_, 0.0);
    Comm_Times.assign(pair_law_.size() * B_, 0.0);
    T_Dont_Do_It.assign(n, false);
    L_Dont_Do_It.assign(pair_law_.size(), false);
    sums_.assign(n, 0.0);
  } catch (const std::bad_alloc&) {
    Y_ = {};
    Exec_Times = {};
    Comm_Times = {};
    return false;
  }
  Fill_Tables();
  for (int t = 0; t < n_; ++t) {
    const orv::tg::TASK& task = g_.T[static_cast<size_t>(t)];
    if (task.Task_Law->Name == 'C') {
      T_Dont_Do_It[static_cast<size_t>(t)] = true;
      if (orv::tg::Debug) std::printf("Won't draw tables again for task %d\n", t);
    }
    for (const auto& [pair, link] : data_links_[static_cast<size_t>(t)]) {
      // The pair keeps the draws of its first-declared link: only that
      // link's law decides whether they never change.
      if (pair_law_[static_cast<size_t>(pair)]->Link_Law->Name != 'C') continue;
      L_Dont_Do_It[static_cast<size_t>(pair)] = true;
      if (orv::tg::Debug) {
        std::printf("Won't draw tables again for link");
        std::printf(" (%1d->%1d).\n", link->Task_From, link->Task_To);
      }
    }
  }
  return true;
}

void Simulation::Fill_Tables() {
  for (int t = 0; t < n_; ++t) {
    const auto ti = static_cast<size_t>(t);
    if (!T_Dont_Do_It[ti]) draw(&Exec_Times[ti * B_], B_, *g_.T[ti].Task_Law);
    for (const auto& [pair, link] : data_links_[ti]) {
      const auto pi = static_cast<size_t>(pair);
      if (!L_Dont_Do_It[pi]) draw(&Comm_Times[pi * B_], B_, *link->Link_Law);
    }
  }
}

void Simulation::simulate() {
  for (long long k = 0; k < Sim_Length; ++k) {
    const size_t slot = static_cast<size_t>(k % static_cast<long long>(B_));
    for (int t : order_) {
      const auto& preds = preds_[static_cast<size_t>(t)];
      if (preds.empty()) {
        Y(t, k) = k == 0 ? 0.0 : NEVER;
        continue;
      }
      double fold = 0.0;
      bool first = true;
      for (const Pred& e : preds) {
        double v;
        if (e.type == DATA) {
          v = Y(e.task, k) + Comm_Times[static_cast<size_t>(e.pair) * B_ + slot];
        } else if (e.depth > 0) {
          v = k >= e.depth ? Y(e.task, k - e.depth) : 0.0;
        } else {
          // Depth 0 does not order the layers: the source's dater of this
          // event if it is computed already, else of the event before.
          v = e.before ? Y(e.task, k) : (k > 0 ? Y(e.task, k - 1) : 0.0);
        }
        if (first) fold = v;
        else if (e.synchro == orv::tg::OPTIONAL) fold = std::min(fold, v);
        else fold = std::max(fold, v);
        first = false;
      }
      Y(t, k) = fold + Exec_Times[static_cast<size_t>(t) * B_ + slot];
    }
    if ((k + 1) % static_cast<long long>(B_) == 0 && k + 1 < Sim_Length) Fill_Tables();
  }
}

void Simulation::simulate_PERT() {
  std::vector<double> c(static_cast<size_t>(n_), 0.0);
  for (long long k = 0; k < Sim_Length; ++k) {
    const size_t slot = static_cast<size_t>(k % static_cast<long long>(B_));
    std::fill(c.begin(), c.end(), 0.0);
    double total = 0.0;
    for (int t : order_) {
      double fold = 0.0;
      bool first = true;
      for (const Pred& e : preds_[static_cast<size_t>(t)]) {
        if (e.type != DATA) {
          // A lag has no meaning in a single run: the link is left out.
          std::fprintf(stderr, "%s: error: non precedence link ", "elbrand");
          std::fprintf(stderr, "encountered.\n");
          continue;
        }
        const double v = c[static_cast<size_t>(e.task)] +
                         Comm_Times[static_cast<size_t>(e.pair) * B_ + slot];
        if (first) fold = v;
        else if (e.synchro == orv::tg::OPTIONAL) fold = std::min(fold, v);
        else fold = std::max(fold, v);
        first = false;
      }
      const double ct = fold + Exec_Times[static_cast<size_t>(t) * B_ + slot];
      c[static_cast<size_t>(t)] = ct;
      if (ct >= total) total = ct;
    }
    for (int t = 0; t < n_; ++t) sums_[static_cast<size_t>(t)] += c[static_cast<size_t>(t)];
    T_Tot += total;
    if ((k + 1) % static_cast<long long>(B_) == 0 && k + 1 < Sim_Length) Fill_Tables();
  }
}

void Simulation::write_stat_results() const {
  for (int i = 0; i < n_; ++i) {
    const double y = Y(i, Sim_Length - 1);
    std::printf("Y_%1d[%1d] = %f  ", i, Sim_Length, y);
    std::printf("--> cycle time ");
    if (y >= NEVER) std::printf("oo\n");
    else std::printf("%f\n", y / Sim_Length);
  }
}

void Simulation::write_stat_PERT() const {
  for (int i = 0; i < n_; ++i)
    std::printf("Time of execution end of Y_%1d = %f\n", i, sums_[static_cast<size_t>(i)] / Sim_Length);
  std::printf("Total execution time: ET = %f\n", T_Tot / Sim_Length);
}

void Simulation::dumpe_simulation() const {
  const long long from = std::max(0LL, static_cast<long long>(Sim_Length) - static_cast<long long>(B_));
  for (int i = 0; i < n_; ++i) {
    std::printf("Task %d ...\n", i);
    for (long long k = from; k < Sim_Length; ++k) {
      const double v = Y(i, k);
      if (v > 100000) std::printf("oo ");
      else std::printf("%8.3f ", v);
    }
    std::printf("\n");
  }
}

}  // namespace elbrand
