// The linear program of brodel, written in lp_solve's input language.
#include <cstdarg>
#include <cstdlib>

#include "brodel.h"
#include "common/value_list.h"

namespace orv::brodel {

namespace {

using pn::ARC_LIST;
using pn::PetriNet;

__attribute__((format(printf, 1, 2))) std::string strf(const char* fmt, ...) {
  va_list ap, aq;
  va_start(ap, fmt);
  va_copy(aq, ap);
  int n = std::vsnprintf(nullptr, 0, fmt, ap);
  va_end(ap);
  std::string s(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(s.data(), s.size() + 1, fmt, aq);
  va_end(aq);
  return s;
}

size_t idx(int i) { return static_cast<size_t>(i); }

// A coefficient in the program's usual format when that text reads back as
// the same number, else with every digit it needs: six decimals can turn a
// feasible program infeasible (0.665380 + 0.665380 q0 = 1.330761 q0 has no
// solution q0 = 1) or cut its optimum.
std::string num(int width, int decimals, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, v);
  if (std::strtod(buf, nullptr) == v) return buf;
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

bool has_any_weight(const PetriNet& net) {
  if (net.Has_Weights) return true;
  for (const auto& t : net.T)
    for (const auto& a : t.Outputs)
      if (a.Weight > 1) return true;
  for (const auto& p : net.P)
    for (const auto& a : p.Outputs)
      if (a.Weight > 1) return true;
  return false;
}

// Places without an input or an output get no balance equation.
bool io_problem(const pn::PL_DES& p, int n) {
  if (!p.Inputs.empty() && !p.Outputs.empty()) return false;
  std::fputs("Warning: input/output problem at ", stderr);
  std::fprintf(stderr, "place %d. Place ignored.\n", n);
  return true;
}

void place_comment(const Brodel& b, const PetriNet& net, int p) {
  if (b.Verbose) std::fprintf(b.Lin_Prog, "/* For place %s (#%1d) */\n", net.P[idx(p)].Name.c_str(), p);
}

void gen_objective(const Brodel& b, const PetriNet& net, const std::string& objective) {
  FILE* out = b.Lin_Prog;
  std::fputs(b.Minimum ? "min:" : "max:", out);
  if (!objective.empty()) {
    std::fprintf(out, "%s;\n", objective.c_str());
    return;
  }
  std::fputs("t0", out);
  for (int t = 1; t < net.Nb_Trans; ++t) std::fprintf(out, " + t%d", t);
  std::fputs(";\n", out);
}

void gen_throughputs(const Brodel& b, const PetriNet& net) {
  FILE* out = b.Lin_Prog;
  std::fputs("/* Throughput definitions */\n", out);
  for (int t = 0; t < net.Nb_Trans; ++t) {
    std::fprintf(out, "/* Of transition %s (#%1d) */\n", net.T[idx(t)].Name.c_str(), t);
    std::fprintf(out, "t%d = %s q%1d;\n", t, num(4, 6, b.Mu[idx(t)]).c_str(), t);
  }
}

void gen_flow_balance(const Brodel& b, const PetriNet& net) {
  FILE* out = b.Lin_Prog;
  std::fputs("/* Place Flow Balance Equations */\n", out);
  for (int p = 0; p < net.Nb_Places; ++p) {
    const auto& pl = net.P[idx(p)];
    if (io_problem(pl, p)) continue;
    std::fprintf(out, "/* At place %s (#%1d) */\n", pl.Name.c_str(), p);
    bool first = true;
    for (const auto& a : pl.Inputs) {
      std::fprintf(out, first ? "%s q%1d" : " + %s q%1d", num(4, 6, a.Weight * b.Mu[idx(a.Dest)]).c_str(), a.Dest);
      first = false;
    }
    std::fputs(" = ", out);
    first = true;
    for (const auto& a : pl.Outputs) {
      if (a.Is_Inhibitor) continue;
      std::fprintf(out, first ? "%s q%1d" : " + %s q%1d", num(4, 6, a.Weight * b.Mu[idx(a.Dest)]).c_str(), a.Dest);
      first = false;
    }
    if (first) {
      std::fputs("0", out);
      std::fprintf(stderr, "%s: warning: place %d [%s] has no outputs.\n", b.Prog, p, pl.Name.c_str());
    }
    std::fputs(";\n", out);
  }
}

// y terms of place a over the non-inhibitor arcs of l, coefficient w * Mu.
void y_terms(const Brodel& b, int a, const ARC_LIST& l, bool& first) {
  for (const auto& arc : l) {
    if (arc.Is_Inhibitor) continue;
    std::fprintf(b.Lin_Prog, first ? "%s y%1d_%1d" : " + %s y%1d_%1d",
                 num(4, 6, arc.Weight * b.Mu[idx(arc.Dest)]).c_str(), a, arc.Dest);
    first = false;
  }
}

void q_terms(const Brodel& b, const std::vector<Inter>& l, double factor, bool& first) {
  for (const auto& e : l) {
    std::fprintf(b.Lin_Prog, " + %s q%1d", num(4, 6, factor * e.W * b.Mu[idx(e.T)]).c_str(), e.T);
    first = false;
  }
}

void gen_second_moments(const Brodel& b, const PetriNet& net) {
  FILE* out = b.Lin_Prog;
  if (has_any_weight(net)) {
    std::fprintf(stderr, "%s: warning: weights not compatible", b.Prog);
    std::fputs("with second moment constraints (yet).\n", stderr);
    std::fputs("Results probably incorrects.\n", stderr);
  }
  std::fputs("/* Square of population stationarity */\n", out);
  for (int p = 0; p < net.Nb_Places; ++p) {
    const auto& pl = net.P[idx(p)];
    if (io_problem(pl, p)) continue;
    bool first = true;
    for (const auto& a : pl.Inputs) {
      std::fprintf(out, first ? "%s y%1d_%1d" : " + %s y%1d_%1d",
                   num(4, 6, 2.0 * a.Weight * b.Mu[idx(a.Dest)]).c_str(), p, a.Dest);
      first = false;
    }
    for (const auto& a : pl.Inputs)
      std::fprintf(out, " + %s q%1d", num(4, 6, double(a.Weight) * a.Weight * b.Mu[idx(a.Dest)]).c_str(), a.Dest);
    for (const auto& a : pl.Outputs)
      if (!a.Is_Inhibitor)
        std::fprintf(out, " + %s q%1d", num(4, 6, double(a.Weight) * a.Weight * b.Mu[idx(a.Dest)]).c_str(), a.Dest);
    std::fputs(" = ", out);
    first = true;
    for (const auto& a : pl.Outputs) {
      if (a.Is_Inhibitor) continue;
      std::fprintf(out, first ? "%s y%1d_%1d" : " + %s y%1d_%1d",
                   num(4, 6, 2.0 * a.Weight * b.Mu[idx(a.Dest)]).c_str(), p, a.Dest);
      first = false;
    }
    q_terms(b, L_List_Inter(pl.Inputs, pl.Outputs), 2.0, first);
    // Only inhibitor outputs: the side would be empty.
    if (first) std::fputs("0", out);
    std::fputs(";\n", out);
  }

  std::fputs("/* Population covariance stationarity */\n", out);
  for (int i = 0; i < net.Nb_Places; ++i) {
    const auto& pi = net.P[idx(i)];
    for (int j = i + 1; j < net.Nb_Places; ++j) {
      const auto& pj = net.P[idx(j)];
      std::fprintf(out, "/* places %d et %d */\n", i, j);
      bool first = true;
      y_terms(b, i, pj.Inputs, first);
      y_terms(b, j, pi.Inputs, first);
      q_terms(b, L_List_Inter(pi.Inputs, pj.Inputs), 1.0, first);
      q_terms(b, L_List_Inter(pi.Outputs, pj.Outputs), 1.0, first);
      if (first) std::fputs("0", out);
      std::fputs(" = ", out);
      first = true;
      y_terms(b, i, pj.Outputs, first);
      y_terms(b, j, pi.Outputs, first);
      q_terms(b, L_List_Inter(pi.Inputs, pj.Outputs), 1.0, first);
      q_terms(b, L_List_Inter(pi.Outputs, pj.Inputs), 1.0, first);
      if (first) std::fputs("0", out);
      std::fputs(";\n", out);
    }
  }
}

void gen_liveness(const Brodel& b, const PetriNet& net) {
  FILE* out = b.Lin_Prog;
  std::fputs("/* Liveness bounds */\n", out);
  std::fputs("q0 ", out);
  for (int t = 1; t < net.Nb_Trans; ++t) std::fprintf(out, "+ q%1d ", t);
  std::fputs(" >= 1;\n", out);
  for (int p = 0; p < net.Nb_Places; ++p) {
    std::fprintf(out, "x%1d <= y%1d_%1d", p, p, 0);
    for (int t = 1; t < net.Nb_Trans; ++t) std::fprintf(out, " + y%1d_%1d", p, t);
    std::fputs(";\n", out);
  }
}

void gen_boundedness(const Brodel& b, const PetriNet& net) {
  FILE* out = b.Lin_Prog;
  std::fputs("/* Bounds from boundedness */\n", out);
  for (int p = 0; p < net.Nb_Places; ++p) {
    int B = b.Up_B[idx(p)];
    if (B == No_Bound) continue;
    place_comment(b, net, p);
    std::fprintf(out, "x%d <= %d;\n", p, B);
    for (const auto& a : net.P[idx(p)].Outputs) {
      if (a.Is_Inhibitor) continue;
      if (b.Verbose)
        std::fprintf(out, "/* ...and transition %s (#%d) */\n", net.T[idx(a.Dest)].Name.c_str(), a.Dest);
      std::fprintf(out, "y%d_%d <= ", p, a.Dest);
      std::fprintf(out, "%d q%d;\n", B, a.Dest);
    }
    for (int t = 0; t < net.Nb_Trans; ++t) {
      std::fprintf(out, "x%d <= y%d_%d + ", p, p, t);
      std::fprintf(out, "%d - %d q%d;\n", B, B, t);
      // A bound of 0 has no such ratio; x <= 0 says it all.
      if (B == 0) continue;
      std::fprintf(out, "%s x%1d >= ", num(0, 6, 1.0 - 1.0 / B).c_str(), p);
      std::fprintf(out, "y%d_%d - q%1d;\n", p, t, t);
    }
  }
}

void gen_reachable(const Brodel& b, const PetriNet& net) {
  FILE* out = b.Lin_Prog;
  std::fputs("/* Reachable marking constraints */\n", out);
  for (int p = 0; p < net.Nb_Places; ++p) {
    const auto& pl = net.P[idx(p)];
    place_comment(b, net, p);
    std::fprintf(out, "x%d = %d", p, pl.Init_Pop);
    for (const auto& a : pl.Inputs) {
      if (a.Weight == 1) std::fprintf(out, " + u%d", a.Dest);
      else std::fprintf(out, " + %1d u%1d", a.Weight, a.Dest);
    }
    for (const auto& a : pl.Outputs) {
      if (a.Is_Inhibitor) continue;
      if (a.Weight == 1) std::fprintf(out, " - u%d", a.Dest);
      else std::fprintf(out, " - %1d u%1d", a.Weight, a.Dest);
    }
    std::fputs(";\n", out);
  }
}

void gen_sample_path(const Brodel& b, const PetriNet& net) {
  FILE* out = b.Lin_Prog;
  std::fputs("/* Sample path bounds for q */\n", out);
  for (int t = 0; t < net.Nb_Trans; ++t)
    std::fprintf(out, net.T[idx(t)].Inputs.empty() ? "q%1d = 1;\n" : "q%1d <= 1;\n", t);
  std::fputs("/* Sample path bounds for y */\n", out);
  for (int p = 0; p < net.Nb_Places; ++p) {
    place_comment(b, net, p);
    for (const auto& a : net.P[idx(p)].Outputs) {
      if (!a.Is_Inhibitor) {
        std::fprintf(out, "y%1d_%1d >= ", p, a.Dest);
        std::fprintf(out, "%d q%1d;\n", a.Weight, a.Dest);
      } else if (a.Weight == 1) {
        std::fprintf(out, "y%1d_%1d <= 0;\n", p, a.Dest);
      } else {
        std::fprintf(out, "y%1d_%1d ", p, a.Dest);
        std::fprintf(out, "<= %d q%1d;\n", a.Weight - 1, a.Dest);
      }
    }
  }

  double S = 0.0;
  for (double m : b.Mu) S += m;
  std::fputs("/* Sample path bounds for x */\n", out);
  for (int p = 0; p < net.Nb_Places; ++p) {
    place_comment(b, net, p);
    for (int t = 0; t < net.Nb_Trans; ++t) std::fprintf(out, "y%1d_%1d <= x%1d;\n", p, t, p);
    std::fprintf(out, "%s x%1d >= ", num(8, 4, S).c_str(), p);
    std::fprintf(out, "%s y%1d_%1d", num(8, 4, b.Mu[0]).c_str(), p, 0);
    for (int t = 1; t < net.Nb_Trans; ++t) std::fprintf(out, " + %s y%1d_%1d", num(8, 4, b.Mu[idx(t)]).c_str(), p, t);
    std::fputs(";\n", out);
    for (const auto& a : net.P[idx(p)].Outputs) {
      if (a.Is_Inhibitor || net.T[idx(a.Dest)].Inputs.size() != 1) continue;
      if (b.Verbose)
        std::fprintf(out, "/* ...and transition %s (#%1d) */\n", net.T[idx(a.Dest)].Name.c_str(), a.Dest);
      if (a.Weight == 1) {
        std::fprintf(out, "x%1d = y%1d_%1d;\n", p, p, a.Dest);
      } else {
        std::fprintf(out, "x%1d <= y%1d_%1d", p, p, a.Dest);
        std::fprintf(out, " + %d;\n", a.Weight - 1);
      }
    }
  }
}

void gen_enabling(const Brodel& b, const PetriNet& net) {
  FILE* out = b.Lin_Prog;
  std::fputs("/* Bounds from enabling constraints */\n", out);
  for (const auto& e : enabling_constraints(b, net)) {
    std::fputs(e.Comment.c_str(), out);
    std::fprintf(out, "q%d %s ", e.T, e.Sense);
    std::fputs(e.Rhs_Text.c_str(), out);
  }
}

void gen_little(const Brodel& b, const PetriNet& net) {
  FILE* out = b.Lin_Prog;
  std::fputs("/* Bounds from Little's Law */\n", out);
  for (int p = 0; p < net.Nb_Places; ++p) {
    const auto& pl = net.P[idx(p)];
    place_comment(b, net, p);
    double mu_out = 0.0;
    for (const auto& a : pl.Outputs)
      if (!a.Is_Inhibitor) mu_out += b.Mu[idx(a.Dest)];
    std::fprintf(out, "%s x%d >= ", num(4, 6, mu_out).c_str(), p);
    if (pl.Inputs.empty()) {
      std::fputs("0;\n", out);
      continue;
    }
    bool first = true;
    for (const auto& a : pl.Inputs) {
      std::fprintf(out, first ? "%s q%d" : " + %s q%d", num(4, 6, a.Weight * b.Mu[idx(a.Dest)]).c_str(), a.Dest);
      first = false;
    }
    std::fputs(";\n", out);
  }
}

void gen_cycles(const Brodel& b, const PetriNet& net) {
  FILE* out = b.Lin_Prog;
  std::fputs("/* Cycle population conservation Law */\n", out);
  for (const auto& row : Cycle_Base(net, Make_Mig_Matrix(net))) {
    int sum = 0;
    for (int p = 0; p < net.Nb_Places; ++p) {
      if (row[idx(p)] == 0) continue;
      std::fprintf(out, row[idx(p)] > 0 ? " +x%1d" : " -x%1d", p);
      sum += row[idx(p)] * net.P[idx(p)].Init_Pop;
    }
    std::fprintf(out, " = %1d;\n", sum);
    for (int t = 0; t < net.Nb_Trans; ++t) {
      for (int p = 0; p < net.Nb_Places; ++p) {
        if (row[idx(p)] == 0) continue;
        std::fprintf(out, row[idx(p)] > 0 ? " +y%1d_%1d" : " -y%1d_%1d", p, t);
      }
      std::fprintf(out, " = %1d q%1d;\n", sum, t);
    }
  }
}

}  // namespace

std::vector<Inter> L_List_Inter(const ARC_LIST& l1, const ARC_LIST& l2) {
  std::vector<Inter> r;
  for (const auto& a : l1) {
    if (a.Is_Inhibitor) continue;
    for (const auto& c : l2)
      if (!c.Is_Inhibitor && c.Dest == a.Dest) r.push_back({a.Dest, static_cast<double>(a.Weight) * c.Weight});
  }
  return r;
}

std::vector<Enabling> enabling_constraints(const Brodel& b, const PetriNet& net) {
  std::vector<Enabling> all;
  for (int t = 0; t < net.Nb_Trans; ++t) {
    const ARC_LIST& in = net.T[idx(t)].Inputs;
    const int k = static_cast<int>(in.size());
    if (k < 1) continue;
    bool all_bounded = true, inhibitors_bounded = true, never_enabled = false;
    int n_inh = 0;
    for (const auto& a : in) {
      int B = b.Up_B[idx(a.Dest)];
      if (a.Is_Inhibitor) ++n_inh;
      if (B == No_Bound) {
        all_bounded = false;
        if (a.Is_Inhibitor) inhibitors_bounded = false;
      } else if (!a.Is_Inhibitor && B < a.Weight) {
        never_enabled = true;
      }
    }
    // A place bounded below the weight it must offer keeps t disabled.
    if (never_enabled) {
      all.push_back({t, "=", "", "0;\n", 0.0, {}});
      continue;
    }
    // r = 1 / (B - w + 1); an inhibitor whose place can never reach its
    // weight never blocks, and counts as the constant 1 instead of B * r.
    auto r_of = [&](const pn::LINK_LIST& a) {
      int B = b.Up_B[idx(a.Dest)];
      if (a.Is_Inhibitor && B < a.Weight) return 0.0;
      return 1.0 / (static_cast<double>(B) - a.Weight + 1);
    };
    auto br_of = [&](const pn::LINK_LIST& a) {
      int B = b.Up_B[idx(a.Dest)];
      if (a.Is_Inhibitor && B < a.Weight) return 1.0;
      return B * r_of(a);
    };
    if (all_bounded) {
      Enabling e;
      e.T = t;
      e.Sense = ">=";
      if (b.Verbose) e.Comment = strf("/* Of transition %s (#%1d) */\n", net.T[idx(t)].Name.c_str(), t);
      double c = 1.0;
      for (const auto& a : in)
        if (!a.Is_Inhibitor) c -= br_of(a);
      e.Constant = c;
      e.Rhs_Text = num(10, 6, c);
      for (const auto& a : in) {
        if (!a.Is_Inhibitor) {
          e.Rhs_Text += strf(" + %s x%d", num(8, 6, r_of(a)).c_str(), a.Dest);
          e.X_Terms.push_back({a.Dest, r_of(a)});
        } else {
          e.Rhs_Text += strf(" - %s x%d", num(8, 6, 1.0 / a.Weight).c_str(), a.Dest);
          e.X_Terms.push_back({a.Dest, -1.0 / a.Weight});
        }
      }
      e.Rhs_Text += ";\n";
      all.push_back(std::move(e));
    }
    if (!inhibitors_bounded) continue;
    {
      Enabling e;
      e.T = t;
      e.Sense = "<=";
      bool first = true;
      double inh_sum = 0.0;
      for (const auto& a : in) {
        if (!a.Is_Inhibitor) {
          double c = (1.0 / a.Weight) / k;
          e.Rhs_Text += strf(first ? "%s x%d" : " + %s x%d", num(10, 6, c).c_str(), a.Dest);
          e.X_Terms.push_back({a.Dest, c});
        } else {
          double c = r_of(a) / k;
          e.Rhs_Text += strf(first ? "- %s x%d" : " - %s x%d", num(10, 6, c).c_str(), a.Dest);
          e.X_Terms.push_back({a.Dest, -c});
          inh_sum += br_of(a);
        }
        first = false;
      }
      double K = inh_sum / k;
      e.Constant = K;
      e.Rhs_Text += K == 0.0 ? std::string(";\n") : strf("+ %s;\n", num(10, 6, K).c_str());
      all.push_back(std::move(e));

      if (k - n_inh > 1) {
        double a_k = ((k - n_inh - 1) + inh_sum) / k;
        for (size_t i = 1; i < in.size(); ++i) {
          const auto& arc = in[i];
          if (arc.Is_Inhibitor) continue;
          Enabling f;
          f.T = t;
          f.Sense = "<=";
          double c = (1.0 / arc.Weight) / k;
          f.Rhs_Text = strf("%s x%d", num(10, 6, c).c_str(), arc.Dest);
          f.X_Terms.push_back({arc.Dest, c});
          for (const auto& h : in) {
            if (!h.Is_Inhibitor) continue;
            f.Rhs_Text += strf(" - %s x%d", num(10, 6, r_of(h) / k).c_str(), h.Dest);
            f.X_Terms.push_back({h.Dest, -r_of(h) / k});
          }
          f.Constant = a_k;
          f.Rhs_Text += a_k == 0.0 ? std::string(";\n") : strf(" + %s;\n", num(10, 6, a_k).c_str());
          all.push_back(std::move(f));
        }
      }
    }
  }
  return all;
}

bool Is_An_Event_Graph(const PetriNet& net) {
  for (const auto& p : net.P)
    if (p.Inputs.size() != 1 || p.Outputs.size() != 1) return false;
  return true;
}

std::vector<std::vector<int>> Make_Mig_Matrix(const PetriNet& net) {
  std::vector<std::vector<int>> m(idx(net.Nb_Places), std::vector<int>(idx(net.Nb_Trans), 0));
  for (int p = 0; p < net.Nb_Places; ++p) {
    for (const auto& a : net.P[idx(p)].Inputs) m[idx(p)][idx(a.Dest)] = 1;
    for (const auto& a : net.P[idx(p)].Outputs) m[idx(p)][idx(a.Dest)] = -1;
  }
  return m;
}

std::vector<std::vector<int>> Cycle_Base(const PetriNet& net, const std::vector<std::vector<int>>& mig) {
  const int P = net.Nb_Places, T = net.Nb_Trans;
  // The two ends of each place, from its row: the column marked +1 feeds
  // it, the one marked -1 takes from it. A self-loop has only the -1.
  std::vector<int> from(idx(P), -1), to(idx(P), -1);
  for (int k = 0; k < P; ++k)
    for (int j = 0; j < T; ++j) {
      if (mig[idx(k)][idx(j)] == 1) from[idx(k)] = j;
      if (mig[idx(k)][idx(j)] == -1) to[idx(k)] = j;
    }

  // Spanning forest: expand the lowest reached transition first; when a
  // component is exhausted, start again from the lowest one not reached.
  std::vector<bool> reached(idx(T), false), expanded(idx(T), false), tree(idx(P), false);
  int n_reached = 0;
  while (n_reached < T) {
    int j = -1;
    for (int i = 0; i < T && j < 0; ++i)
      if (reached[idx(i)] && !expanded[idx(i)]) j = i;
    if (j < 0) {
      for (int i = 0; i < T && j < 0; ++i)
        if (!reached[idx(i)]) j = i;
      reached[idx(j)] = true;
      ++n_reached;
      continue;
    }
    for (int k = 0; k < P; ++k) {
      if (mig[idx(k)][idx(j)] == 0) continue;
      for (int m = 0; m < T; ++m) {
        if (mig[idx(k)][idx(m)] * mig[idx(k)][idx(j)] != -1 || reached[idx(m)]) continue;
        tree[idx(k)] = true;
        reached[idx(m)] = true;
        ++n_reached;
      }
    }
    expanded[idx(j)] = true;
  }

  // Tree edges at each transition, places in index order.
  std::vector<std::vector<int>> at(idx(T));
  for (int k = 0; k < P; ++k)
    if (tree[idx(k)] && from[idx(k)] >= 0 && to[idx(k)] >= 0) {
      at[idx(from[idx(k)])].push_back(k);
      at[idx(to[idx(k)])].push_back(k);
    }

  std::vector<std::vector<int>> base;
  for (int c = 0; c < P; ++c) {
    if (tree[idx(c)]) continue;
    std::vector<int> row(idx(P), 0);
    row[idx(c)] = 1;
    const int start = to[idx(c)];
    const int goal = from[idx(c)] >= 0 ? from[idx(c)] : start;  // a self-loop closes at once
    // Depth first from the chord's output back to its input, over tree
    // edges; the path is unique in a forest.
    std::vector<int> path;        // tree places on the current path
    std::vector<int> node{start};  // transitions on it
    std::vector<size_t> next{0};
    std::vector<bool> used(idx(P), false);
    while (!node.empty() && node.back() != goal) {
      int v = node.back();
      size_t& i = next.back();
      if (i < at[idx(v)].size()) {
        int k = at[idx(v)][i++];
        if (used[idx(k)]) continue;
        used[idx(k)] = true;
        path.push_back(k);
        node.push_back(from[idx(k)] == v ? to[idx(k)] : from[idx(k)]);
        next.push_back(0);
      } else {
        node.pop_back();
        next.pop_back();
        if (!path.empty()) path.pop_back();
      }
    }
    for (size_t s = 0; s < path.size(); ++s) {
      int k = path[s];
      // Crossed from its input transition to its output one: +1.
      row[idx(k)] = from[idx(k)] == node[s] ? 1 : -1;
    }
    base.push_back(std::move(row));
  }
  return base;
}

void gen_lin_code(Brodel& b, const PetriNet& net, const std::string& objective, bool variances) {
  FILE* out = b.Lin_Prog;
  std::fputs("/* Linear program computing an upper bound on the throughput", out);
  std::fputs(" of a Petri Net */\n", out);
  std::fprintf(out, "/* Generated by %s, %s */\n", "brodel", todays_date().c_str());
  gen_objective(b, net, objective);
  gen_throughputs(b, net);
  gen_flow_balance(b, net);
  if (variances) gen_second_moments(b, net);
  gen_liveness(b, net);
  if (b.Has_Bounds()) gen_boundedness(b, net);
  gen_reachable(b, net);
  gen_sample_path(b, net);
  if (b.Has_Bounds()) gen_enabling(b, net);
  gen_little(b, net);
  // The signed sums of a cycle are kept by firings only when every arc
  // weighs 1; the weighted invariants stay in the reachable markings.
  if (Is_An_Event_Graph(net) && !has_any_weight(net)) gen_cycles(b, net);
}

}  // namespace orv::brodel
