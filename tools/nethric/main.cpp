// nethric: lower and upper bounds of the growth rate of an interaction graph
// from its weights and arcs, or, for equal weights, from its degrees and the
// spectral radius of its adjacency matrix.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/args.h"
#include "common/output_guard.h"
#include "maxplus/interaction_graph.h"

namespace {

using namespace orv::mp;

constexpr const char* PROG = "nethric";
constexpr const char* VERSION = "1.1";

double Epsilon = 1e-6;

void usage() {
  std::printf("Usage: %s [-f <file>] [-o <file>]", PROG);
  std::printf(" [-epsilon <real>]");
  std::printf(" [-debug] [-h] [-?]\n");
}

// Rises from 0 to 1 on (0, 1).
double f(double x) {
  if (x == 0) return 0;
  if (x == 1) return 1;
  if (x < 0 || x > 1) return 0;
  return std::exp(std::log(x) + (1 - x) * std::log(1 - x) / x);
}

double inv_f(double y) {
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
    // Normalised by node 0 as a rule; when node 0 has nothing to sum, by the
    // largest component, and when every component is 0 the radius is 0.
    double norm = y[0];
    if (norm == 0)
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

  double radius = nilpotent ? 0.0 : n;
  if (!nilpotent) {
    const std::vector<double> z = times(A, x);
    for (int i = 0; i < n; ++i)
      if (x[i] != 0) radius = std::min(radius, z[i] / x[i]);
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

void Compute_Bounds(const INTERACTION_GRAPH& G) {
  const int n = G.Size;
  double lower = 0, upper = 0;
  if (!Is_Uniform(G)) {
    double W = 0;
    for (double w : G.Weight) W += w;
    double most = 0;
    double pairs = 0;
    for (int i = 0; i < n; ++i) {
      double around = 0;
      for (int k = 0; k < G.A.Nb_Elts[i]; ++k) {
        const int j = G.A.Elts[i][k];
        around += G.Weight[j];
        pairs += G.Weight[i] * G.Weight[j];
      }
      most = std::max(most, around / W);
    }
    upper = std::exp(1.0) * most;
    lower = pairs / (W * W);
  } else {
    const int degree = Max_Degree(G.A);
    const double by_degree = inv_f(static_cast<double>(degree) / n);
    if (Debug) std::printf("UB using max degree (=%d): %f\n", degree, by_degree);
    const double rho = Spectral_Radius(G.A, Epsilon);
    upper = inv_f(rho / n);
    lower = Avg_Degree(G.A) / n;
  }
  std::printf("%f %f\n", lower, upper);
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(PROG);
  orv::Args args(argc, argv, PROG);
  std::string out_name;
  while (args.next()) {
    if (args.is("-f")) {
      std::string file;
      if (!args.take_string(file)) return -1;
      if (std::freopen(file.c_str(), "r", stdin) == nullptr) {
        std::fprintf(stderr, "%s: could not open file %s\n", PROG, file.c_str());
        return -1;
      }
    } else if (args.is("-o")) {
      if (!args.take_string(out_name)) return -1;
    } else if (args.is("-epsilon")) {
      if (!args.take_real(Epsilon)) return -1;
      // The iterations stop on a distance at most this: it must be positive.
      if (!(Epsilon > 0)) {
        std::printf("%s: real expected after %s\n", PROG, "-epsilon");
        return -1;
      }
    } else if (args.is("-debug")) {
      Debug = 1;
    } else if (args.is("-v")) {
      std::printf("%s (Version %s)\n", PROG, VERSION);
      return out.finish(0);
    } else if (args.is("-h") || args.is("-?")) {
      usage();
      return out.finish(0);
    }
  }
  Interaction_Graph G = Read_Interaction_Graph(stdin);
  if (!G) {
    std::fprintf(stderr, "%s: bad input data. No computation.\n", PROG);
    return out.finish(-2);
  }
  if (!out_name.empty() && !out.redirect_stdout(out_name)) return out.finish(-1);
  Compute_Bounds(*G);
  return out.finish(0);
}
