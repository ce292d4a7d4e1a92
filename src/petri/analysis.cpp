#include "petri/analysis.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "petri/pnl_reader.h"

namespace orv::pn {

double Epsilon = 1e-5;

namespace {

char letter(const LAW_DESC* law) { return law ? law->Name : 0; }

const char* name_of(const std::string& s) { return s.c_str(); }

bool reporting(int report_mode, const Report* report) { return report_mode && report; }

// Scale * x as a whole number of ticks; false when it is not integral or
// does not fit an int.
bool ticks(double x, int scale, int& out) {
  double v = x * scale;
  if (!Is_Integer(v)) return false;
  double r = std::rint(v);
  if (!(std::fabs(r) <= INT_MAX)) return false;
  out = static_cast<int>(r);
  return true;
}

}  // namespace

void Add_Report_Entry(Report& report, int kind, int number) {
  if (report.empty()) report.push_back(0);
  int n = report[0] + 1;
  size_t need = static_cast<size_t>(2 * n + 1);
  if (report.size() < need) report.resize(need, 0);
  report[2 * n - 1] = kind;
  report[2 * n] = number;
  report[0] = n;
}

double Delay_Of(const LAW_DESC* law) {
  if (!law || law->Parameters.empty()) return 0.0;
  return law->Parameters[0];
}

int Has_All_Deterministic_Transitions(const PetriNet& net, int report_mode, Report* report) {
  int ok = 1;
  for (int i = 0; i < net.Nb_Trans; ++i) {
    const TR_DES& t = net.T[i];
    if (t.Tag || letter(t.Tr_Law.get()) == 'C') continue;
    std::printf("Trans. %d (%s) has non constant delay.\n", i, name_of(t.Name));
    ok = 0;
    if (reporting(report_mode, report)) Add_Report_Entry(*report, 0, i);
    if (!report_mode) break;
  }
  return ok;
}

int Has_All_Deterministic_Places(const PetriNet& net, int report_mode, Report* report) {
  int ok = 1;
  for (int j = 0; j < net.Nb_Places; ++j) {
    const PL_DES& p = net.P[j];
    if (p.Tag || letter(p.Pl_Law.get()) == 'C') continue;
    std::printf("Place %d (%s) has non constant delay.\n", j, name_of(p.Name));
    ok = 0;
    if (reporting(report_mode, report)) Add_Report_Entry(*report, 1, j);
    if (!report_mode) break;
  }
  return ok;
}

int Has_All_Deterministic_Objects(const PetriNet& net, int report_mode, Report* report) {
  int ok = Has_All_Deterministic_Transitions(net, report_mode, report);
  if (ok || report_mode) ok = Has_All_Deterministic_Places(net, report_mode, report) && ok;
  return ok;
}

// A place without a routing chooses by competition, as "Competition" does.
int Has_All_Routing_Places(const PetriNet& net, int report_mode, Report* report) {
  int ok = 1;
  for (int j = 0; j < net.Nb_Places; ++j) {
    const PL_DES& p = net.P[j];
    if (p.Tag || p.Outdegree < 2) continue;
    char r = p.Routing ? p.Routing->Type : 0;
    if (r == 'R' || r == 'D') continue;
    std::printf("Place %d (%s) has competition routing.\n", j, name_of(p.Name));
    ok = 0;
    if (reporting(report_mode, report)) Add_Report_Entry(*report, 1, j);
    if (!report_mode) break;
  }
  return ok;
}

int Has_Simulable_Places(const PetriNet& net, int report_mode, Report* report) {
  int ok = 1;
  bool rep = reporting(report_mode, report);
  for (int j = 0; j < net.Nb_Places; ++j) {
    const PL_DES& p = net.P[j];
    if (p.Tag) continue;
    char r = p.Routing ? p.Routing->Type : 0;
    bool bad = false;
    if (p.Outdegree >= 2 && r != 'R' && r != 'D' && r != 'P') bad = true;
    if (r == 'P') {
      // Priority is resolved within one instant: only immediate transitions.
      for (const LINK_LIST& arc : p.Outputs) {
        if (arc.Dest < 0 || arc.Dest >= net.Nb_Trans) continue;
        const LAW_DESC* law = net.T[arc.Dest].Tr_Law.get();
        if (letter(law) != 'C' || Delay_Of(law) != 0.0) bad = true;
      }
    }
    if (!bad) continue;
    if (!rep) std::printf("Place %d (%s) has competition routing.\n", j, name_of(p.Name));
    ok = 0;
    if (rep) Add_Report_Entry(*report, 1, j);
    if (!report_mode) break;
  }
  return ok;
}

int Is_Source_Transition(const PetriNet& net, int t) {
  const TR_DES& tr = net.T[t];
  if (tr.Indegree == 0) return 1;
  if (tr.Indegree != 1 || tr.Inputs.empty()) return 0;
  int p = tr.Inputs.front().Dest;
  if (p < 0 || p >= net.Nb_Places) return 0;
  const PL_DES& pl = net.P[p];
  return pl.Indegree == 1 && !pl.Inputs.empty() && pl.Inputs.front().Dest == t;
}

int Has_Integral_Transitions(const PetriNet& net, int report_mode, int sources_too,
                             Report* report) {
  int ok = 1;
  for (int i = 0; i < net.Nb_Trans; ++i) {
    const TR_DES& t = net.T[i];
    if (t.Tag) continue;
    char c = letter(t.Tr_Law.get());
    bool bad;
    if (Is_Source_Transition(net, i))
      bad = sources_too && c != 'C' && c != 'G' && c != 'B' && c != 'D';
    else
      bad = c != 'C';
    if (!bad) continue;
    if (!report_mode) std::printf("Trans. %d (%s) has non constant/discrete delay.\n", i, name_of(t.Name));
    ok = 0;
    if (reporting(report_mode, report)) Add_Report_Entry(*report, 0, i);
    if (!report_mode) break;
  }
  return ok;
}

int Has_Real_Sources(const PetriNet& net, int report_mode, Report* report) {
  int ok = 1;
  for (int i = 0; i < net.Nb_Trans; ++i) {
    const TR_DES& t = net.T[i];
    if (t.Tag || t.Indegree >= 1) continue;
    std::printf("Transition %d (%s) has no input.\n", i, name_of(t.Name));
    ok = 0;
    if (reporting(report_mode, report)) Add_Report_Entry(*report, 0, i);
    if (!report_mode) break;
  }
  return ok;
}

int Is_Integer(double x) { return std::fabs(x - std::rint(x)) < Epsilon; }

// On magnitudes, so that a negative delay cannot send the recursion round
// for ever.
int gcd(int a, int b) {
  a = a < 0 ? -a : a;
  b = b < 0 ? -b : b;
  if (a == b || a == 0) return b;
  if (b == 0) return a;
  if (b >= a) return gcd(a, b % a);
  return gcd(b, a % b);
}

int Find_Time_Scale(const PetriNet& net, int Sources_Also, int Scale, int Testing,
                    Report* Bad_Objects) {
  if (Scale <= 0) {
    std::printf("Find_Time_Scale: error: time scale %d is not positive.\n", Scale);
    return 0;
  }
  int g = Scale;
  bool ok = true;
  for (int i = 0; i < net.Nb_Trans && (ok || Testing); ++i) {
    const TR_DES& t = net.T[i];
    if (t.Tag) continue;
    const LAW_DESC* law = t.Tr_Law.get();
    bool integral = false;
    int value = 0;
    switch (letter(law)) {
      case 'C':
        integral = ticks(Delay_Of(law), Scale, value);
        break;
      case 'B':
      case 'G':
        integral = true;
        value = Scale;
        break;
      case 'D': {
        integral = true;
        value = Scale;
        const auto& par = law->Parameters;
        double n = std::rint(par[0]);
        for (int k = 1; k <= n && k < static_cast<int>(par.size()) && integral; ++k) {
          int v;
          integral = ticks(par[k], Scale, v);
          if (integral) value = gcd(value, v);
        }
        break;
      }
      default:
        break;
    }
    if (integral) {
      g = gcd(g, value);
    } else if (!Sources_Also && Is_Source_Transition(net, i)) {
      if (Debug) std::printf("Trans. %d (%s) has non integer delay... but that's ok.\n", i, name_of(t.Name));
    } else {
      ok = false;
      std::printf("Trans. %d (%s) has non integer delay.\n", i, name_of(t.Name));
      if (Testing && Bad_Objects) Add_Report_Entry(*Bad_Objects, 0, i);
    }
  }
  if (ok || Testing) {
    for (int j = 0; j < net.Nb_Places && (ok || Testing); ++j) {
      const PL_DES& p = net.P[j];
      if (p.Tag) continue;
      int v;
      if (ticks(Delay_Of(p.Pl_Law.get()), Scale, v)) {
        g = gcd(g, v);
      } else {
        ok = false;
        std::printf("Place %d (%s) has non integer delay.\n", j, name_of(p.Name));
        if (Testing && Bad_Objects) Add_Report_Entry(*Bad_Objects, 1, j);
      }
    }
  }
  for (int j = 0; j < net.Nb_Places && ok; ++j) {
    const PL_DES& p = net.P[j];
    if (p.Tag) continue;
    for (double lag : p.Lag_Times) {
      int v;
      if (!ticks(lag, Scale, v)) {
        ok = false;
        std::printf("Place %d (%s) has non integer lag times.\n", j, name_of(p.Name));
        break;
      }
      g = gcd(g, v);
    }
  }
  // g divides Scale > 0, so it is positive.
  return ok ? Scale / g : 0;
}

double Max_Lag(const PetriNet& net) {
  double m = -1e12;
  for (int j = 0; j < net.Nb_Places; ++j) {
    const PL_DES& p = net.P[j];
    if (p.Tag) continue;
    for (double lag : p.Lag_Times) m = std::max(m, lag);
  }
  return m;
}

double Max_Delay(const PetriNet& net) {
  double m = -1e12;
  for (int j = 0; j < net.Nb_Places; ++j) {
    const PL_DES& p = net.P[j];
    if (p.Tag) continue;
    double dp = Delay_Of(p.Pl_Law.get());
    for (const LINK_LIST& arc : p.Inputs) {
      if (arc.Dest < 0 || arc.Dest >= net.Nb_Trans) continue;
      m = std::max(m, dp + Delay_Of(net.T[arc.Dest].Tr_Law.get()));
    }
  }
  return m;
}

int Nb_Available_Tokens(const PL_DES& place, int t) {
  int n = 0;
  for (double lag : place.Lag_Times)
    if (lag <= t) ++n;
  return n;
}

namespace {

// Zero-time dependencies as adjacency lists: deps[i] are the transitions that
// i must follow at the same instant, succ[a] those that must follow a; both
// sorted and without repeats.
struct DepGraph {
  std::vector<std::vector<int>> deps, succ;
};

void add_edge(std::vector<std::pair<int, int>>& edges, int after, int before) {
  edges.emplace_back(after, before);
}

DepGraph build_dependencies(const PetriNet& net) {
  int n = net.Nb_Trans;
  std::vector<std::pair<int, int>> edges;  // (i, a): i after a
  for (int i = 0; i < n; ++i) {
    const TR_DES& t = net.T[i];
    if (t.Tag) continue;
    for (const LINK_LIST& in : t.Inputs) {
      int p = in.Dest;
      if (p < 0 || p >= net.Nb_Places || net.P[p].Tag) continue;
      // A token that stays in the place for a while cannot be used at the
      // instant it was produced.
      if (Delay_Of(net.P[p].Pl_Law.get()) != 0.0) continue;
      for (const LINK_LIST& src : net.P[p].Inputs) {
        int a = src.Dest;
        if (a < 0 || a >= n || net.T[a].Tag) continue;
        if (Delay_Of(net.T[a].Tr_Law.get()) == 0.0) add_edge(edges, i, a);
      }
    }
  }
  for (int j = 0; j < net.Nb_Places; ++j) {
    const PL_DES& p = net.P[j];
    if (p.Tag || !p.Routing || p.Routing->Type != 'P') continue;
    const auto& cyc = p.Routing->Cycle;
    int last = std::min<int>(p.Outdegree, static_cast<int>(cyc.size())) - 1;
    for (int k = 0; k < last; ++k) {
      const ADDRESS* hi = cyc[k].get();
      const ADDRESS* lo = cyc[k + 1].get();
      if (!hi || !lo || hi->Next || lo->Next || hi->Type != 'T' || lo->Type != 'T') continue;
      if (hi->Number < 0 || hi->Number >= n || lo->Number < 0 || lo->Number >= n) continue;
      if (net.T[hi->Number].Tag || net.T[lo->Number].Tag) continue;
      add_edge(edges, lo->Number, hi->Number);
    }
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  DepGraph g;
  g.deps.resize(n);
  g.succ.resize(n);
  for (auto [i, a] : edges) g.deps[i].push_back(a);  // sorted by a within i
  std::sort(edges.begin(), edges.end(),
            [](auto x, auto y) { return x.second != y.second ? x.second < y.second : x.first < y.first; });
  for (auto [i, a] : edges) g.succ[a].push_back(i);
  return g;
}

void dump_matrix(const PetriNet& net, const DepGraph& g) {
  std::printf("Adj matrix:\n");
  std::string row;
  for (int i = 0; i < net.Nb_Trans; ++i) {
    row.assign(net.Nb_Trans, ' ');
    for (int a : g.deps[i]) row[a] = 'x';
    std::printf("%s| %s\n", row.c_str(), net.T[i].Name.c_str());
  }
}

// Prints one zero-time cycle: a depth-first walk over candidate transitions
// (those that may lie on a cycle), always to the lowest-numbered candidate
// successor, until a transition on the path is reached again.
void find_cycle(const PetriNet& net, const DepGraph& g, int Skip_Recycles) {
  int n = net.Nb_Trans;
  if (Debug) std::printf("Looking for zero weight cycle\n");
  std::vector<char> cand(n, 0);
  for (int a = 0; a < n; ++a) {
    for (int c : g.succ[a]) {
      if (Skip_Recycles && c == a) continue;
      if (c >= a || cand[c]) {
        cand[a] = 1;
        break;
      }
    }
  }
  std::vector<size_t> next(n, 0);  // candidates only disappear: resume the scan
  std::vector<int> pos(n, -1);     // place on the path, -1 when off it
  std::vector<int> path;
  for (int start = 0; start < n; ++start) {
    if (Debug) std::printf("... Dep=%d ", start);
    path.assign(1, start);
    pos[start] = 0;
    while (!path.empty()) {
      int cur = path.back();
      const auto& s = g.succ[cur];
      while (next[cur] < s.size() &&
             (!cand[s[next[cur]]] || (Skip_Recycles && s[next[cur]] == cur)))
        ++next[cur];
      if (next[cur] < s.size()) {
        int c = s[next[cur]];
        if (pos[c] >= 0) {
          const std::vector<int> cycle(path.begin() + pos[c], path.end());
          for (size_t k = 0; k < cycle.size(); ++k) {
            const TR_DES& t = net.T[cycle[k]];
            std::printf(k ? "-> %1d " : "%1d ", cycle[k] + 1);
            if (!t.Name.empty()) std::printf("(%s) ", t.Name.c_str());
          }
          std::printf("-> %1d\n", cycle[0] + 1);
          return;
        }
        if (Debug) std::printf("-> %d ", c);
        pos[c] = static_cast<int>(path.size());
        path.push_back(c);
      } else {
        cand[cur] = 0;
        pos[cur] = -1;
        path.pop_back();
        if (Debug && !path.empty()) std::printf("x Back to %d ", path.back());
      }
    }
  }
  std::printf("Error in analysis: no cycle found ?!?\n");
}

}  // namespace

int topological_analysis(const PetriNet& net, LAYER_STRUCT* layers) {
  int n = net.Nb_Trans;
  DepGraph g = build_dependencies(net);
  if (Debug) dump_matrix(net, g);
  // Kahn's rounds: a level holds every transition whose dependencies all lie
  // in earlier levels.
  std::vector<int> waiting(n);
  std::vector<int> current;
  for (int i = 0; i < n; ++i) {
    waiting[i] = static_cast<int>(g.deps[i].size());
    if (waiting[i] == 0) current.push_back(i);
  }
  LAYER_STRUCT result;
  int placed = 0;
  while (!current.empty()) {
    auto level = std::make_unique<LAYER_DESC>();
    level->Nb_Nodes = static_cast<int>(current.size());
    level->Node_Id = current;
    placed += level->Nb_Nodes;
    std::vector<int> following;
    for (int a : current)
      for (int c : g.succ[a])
        if (--waiting[c] == 0) following.push_back(c);
    std::sort(following.begin(), following.end());
    result.Level.push_back(std::move(level));
    current = std::move(following);
  }
  result.Nb_Levels = static_cast<int>(result.Level.size());
  if (placed < n) {
    std::printf("Error: the network has a zero time cycle.\n");
    find_cycle(net, g, 0);
    return 0;
  }
  if (layers) *layers = std::move(result);
  return 1;
}

void Dump_Layer_Struct(const LAYER_STRUCT& layers) {
  std::printf("Layer structure:\n");
  for (int l = 0; l < layers.Nb_Levels; ++l) {
    std::printf("Layer %2d: ", l);
    for (int t : layers.Level[l]->Node_Id) std::printf("%1d ", t);
    std::printf("\n");
  }
}

void Free_Layer_Struct(LAYER_STRUCT& layers) {
  layers.Level.clear();
  layers.Nb_Levels = 0;
}

}  // namespace orv::pn
