// Solving brodel's program with lp_solve and reporting the tight constraints.
#include <cmath>

#include "brodel.h"
#include "common/lp_bridge.h"
#include "petri/pnl_reader.h"

namespace orv::brodel {

namespace {

using pn::PetriNet;

const char* const LP_FILE = "brodel.lp";
const char* const RES_FILE = "brodel.res";

size_t idx(int i) { return static_cast<size_t>(i); }
bool tight(double a, double b) { return std::fabs(a - b) < Tight; }

// Keeps the values of the model's own variables; other names and indexes
// out of range are ignored.
void keep_values(Brodel& b, const PetriNet& net, const lp::Result& r) {
  const int P = net.Nb_Places, T = net.Nb_Trans;
  b.X.assign(idx(P), 0.0);
  b.Q.assign(idx(T), 0.0);
  b.Th.assign(idx(T), 0.0);
  b.Y.assign(idx(P), std::vector<double>(idx(T), 0.0));
  for (const auto& v : r.Variables) {
    int i = 0, j = 0;
    if (lp::Var_Index(v.Name, "q", i) && i < T) {
      b.Q[idx(i)] = v.Value;
      if (pn::Debug) std::printf("Val of Q[%d] = %f\n", i, v.Value);
    } else if (lp::Var_Index(v.Name, "t", i) && i < T) {
      b.Th[idx(i)] = v.Value;
      if (pn::Debug) std::printf("Val of Th[%d] = %f\n", i, v.Value);
    } else if (lp::Var_Index(v.Name, "x", i) && i < P) {
      b.X[idx(i)] = v.Value;
      if (pn::Debug) std::printf("Val of X[%d] = %f\n", i, v.Value);
    } else if (lp::Var_Index2(v.Name, "y", '_', i, j) && i < P && j < T) {
      b.Y[idx(i)][idx(j)] = v.Value;
      if (pn::Debug) std::printf("Val of Y[%d][%d] = %f\n", i, j, v.Value);
    }
  }
}

void check_th_bounds(const Brodel& b, const PetriNet& net, double optimum) {
  std::fputs("Checking throughput bounds\n", stdout);
  for (int t = 0; t < net.Nb_Trans; ++t)
    if (tight(b.Th[idx(t)], optimum)) std::printf("t%d = th\n", t);
}

void check_liveness_bound(const Brodel& b, const PetriNet& net) {
  std::fputs("Checking liveness bounds\n", stdout);
  double sum = 0.0;
  for (double q : b.Q) sum += q;
  if (tight(sum, 1.0)) {
    std::fputs("\nq0 ", stdout);
    for (int t = 1; t < net.Nb_Trans; ++t) std::printf("+ q%1d ", t);
    std::fputs(" = 1;\n", stdout);
  }
  for (int p = 0; p < net.Nb_Places; ++p) {
    double y = 0.0;
    for (double v : b.Y[idx(p)]) y += v;
    if (!tight(b.X[idx(p)], y)) continue;
    std::printf("x%1d = y%1d_%1d", p, p, 0);
    for (int t = 1; t < net.Nb_Trans; ++t) std::printf(" + y%1d_%1d", p, t);
    std::fputs(";\n", stdout);
  }
}

void check_boundedness(const Brodel& b, const PetriNet& net) {
  if (!b.Has_Bounds()) return;
  std::fputs("Checking boundedness bounds\n", stdout);
  for (int p = 0; p < net.Nb_Places; ++p) {
    const int B = b.Up_B[idx(p)];
    if (B == No_Bound) continue;
    const double x = b.X[idx(p)];
    if (tight(x, B)) std::printf("x%d = %d;\n", p, B);
    for (const auto& a : net.P[idx(p)].Outputs) {
      if (a.Is_Inhibitor) continue;
      if (!tight(b.Y[idx(p)][idx(a.Dest)], B * b.Q[idx(a.Dest)])) continue;
      std::printf("y%d_%d <= ", p, a.Dest);
      std::printf("%d q%d;\n", B, a.Dest);
    }
    for (int t = 0; t < net.Nb_Trans; ++t) {
      const double y = b.Y[idx(p)][idx(t)], q = b.Q[idx(t)];
      if (tight(x, y + B - B * q)) {
        std::printf("x%d = y%d_%d + ", p, p, t);
        std::printf("%d ( 1 - q%d );\n", B, t);
      }
      if (B != 0 && tight((1.0 - 1.0 / B) * x, y - q)) {
        std::printf("(1-1/%d) x%1d = ", B, p);
        std::printf("y%d_%d - q%1d;\n", p, t, t);
      }
    }
  }
}

void check_sample_path(const Brodel& b, const PetriNet& net) {
  std::fputs("Checking sample path bounds\n", stdout);
  for (int t = 0; t < net.Nb_Trans; ++t)
    if (tight(b.Q[idx(t)], 1.0)) std::printf("q%d = 1;\n", t);
  double S = 0.0;
  for (double m : b.Mu) S += m;
  for (int p = 0; p < net.Nb_Places; ++p) {
    const double x = b.X[idx(p)];
    const auto& y = b.Y[idx(p)];
    for (int t = 0; t < net.Nb_Trans; ++t)
      if (tight(y[idx(t)], x)) std::printf("y%1d_%1d = x%1d;\n", p, t, p);
    double sum = 0.0;
    for (int t = 0; t < net.Nb_Trans; ++t) sum += b.Mu[idx(t)] * y[idx(t)];
    if (tight(S * x, sum)) {
      std::printf("%8.4f x%1d = ", S, p);
      std::printf("%8.4f y%1d_%1d", b.Mu[0], p, 0);
      for (int t = 1; t < net.Nb_Trans; ++t) std::printf(" + %8.4f y%1d_%1d", b.Mu[idx(t)], p, t);
      std::fputs(";\n", stdout);
    }
    for (const auto& a : net.P[idx(p)].Outputs) {
      if (a.Is_Inhibitor || net.T[idx(a.Dest)].Inputs.size() != 1) continue;
      if (!tight(x, y[idx(a.Dest)] + a.Weight - 1)) continue;
      if (a.Weight == 1) {
        std::printf("x%1d = y%1d_%1d;\n", p, p, a.Dest);
      } else {
        std::printf("x%1d = y%1d_%1d", p, p, a.Dest);
        std::printf(" + %d;\n", a.Weight - 1);
      }
    }
  }
  for (int p = 0; p < net.Nb_Places; ++p) {
    for (const auto& a : net.P[idx(p)].Outputs) {
      // The lower bound w q of an arc, or the upper bound (w - 1) q of an
      // inhibitor arc.
      const int w = a.Is_Inhibitor ? a.Weight - 1 : a.Weight;
      if (tight(b.Y[idx(p)][idx(a.Dest)], w * b.Q[idx(a.Dest)]))
        std::printf("y%d_%d = %d q%d\n", p, a.Dest, w, a.Dest);
    }
  }
}

void check_enabling_bound(const Brodel& b, const PetriNet& net) {
  std::fputs("Checking enabling bounds\n", stdout);
  for (const auto& e : enabling_constraints(b, net)) {
    double rhs = e.Constant;
    for (const auto& term : e.X_Terms) rhs += term.Coef * b.X[idx(term.Var)];
    if (!tight(b.Q[idx(e.T)], rhs)) continue;
    std::printf("q%d = ", e.T);
    std::fputs(e.Rhs_Text.c_str(), stdout);
  }
}

void check_little_law(const Brodel& b, const PetriNet& net) {
  std::fputs("Checking Little's Law\n", stdout);
  for (int p = 0; p < net.Nb_Places; ++p) {
    const auto& pl = net.P[idx(p)];
    double mu_out = 0.0;
    for (const auto& a : pl.Outputs)
      if (!a.Is_Inhibitor) mu_out += b.Mu[idx(a.Dest)];
    double rhs = 0.0;
    for (const auto& a : pl.Inputs) rhs += a.Weight * b.Mu[idx(a.Dest)] * b.Q[idx(a.Dest)];
    if (!tight(mu_out * b.X[idx(p)], rhs)) continue;
    std::printf("%4.6f x%d = ", mu_out, p);
    if (pl.Inputs.empty()) {
      std::fputs("0;\n", stdout);
      continue;
    }
    bool first = true;
    for (const auto& a : pl.Inputs) {
      std::printf(first ? "%4.6f q%d" : " + %4.6f q%d", a.Weight * b.Mu[idx(a.Dest)], a.Dest);
      first = false;
    }
    std::fputs(";\n", stdout);
  }
}

}  // namespace

int gen_solve_analyze(Brodel& b, const PetriNet& net, const std::string& objective,
                      bool variances, bool check) {
  lp::Result r = lp::Solve(LP_FILE, RES_FILE, [&](FILE* f) {
    if (pn::Debug) std::fputs("Generating Linear Program\n", stdout);
    b.Lin_Prog = f;
    gen_lin_code(b, net, objective, variances);
  }, {true});
  b.Lin_Prog = stdout;
  if (r.Status == lp::Outcome::NotWritten) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", b.Prog, LP_FILE);
    return 1;
  }
  if (pn::Debug) std::fputs("Parsing the results of the linear program.\n", stdout);
  const std::string what = objective.empty() ? "th" : objective;
  switch (r.Status) {
    case lp::Outcome::Optimal:
      break;
    case lp::Outcome::Unbounded:
      std::printf("Value found for %s: unbounded\n", what.c_str());
      return 0;
    case lp::Outcome::Unreadable:
      std::fputs("Error reading linear program results.\n", stdout);
      return 1;
    default:
      std::fputs("No solution found in by the linear program.\n", stdout);
      return 1;
  }
  // lp_solve reports an objective its bounds do not hold (a variable the
  // program leaves free) as its infinity, 1e30, not as unbounded.
  if (std::fabs(r.Objective) >= 1e30) {
    std::printf("Value found for %s: unbounded\n", what.c_str());
    return 0;
  }
  keep_values(b, net, r);
  const double v = r.Objective;
  std::printf("Value found for %s: %4.6f\n", what.c_str(), v);
  if (check) {
    if (objective.empty()) check_th_bounds(b, net, v);
    check_liveness_bound(b, net);
    check_boundedness(b, net);
    check_sample_path(b, net);
    if (b.Has_Bounds()) check_enabling_bound(b, net);
    check_little_law(b, net);
  }
  return 0;
}

}  // namespace orv::brodel
