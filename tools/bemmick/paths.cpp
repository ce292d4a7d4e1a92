#include "paths.h"

#include <cmath>
#include <deque>

#include "common/random_variates.h"
#include "eventgraph/egl_reader.h"

namespace bemmick {

namespace {

using orv::EventGraph;
using orv::PLACE_DESC;

size_t ix(int i) { return static_cast<size_t>(i); }

// Weights summed in another order differ in their last bits: a rest this
// close to 0 is 0.
constexpr double Match = 1e-9;

double sample(const orv::LAW_DESC* law) { return law ? orv::Sample(*law) : 0.0; }
bool constant(const orv::LAW_DESC* law) { return law == nullptr || law->Name == 'C'; }

// The search, with what it may skip. The paths that can still be printed
// from a transition u are bounded by the lightest and heaviest token-free
// routes from u to To; a subtree outside those bounds prints nothing and,
// when every law it would draw is constant, draws nothing from the random
// generator either, so leaving it out changes no printed line. (With a
// random firing time anywhere the search stays whole.)
struct Search {
  const EventGraph& g;
  int To;
  PATH_DESC& path;
  FILE* out;
  bool prune = false;
  std::vector<char> reaches;   // a token-free route leads to To
  std::vector<double> lo, hi;  // lightest and heaviest such route

  Search(const EventGraph& graph, int to, PATH_DESC& p, FILE* o)
      : g(graph), To(to), path(p), out(o) {}

  const orv::PLACE_LIST& outputs(int t) const { return g.T[ix(t)]->Outputs; }

  // Weights are known: places are constant in a FIFO graph, and so are the
  // transitions when the search may skip.
  double fire(int t) const {
    const orv::LAW_DESC* law = g.T[ix(t)]->Trans_Law.get();
    return law ? law->Parameters[0] : 0.0;
  }

  void bounds() {
    const int n = g.Size;
    reaches.assign(ix(n), 0);
    lo.assign(ix(n), 0.0);
    hi.assign(ix(n), 0.0);
    // Token-free places form a DAG in a live graph: settle the transitions
    // in reverse topological order of the layers.
    for (int l = g.Nb_Layers - 1; l >= 0; --l) {
      for (int u : g.Level[ix(l)].Node_Id) {
        if (u == To) {
          reaches[ix(u)] = 1;  // routes through To never return to it
          continue;
        }
        for (const PLACE_DESC* p : outputs(u)) {
          const int v = p->Trans_Id - 1;
          if (p->Init_Pop != 0 || v < 0 || v >= n || !reaches[ix(v)]) continue;
          const double d = (p->Place_Law ? p->Place_Law->Parameters[0] : 0.0) + fire(v);
          const double a = d + lo[ix(v)], b = d + hi[ix(v)];
          if (!reaches[ix(u)]) {
            lo[ix(u)] = a;
            hi[ix(u)] = b;
            reaches[ix(u)] = 1;
          } else {
            lo[ix(u)] = std::min(lo[ix(u)], a);
            hi[ix(u)] = std::max(hi[ix(u)], b);
          }
        }
      }
    }
  }

  // A step weighs as in the matrix the path explains: the place's holding
  // time and the firing time of the transition it leads to, so that the
  // weights of a path from From to To add up to the entry (To, From).
  double step_weight(const PLACE_DESC* p, int u) const {
    return sample(p->Place_Law.get()) + sample(g.T[ix(u)]->Trans_Law.get());
  }

  bool hopeless(int u, double value) const {
    if (!prune) return false;
    if (!reaches[ix(u)]) return true;
    const double slack = 1e-6 + 1e-12 * (std::fabs(value) + hi[ix(u)]);
    return value < lo[ix(u)] - slack || value > hi[ix(u)] + slack;
  }

  void push(int from, int by, int to, double v) {
    const size_t k = ix(path.Length);
    if (k >= path.From.size()) {
      path.From.resize(k + 1);
      path.By.resize(k + 1);
      path.To.resize(k + 1);
      path.Value.resize(k + 1);
    }
    path.From[k] = from;
    path.By[k] = by;
    path.To[k] = to;
    path.Value[k] = v;
    ++path.Length;
  }

  void Find_Empty_Paths(int From, double Value) {
    if (From == To && std::fabs(Value) <= Match) {
      Print_Path(path, out);
    } else if (Value > -Match) {
      // A rest within the tolerance of 0 may still be carried by steps of
      // weight 0; whether it came out as +1e-16 or -1e-16 is rounding.
      for (const PLACE_DESC* p : outputs(From)) {
        const int u = p->Trans_Id - 1;
        if (u < 0 || u >= g.Size) continue;
        const double d = step_weight(p, u);
        if (p->Init_Pop != 0) continue;
        if (hopeless(u, Value - d)) continue;
        push(From, p->Place_Id, u, d);
        Find_Empty_Paths(u, Value - d);
        --path.Length;
      }
    } else if (orv::eg::Debug) {
      std::fprintf(out, "Failed path (%d,%d) at value %e\n", From, To, Value);
      Print_Path(path, out);
    }
  }
};

}  // namespace

void Print_Path(const PATH_DESC& The_Path, FILE* out) {
  for (int k = The_Path.Length - 1; k >= 1; --k)
    std::fprintf(out, "%2d -- %2d -> %2d v %f m 0\n", The_Path.From[ix(k)], The_Path.By[ix(k)],
                 The_Path.To[ix(k)], The_Path.Value[ix(k)]);
  if (The_Path.Length >= 1)
    std::fprintf(out, "%2d -- %2d -> %2d v %f m 1\n", The_Path.From[0], The_Path.By[0],
                 The_Path.To[0], The_Path.Value[0]);
}

void Find_Critical_Paths(const EventGraph& Le_Reseau, FILE* arcs, const char* prog, FILE* out,
                         bool may_skip) {
  PATH_DESC path;
  const size_t n = ix(std::max(Le_Reseau.Size, 1));
  path.From.resize(n);
  path.By.resize(n);
  path.To.resize(n);
  path.Value.resize(n);
  bool all_constant = true;
  for (const auto& t : Le_Reseau.T) all_constant = all_constant && constant(t->Trans_Law.get());
  int From = 0, To = 0;
  double value = 0.0;
  while (std::fscanf(arcs, "%d %d %lf", &From, &To, &value) == 3) {
    if (orv::eg::Debug)
      std::fprintf(out, "Looking for path %d -> %d with value %f\n", From, To, value);
    if (From < 0 || From >= Le_Reseau.Size || To < 0 || To >= Le_Reseau.Size) {
      std::fprintf(stderr, "%s: warning: arc %d -> %d names no transition (numbered from 0 to %d): ignored.\n",
                   prog, From, To, Le_Reseau.Size - 1);
      continue;
    }
    Search s(Le_Reseau, To, path, out);
    // Debug lists the failed paths too, so it sees the whole search.
    s.prune = may_skip && !orv::eg::Debug && all_constant;
    if (s.prune) s.bounds();
    for (const PLACE_DESC* p : Le_Reseau.T[ix(From)]->Outputs) {
      const int u = p->Trans_Id - 1;
      if (u < 0 || u >= Le_Reseau.Size) continue;
      const double d = s.step_weight(p, u);
      if (p->Init_Pop != 1) continue;
      path.Length = 0;
      s.push(From, p->Place_Id, u, d);
      if (!s.hopeless(u, value - d)) s.Find_Empty_Paths(u, value - d);
    }
  }
}

}  // namespace bemmick
