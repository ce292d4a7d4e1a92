// rasmund's simulation: a fluid queue of constant capacity fed by an on-off
// source, simulated cycle by cycle between the regeneration points where the
// queue empties.
#include "fluid.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/args.h"
#include "common/random_variates.h"

namespace orv::rasmund {

namespace {

// Beyond this many levels the per-cycle tables stop making sense.
constexpr double kMaxLevels = 1e7;

struct CYCLE_STAT {
  int Nb_Points = 0;
  int Number = 1;
  double T_Start = 0.0, T_Final = 0.0, Total_Empty = 0.0;
  std::vector<long long> N_Plus, N_Minus;
  std::vector<double> Acc_Plus, Acc_Minus;
  // Time spent on level stretches (peak rate equal to the capacity), by
  // cell: such a stretch has no slope to turn a level span into time.
  std::vector<double> Flat;
  // The highest cell the cycle touched: the cells above it are all 0.
  int Top = 0;
};

struct GLOBAL_STAT {
  int Nb_Points = 0;
  long long Nb_Cycles = 0;
  bool I_Confidence = false;
  std::vector<double> Q, Q2;
  // The cycle count at which each level's sums were last brought up to
  // date: the cycles since then added 0 there.
  std::vector<long long> Seen;
  double C = 0, C2 = 0, E = 0, E2 = 0;
  double CE = 0;  // cross-deviation sum of cycle and empty times
};


// The laws this simulation can draw from. G counts from 1, as its mean in
// the header does.
bool Can_Sample(const orv::LAW_DESC& l) {
  return std::strchr("BCDEGHLNRUWpg", l.Name) != nullptr && l.Name != 0;
}

double Draw(const orv::LAW_DESC& l) {
  if (l.Name == 'G') return 1.0 + orv::Geometric(l.Parameters[0]);
  return orv::Sample(l);
}

int Nb_Pts(double Start, double Stop, double Step) {
  if (Step < 0) return 0;
  if (Start == Stop) return 1;
  if (Step == 0) return 0;
  const double n = std::floor((Stop - Start) / Step) + 1;
  // A count past the integers stays the largest one, which is refused.
  if (!(n > 0)) return 0;
  return n < INT_MAX ? static_cast<int>(n) : INT_MAX;
}

struct Sim {
  const RANGE_INFO& R;
  double r, c;
  CYCLE_STAT cy;
  GLOBAL_STAT gs;

  Sim(const RANGE_INFO& range, double peak, double cap, int nb, bool conf)
      : R(range), r(peak), c(cap) {
    cy.Nb_Points = gs.Nb_Points = nb;
    gs.I_Confidence = conf;
    cy.N_Plus.assign(nb + 1, 0);
    cy.N_Minus.assign(nb + 1, 0);
    cy.Acc_Plus.assign(nb + 1, 0.0);
    cy.Acc_Minus.assign(nb + 1, 0.0);
    cy.Flat.assign(nb + 1, 0.0);
    gs.Q.assign(nb + 1, 0.0);
    if (conf) {
      gs.Q2.assign(nb + 1, 0.0);
      gs.Seen.assign(nb + 1, 0);
    }
  }

  // The cell of level v and its lower edge. The top cell's edge is the last
  // level, whether or not the range is a whole number of steps.
  void cell(double v, int& k, double& edge) const {
    const int nb = cy.Nb_Points;
    const double top = R.Start + (nb - 1) * R.Step;
    if (nb == 0 || v < R.Start) {
      k = 0;
      edge = R.Start;
    } else if (v < R.Stop) {
      double f = std::floor((v - R.Start) / R.Step);
      if (!(f < nb)) f = nb - 1;
      k = static_cast<int>(f) + 1;
      edge = k == nb ? top : R.Start + f * R.Step;
    } else {
      k = nb;
      edge = top;
    }
  }

  void Record_Segment(double lo, double hi, bool on) {
    std::vector<long long>& N = on ? cy.N_Plus : cy.N_Minus;
    std::vector<double>& Acc = on ? cy.Acc_Plus : cy.Acc_Minus;
    int k;
    double edge;
    cell(lo, k, edge);
    N[k] += 1;
    Acc[k] += edge - lo;
    cell(hi, k, edge);
    N[k] -= 1;
    Acc[k] += hi - edge;
    cy.Top = std::max(cy.Top, k);
  }

  void Record_Flat(double level, double duration) {
    // An empty queue stays empty: empty time, as when a stretch of slope
    // r - c < 0 starts from 0.
    if (level <= 0) {
      cy.Total_Empty += duration;
      return;
    }
    int k;
    double edge;
    cell(level, k, edge);
    cy.Flat[k] += duration;
    cy.Top = std::max(cy.Top, k);
  }

  void Print_Cycle_Table() const {
    std::printf("# Cycle: [%f,%f]\n", cy.T_Start, cy.T_Final);
    std::printf("# Interval               N+  [cum]      N-  [cum]     Acc+     Acc-\n");
    const int nb = cy.Nb_Points;
    for (int k = 0; k <= nb; ++k) {
      const long long np = cy.N_Plus[k] - (k > 0 ? cy.N_Plus[k - 1] : 0);
      const long long nm = cy.N_Minus[k] - (k > 0 ? cy.N_Minus[k - 1] : 0);
      const int a = static_cast<int>(np), b = static_cast<int>(cy.N_Plus[k]);
      const int c2 = static_cast<int>(nm), d = static_cast<int>(cy.N_Minus[k]);
      if (k == 0)
        std::printf("# ]-inf,%6.3f[\t\t%3d  [%3d]\t%3d [%3d]    %8.3f %8.3f\n", R.Start, a, b, c2,
                    d, cy.Acc_Plus[k], cy.Acc_Minus[k]);
      else if (k == nb)
        std::printf("# [%6.3f,inf[\t\t%3d  [%3d]\t%3d [%3d]    %8.3f %8.3f\n",
                    R.Start + (k - 1) * R.Step, a, b, c2, d, cy.Acc_Plus[k], cy.Acc_Minus[k]);
      else
        std::printf("# [%6.3f,%6.3f[\t%3d  [%3d]\t%3d [%3d]    %8.3f %8.3f\n",
                    R.Start + (k - 1) * R.Step, R.Start + k * R.Step, a, b, c2, d,
                    cy.Acc_Plus[k], cy.Acc_Minus[k]);
    }
  }

  // Adds x to a sum and its squared deviations from the running mean.
  static void add(double x, double& sum, double& dev, long long n) {
    sum += x;
    if (n >= 2) {
      const double d = n * x - sum;
      dev += d * d / (static_cast<double>(n) * (n - 1));
    }
  }

  // The squared deviations that cycles Seen[k] + 1 .. n of level k added
  // with y = 0: each adds (sum)^2 / (i (i - 1)), which telescopes.
  void catch_up(int k, long long n) {
    const long long from = std::max(gs.Seen[k] + 1, 2LL);
    if (n >= from && gs.Q[k] != 0)
      gs.Q2[k] += gs.Q[k] * gs.Q[k] * (1.0 / static_cast<double>(from - 1) - 1.0 / static_cast<double>(n));
    gs.Seen[k] = n;
  }

  // Brings every level's variance sum up to the last cycle.
  void Finish() {
    if (!gs.I_Confidence) return;
    for (int k = 0; k < gs.Nb_Points; ++k) catch_up(k, gs.Nb_Cycles);
  }

  void Regeneration() {
    const int nb = cy.Nb_Points;
    // Above the cycle's top cell every count and time is 0, and so is every
    // level's share of the cycle: only the levels below it are visited.
    const int top = std::min(cy.Top, nb);
    if (Debug) std::printf("# Regeneration point at t=%f\n", cy.T_Final);
    for (int k = 0; k < (Debug ? nb : top); ++k) {
      cy.N_Plus[k + 1] += cy.N_Plus[k];
      cy.N_Minus[k + 1] += cy.N_Minus[k];
    }
    if (Debug) Print_Cycle_Table();
    const long long n = ++gs.Nb_Cycles;
    double y = 0.0;
    const bool sloped = r != c, conf = gs.I_Confidence;
    const double step = R.Step, up = r - c;
    for (int k = std::min(nb, top) - 1; k >= 0; --k) {
      if (sloped) y += (cy.N_Plus[k + 1] * step + cy.Acc_Plus[k + 1]) / up;
      y += (cy.N_Minus[k + 1] * step + cy.Acc_Minus[k + 1]) / c + cy.Flat[k + 1];
      if (conf) {
        if (gs.Seen[k] != n - 1) catch_up(k, n - 1);
        add(y, gs.Q[k], gs.Q2[k], n);
        gs.Seen[k] = n;
      } else {
        gs.Q[k] += y;
      }
    }
    const double L = cy.T_Final - cy.T_Start;
    // Cross deviations first: they need the sums before this cycle.
    if (n >= 2)
      gs.CE += (n * L - (gs.C + L)) * (n * cy.Total_Empty - (gs.E + cy.Total_Empty)) /
               (static_cast<double>(n) * (n - 1));
    add(L, gs.C, gs.C2, n);
    add(cy.Total_Empty, gs.E, gs.E2, n);
    cy.Number += 1;
    cy.T_Start = cy.T_Final;
    cy.Total_Empty = 0.0;
    const auto end = static_cast<std::ptrdiff_t>(Debug ? nb : top) + 1;
    std::fill(cy.N_Plus.begin(), cy.N_Plus.begin() + end, 0);
    std::fill(cy.N_Minus.begin(), cy.N_Minus.begin() + end, 0);
    std::fill(cy.Acc_Plus.begin(), cy.Acc_Plus.begin() + end, 0.0);
    std::fill(cy.Acc_Minus.begin(), cy.Acc_Minus.begin() + end, 0.0);
    std::fill(cy.Flat.begin(), cy.Flat.begin() + end, 0.0);
    cy.Top = 0;
  }

  void run(const SOURCE& src, long long pairs, bool traj) {
    double t = 0.0, W = 0.0;
    long long i = 0;
    do {
      const double a = Draw(*src.On_Law);
      double W1 = W + (r - c) * a;
      if (W1 < 0) {
        cy.Total_Empty += W1 / (r - c);
        if (traj) std::printf("%f %f\n", t + W / (c - r), 0.0);
        W1 = 0.0;
      }
      t += a;
      if (traj)
        std::printf("%f %f\n", t, W1);
      else if (r == c)
        Record_Flat(W, a);
      else
        Record_Segment(W, W1, true);
      W = W1;

      const double b = Draw(*src.Off_Law);
      W1 = W - c * b;
      if (W1 < 0) {
        cy.Total_Empty += -W1 / c;
        if (traj) std::printf("%f %f\n", t + W / c, 0.0);
        W1 = 0.0;
      }
      t += b;
      if (traj) {
        std::printf("%f %f\n", t, W1);
      } else {
        Record_Segment(W1, W, false);
        if (W1 == 0) {
          cy.T_Final = t;
          Regeneration();
        }
      }
      W = W1;
    } while (++i < pairs);
  }
};

void Print_Val(double v, const RANGE_INFO& R) {
  if (!R.Queue)
    std::printf("%12.8f", 1 - v);
  else if (R.Log)
    std::printf("%12.8e", std::log(v));
  else if (R.Log10)
    std::printf("%12.8e", std::log10(v));
  else
    std::printf("%14.10e", v);
}

void Print_Results(const GLOBAL_STAT& g, const RANGE_INFO& R) {
  const double n = static_cast<double>(g.Nb_Cycles);
  const bool conf = g.I_Confidence, var = conf && g.Nb_Cycles > 1;
  const double mC = g.C / n;
  double hC = 0.0;
  if (conf) {
    std::printf("# %lld regeneration cycles\n", g.Nb_Cycles);
    std::printf("# Expected Cycle time: %f ", mC);
    if (var) {
      hC = 2.24 * std::sqrt(g.C2 / (n - 1) / n);
      std::printf("+/- %f (97.5%%)\n", hC);
    } else {
      std::printf("(only one cycle: no variance estimate)\n");
    }
  }
  const double p = g.E / g.C;
  std::printf("# Average proportion of empty time: %8.6f ", p);
  if (var) {
    // A ratio of two sums: its spread is that of E_i - p L_i over the mean
    // cycle, in the units of the proportion.
    const double s2 = (g.E2 - 2 * p * g.CE + p * p * g.C2) / (n - 1);
    std::printf("+/- %f (95%%)\n", 1.95 * std::sqrt(std::max(s2, 0.0) / n) / mC);
  } else {
    std::printf("\n");
  }
  std::printf("# Printing Range: [%6.3f,%8.3f]%s\n", R.Start, R.Stop,
              conf ? " with 95% confidence intervals" : "");
  for (int k = 0; k < g.Nb_Points; ++k) {
    const double x = R.Start + k * R.Step;
    const double q = g.Q[k] / n;
    std::printf("%8.4f ", x);
    Print_Val(q / mC, R);
    if (var) {
      const double h = 2.24 * std::sqrt(g.Q2[k] / (n - 1) / n);
      std::printf(" ");
      Print_Val((q - h) / (mC + hC), R);
      std::printf(" ");
      Print_Val((q + h) / (mC - hC), R);
    } else if (conf) {
      std::printf(" - -");
    }
    if (NewLine) std::printf("\n");
    std::printf("# VQ %f %f\n", x, var ? g.Q2[k] / (n - 1) : 0.0);
  }
}

}  // namespace

bool Debug = false;
bool NewLine = true;

orv::LawPtr make_law(char name, std::vector<double> p) {
  orv::LawPtr l = orv::New_Law();
  l->Name = name;
  l->Parameters = std::move(p);
  if (l->Parameters.empty()) l->Parameters.push_back(0.0);
  return l;
}

// Reads a law in command-line notation from argv[i]; returns the index after
// it, or -1 after a message (the caller resumes at the letter).
int Parse_Law_From_Args(char** argv, int i, int argc, orv::LawPtr& law) {
  if (i >= argc) return -1;
  const char id = argv[i][0];
  int k = i + 1;
  auto missing = [&]() {
    std::printf("%s: error parsing law %c: not enough arguments.\n", kProg, id);
    return -1;
  };
  auto bad = [&](int at) {
    std::printf("%s: error parsing law %c at argument %s.\n", kProg, id, argv[at]);
    return -1;
  };
  // Period lengths come from these values: a parameter that is no finite
  // number, or a negative one (but the mean of N and L), makes no period.
  auto usable = [&](double v, std::size_t at) {
    return std::isfinite(v) && (v >= 0 || ((id == 'N' || id == 'L') && at == 0));
  };
  auto reals = [&](int n, std::vector<double>& p) {
    for (int j = 0; j < n; ++j, ++k) {
      if (k >= argc) return missing();
      double v;
      if (!orv::read_real(argv[k], v) || !usable(v, p.size())) return bad(k);
      p.push_back(v);
    }
    return 0;
  };
  std::vector<double> p;
  switch (id) {
    case 'B': case 'C': case 'E': case 'G': case 'g':
      if (reals(1, p) < 0) return -1;
      break;
    case 'L': case 'N': case 'R': case 'U': case 'W': case 'p':
      if (reals(2, p) < 0) return -1;
      break;
    case 'O':
      if (reals(3, p) < 0) return -1;
      break;
    case 'H': {
      double v;
      while (k < argc && orv::read_real(argv[k], v)) {
        if (!usable(v, 1)) return bad(k);
        p.push_back(v);
        ++k;
      }
      // Each branch needs its probability and its mean.
      if (p.empty() || p.size() % 2 != 0) return missing();
      p.insert(p.begin(), static_cast<double>(p.size()));
      break;
    }
    case 'D': {
      ++k;  // the opening bracket
      std::vector<double> values;
      for (;; ++k) {
        if (k >= argc) return missing();
        if (std::strcmp(argv[k], "]") == 0) break;
        double v;
        if (!orv::read_real(argv[k], v) || !usable(v, 1)) return bad(k);
        values.push_back(v);
      }
      k += 2;  // "]" and the next opening bracket
      p.push_back(static_cast<double>(values.size()));
      p.insert(p.end(), values.begin(), values.end());
      if (reals(static_cast<int>(values.size()), p) < 0) return -1;
      if (k >= argc) return missing();
      ++k;  // the closing bracket
      break;
    }
    case 'P': {
      if (reals(1, p) < 0) return -1;
      orv::LawPtr sub0, sub1;
      if ((k = Parse_Law_From_Args(argv, k, argc, sub0)) < 0) return -1;
      if ((k = Parse_Law_From_Args(argv, k, argc, sub1)) < 0) return -1;
      law = make_law(id, p);
      law->Law_Parameters.push_back(std::move(sub0));
      law->Law_Parameters.push_back(std::move(sub1));
      return k;
    }
    default:
      std::printf("%s: unknown law id (%c)\n", kProg, id);
      break;
  }
  law = make_law(id, p);
  return k;
}

int Run(const SOURCE& src, RANGE_INFO R, double capacity, int nbcycles, bool traj, bool conf,
        const std::string& out_name, orv::Output_Guard& out) {
  if (traj) conf = false;
  // Levels run up from Start by a positive Step, unless there is one only.
  if (!traj && R.Start != R.Stop) {
    const char* bad = R.Stop < R.Start ? "-xto" : !(R.Step > 0) ? "-xstep" : nullptr;
    if (bad) {
      std::printf("%s: real expected after %s\n", kProg, bad);
      return 1;
    }
  }

  // Checks of what the equations divide by and of what can be drawn.
  const double r = src.Peak_Rate, c = capacity;
  if (!(c > 0) || !std::isfinite(c)) {
    std::fprintf(stderr, "%s: error: bad capacity (%f).\n", kProg, c);
    return 1;
  }
  if (!std::isfinite(r) || r < 0) {
    std::fprintf(stderr, "%s: error: bad peak rate (%f).\n", kProg, r);
    return 1;
  }
  for (const orv::LAW_DESC* l : {src.On_Law.get(), src.Off_Law.get()})
    if (!Can_Sample(*l)) {
      std::fprintf(stderr, "%s: error: cannot draw from the law `%c`.\n", kProg, l->Name);
      return 1;
    }
  const int nb = Nb_Pts(R.Start, R.Stop, R.Step);
  if (!traj && nb > kMaxLevels) {
    std::fprintf(stderr, "%s: error: too many levels.\n", kProg);
    return 1;
  }
  if (!out_name.empty() && !out.redirect_stdout(out_name, false)) {
    std::printf("%s: error: could not open file %s\n", kProg, out_name.c_str());
    out.report_open_failure(out_name);
    return -1;
  }

  const double m_on = orv::Mean(*src.On_Law), m_off = orv::Mean(*src.Off_Law);
  std::printf("# Statistics on the On/Off fluid queue.\n");
  std::printf("# On distribution:  ");
  orv::Write_Law(stdout, *src.On_Law);
  std::printf("\n");
  std::printf("# Off distribution: ");
  orv::Write_Law(stdout, *src.Off_Law);
  std::printf("\n");
  std::printf("# Peak rate / Capacity:        %f / %f\n", r, c);
  std::printf("# Theoretical Load Factor Rho = %f\n", r * m_on / ((m_on + m_off) * c));
  std::printf("# %d On and Off periods.\n", nbcycles);

  Sim sim(R, r, c, traj ? 0 : nb, conf);
  sim.run(src, nbcycles, traj);
  if (traj) return 0;
  if (sim.gs.Nb_Cycles == 0) {
    std::fprintf(stderr, "%s: error: no regeneration cycle completed.\n", kProg);
    out.keep_on_failure();
    return 2;
  }
  // Every estimate is a share of the cycles' total time.
  if (!(sim.gs.C > 0)) {
    std::fprintf(stderr, "%s: error: the regeneration cycles took no time.\n", kProg);
    out.keep_on_failure();
    return 2;
  }
  sim.Finish();
  Print_Results(sim.gs, R);
  return 0;
}

}  // namespace orv::rasmund
