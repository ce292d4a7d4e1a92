// nethric's bounds: from the weights and arcs, or, for equal weights, from
// the degrees and the spectral radius of the adjacency matrix.
#include "bounds.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace orv::mp {

namespace {

constexpr const char* PROG = "nethric";

// Rises from 0 to 1 on (0, 1).
double f(double x) {
  if (x == 0) return 0;
  if (x == 1) return 1;
  if (x < 0 || x > 1) return 0;
  return std::exp(std::log(x) + (1 - x) * std::log(1 - x) / x);
}

double inv_f(double y, double Epsilon) {
  if (Debug) std::printf("Computing f^(-1) ( %f )\n", y);
  if (y < 0 || y > 1) {
    std::fprintf(stderr, "%s: error: attempt to compute f^(-1) with out of range value %f.\n",
                 PROG, y);
    return 0;
  }
  double lo = 0, hi = 1, x = 0.5;
  double d = f(x) - y;
  for (;;) {
    const double old_lo = lo, old_hi = hi;
    if (d > 0)
      hi = hi - (hi - x) / 2;
    else if (d < 0)
      lo = lo + (x - lo) / 2;
    x = (lo + hi) / 2;
    d = f(x) - y;
    if (Debug) std::printf("DICHO x=[%f,%f] f=%f\n", lo, hi, d);
    if (std::fabs(d) <= Epsilon) break;
    // Once the interval no longer narrows in doubles, nothing will change:
    // a precision finer than f can reach would otherwise never end.
    if (lo == old_lo && hi == old_hi) break;
  }
  return x;
}

// y = A x: the sum of x over the successors of each node.
std::vector<double> times(const SP_BOOL_MAT& A, const std::vector<double>& x) {
  std::vector<double> y(x.size(), 0.0);
  for (int i = 0; i < A.Size; ++i)
    for (int k = 0; k < A.Nb_Elts[i]; ++k) y[i] += x[A.Elts[i][k]];
  return y;
}

double Spectral_Radius(const SP_BOOL_MAT& A, double epsilon) {
  const int n = A.Size;
  std::vector<double> x(n, 1.0);
  double r = 0;
  int iterations = 0;
  double distance = 0;
  bool nilpotent = false;
  do {
    std::vector<double> y = times(A, x);
    // Normalised by the largest component: by node 0's alone, the iterate
    // grows without end (or divides by 0) whenever node 0 lies outside the
    // part of the graph that carries the radius. Every component 0: the
    // radius is 0.
    double norm = 0;
    for (double v : y) norm = std::max(norm, v);
    if (norm == 0) {
      nilpotent = true;
      r = 0;
      ++iterations;
      break;
    }
    r = norm;
    distance = 0;
    for (int i = 0; i < n; ++i) {
      y[i] /= norm;
      distance += std::fabs(x[i] - y[i]);
    }
    x = std::move(y);
    ++iterations;
  } while (iterations < 500 && distance > epsilon);

  // The largest ratio z_i / x_i over the nodes the iterate reaches bounds
  // the radius from above (the smallest bounds it from below), converged or
  // not; it is at most n.
  double radius = 0;
  if (!nilpotent) {
    const std::vector<double> z = times(A, x);
    for (int i = 0; i < n; ++i) {
      if (x[i] != 0)
        radius = std::max(radius, z[i] / x[i]);
      else if (z[i] > 0)
        radius = n;  // a component lost to underflow
    }
    radius = std::min(radius, static_cast<double>(n));
  }
  if (Debug) {
    std::printf("Number of iterations = %d\n", iterations);
    std::printf("Spectral radius <= %f (estimated %f)\n", radius, r);
  }
  if (!nilpotent && iterations >= 500 && distance > epsilon) {
    std::printf("%s: warning: max number of iterations reached. ", PROG);
    std::printf("Spectral radius may be inaccurate.\n");
  }
  return radius;
}

// The formulas bound the growth rate of symmetric graphs that write every
// node's loop (a node's own step counts whether written or not). Names the
// first arc or node that breaks it, or returns an empty text.
std::string unbounded_why(const INTERACTION_GRAPH& G) {
  const int n = G.Size;
  // Row marks instead of a row search per arc: linear in the arcs.
  std::vector<int> mark(static_cast<std::size_t>(n), -1);
  std::vector<std::vector<int>> pred(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < G.A.Nb_Elts[i]; ++k) pred[G.A.Elts[i][k]].push_back(i);
  char text[160];
  for (int i = 0; i < n; ++i) {
    bool loop = false;
    for (int k = 0; k < G.A.Nb_Elts[i]; ++k) {
      mark[G.A.Elts[i][k]] = i;
      loop = loop || G.A.Elts[i][k] == i;
    }
    if (!loop) {
      std::snprintf(text, sizeof text, "node %d has no loop", i);
      return text;
    }
    // Every arc j->i needs i->j.
    for (int j : pred[i])
      if (mark[j] != i) {
        std::snprintf(text, sizeof text, "arc %d->%d has no reverse", j, i);
        return text;
      }
  }
  return "";
}

}  // namespace

// A weight that is subnormal has lost digits as it was read.
bool weights_usable(const INTERACTION_GRAPH& G) {
  for (int i = 0; i < G.Size; ++i) {
    const double w = G.Weight[i];
    if (w != 0 && std::fabs(w) < DBL_MIN) {
      std::fprintf(stderr, "%s: error: weight %g of node %d is too small to be held exactly.\n",
                   PROG, w, i);
      return false;
    }
  }
  return true;
}

void Compute_Bounds(const INTERACTION_GRAPH& G, double epsilon) {
  const int n = G.Size;
  const std::string why = unbounded_why(G);
  if (!why.empty())
    std::fprintf(stderr,
                 "%s: warning: %s: the bounds hold for symmetric graphs with a loop on every "
                 "node only.\n",
                 PROG, why.c_str());
  double lower = 0, upper = 0;
  if (!Is_Uniform(G)) {
    // Weights scaled by a power of two: exact, so the bounds are those of
    // the weights as read, and neither their sum nor its square overflows
    // nor underflows.
    double largest = 0;
    for (double w : G.Weight) largest = std::max(largest, w);
    int exponent = 0;
    std::frexp(largest, &exponent);
    const double scale = std::ldexp(1.0, -exponent);
    std::vector<double> w(G.Weight.size());
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = G.Weight[i] * scale;
    double W = 0;
    for (double v : w) W += v;
    double most = 0;
    double pairs = 0;
    for (int i = 0; i < n; ++i) {
      double around = 0;
      for (int k = 0; k < G.A.Nb_Elts[i]; ++k) {
        const int j = G.A.Elts[i][k];
        around += w[j];
        pairs += w[i] * w[j];
      }
      most = std::max(most, around / W);
    }
    upper = std::exp(1.0) * most;
    lower = pairs / (W * W);
  } else {
    const int degree = Max_Degree(G.A);
    const double by_degree = inv_f(static_cast<double>(degree) / n, epsilon);
    if (Debug) std::printf("UB using max degree (=%d): %f\n", degree, by_degree);
    const double rho = Spectral_Radius(G.A, epsilon);
    upper = inv_f(rho / n, epsilon);
    lower = Avg_Degree(G.A) / n;
  }
  // Compared as printed: f^-1 stops within the precision, so an upper bound
  // of 1 may lie a hair below it.
  if (std::round(lower * 1e6) > std::round(upper * 1e6))
    std::fprintf(stderr, "%s: warning: the lower bound exceeds the upper one: %s.\n", PROG,
                 why.empty() ? "the precision -epsilon is too coarse" : why.c_str());
  std::printf("%f %f\n", lower, upper);
}


}  // namespace orv::mp
