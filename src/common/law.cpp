#include "common/law.h"

#include <cmath>
#include <cstddef>

#include "common/exact_real.h"

namespace orv {

namespace {

const char* const kTag = "LawPackage";

// Parameter i, or 0.0 when a law built elsewhere is shorter than its letter
// implies: a malformed law must not be read past its end.
double par(const LAW_DESC& law, std::size_t i) {
  return i < law.Parameters.size() ? law.Parameters[i] : 0.0;
}

// Number of (value, probability) pairs of a D law that are really there.
std::size_t discrete_count(const LAW_DESC& law) {
  double n = std::rint(par(law, 0));
  if (!(n > 0)) return 0;
  std::size_t avail = (law.Parameters.size() - 1) / 2;
  return n < static_cast<double>(avail) ? static_cast<std::size_t>(n) : avail;
}

// Number of (q, m) pairs of an H law, counted the way the stored M is
// compared with the running index, bounded by the array.
std::size_t hyper_pairs(const LAW_DESC& law) {
  double m = par(law, 0);
  std::size_t pairs = 0;
  for (std::size_t j = 1; static_cast<double>(j) < m && j + 1 < law.Parameters.size(); j += 2)
    ++pairs;
  return pairs;
}
double hyper_q(const LAW_DESC& law, std::size_t j) { return par(law, 1 + 2 * j); }
double hyper_m(const LAW_DESC& law, std::size_t j) { return par(law, 2 + 2 * j); }
double disc_v(const LAW_DESC& law, std::size_t i) { return par(law, 1 + i); }
double disc_p(const LAW_DESC& law, std::size_t i, std::size_t n) { return par(law, 1 + n + i); }

// An IPP law is only usable with both sub-laws present.
bool ipp_ok(const LAW_DESC& law) {
  return law.Law_Parameters.size() >= 2 && law.Law_Parameters[0] && law.Law_Parameters[1];
}

LawPtr constant_law(double c) {
  LawPtr l = New_Law();
  l->Name = 'C';
  l->Parameters[0] = c;
  return l;
}

// Takes `count` values from the front of the list into slots in the given
// order; warns about extra or missing values like the reader expects.
template <class List>
void take_fixed(LAW_DESC& law, const List& list, const std::size_t* slots, std::size_t count) {
  law.Parameters.assign(count, 0.0);
  if (list.size() < count) {
    std::fprintf(stderr, "Warning: missing parameters for %c. Default 0.0.\n", law.Name);
    return;
  }
  for (std::size_t i = 0; i < count; ++i) law.Parameters[slots[i]] = list[i];
  if (list.size() > count)
    std::fprintf(stderr, "Warning: extra parameters for %c (ignored)\n", law.Name);
}

template <class List>
void parse_discrete(LAW_DESC& law, const List& values, const List& probs) {
  std::size_t n = values.size();
  law.Parameters.assign(2 * n + 1, 0.0);
  law.Parameters[0] = static_cast<double>(n);
  for (std::size_t i = 0; i < n; ++i) law.Parameters[1 + i] = values[i];
  std::size_t given = probs.size() < n ? probs.size() : n;
  for (std::size_t i = 0; i < given; ++i) law.Parameters[1 + n + i] = probs[i];
  if (probs.size() > n) std::fprintf(stdout, "Warning! Probability list too long (ignored)\n");
  if (probs.size() < n) std::fprintf(stdout, "Warning! Probability list too short. 0.0 assumed\n");
}

template <class List>
void parse_hyper(LAW_DESC& law, const List& list) {
  std::size_t m = list.size();
  std::size_t skip = 0;
  if (m % 2 == 1) {
    std::fprintf(stdout, "Warning: odd number of parameters for HEXP. Last ignored.\n");
    --m;
    skip = 1;
  }
  if (m == 0) {
    std::fprintf(stdout, "Error: not enough parameters for HEXP.\n");
    law.Parameters.assign(1, 0.0);
    return;
  }
  law.Parameters.assign(m + 1, 0.0);
  law.Parameters[0] = static_cast<double>(m);
  for (std::size_t i = 0; i < m; ++i) law.Parameters[m - i] = list[skip + i];
}

// Exactly two sub-laws: the last two written are kept, a missing one is a
// constant zero, so no operation ever indexes past the array.
void parse_ipp(LAW_DESC& law, const REAL_LIST& rate, LAW_LIST& subs) {
  if (rate.empty())
    std::fprintf(stderr, "Warning: missing parameters for %c. Default 0.0.\n", law.Name);
  else
    law.Parameters[0] = rate.front();
  if (subs.size() > 2) std::fprintf(stderr, "Warning: extra sub-laws for IPP (ignored)\n");
  if (subs.size() < 2) std::fprintf(stderr, "Warning: missing sub-laws for IPP. C 0.0 assumed.\n");
  for (std::size_t i = 0; i < 2; ++i) {
    LawPtr sub = i < subs.size() && subs[i] ? std::move(subs[i]) : constant_law(0.0);
    law.Law_Parameters.push_back(std::move(sub));
  }
}

// Values in written order seen in list order (the last written first), so
// the readers need not build a list for every law.
struct Written_View {
  const double* values;
  std::size_t n;
  std::size_t size() const { return n; }
  double operator[](std::size_t i) const { return values[n - 1 - i]; }
};

template <class List>
void parse_law_into(LAW_DESC& law, char id, const List& first, const List& second) {
  static const std::size_t one[] = {0};
  static const std::size_t two[] = {1, 0};
  static const std::size_t erlang[] = {0, 1};
  static const std::size_t three[] = {2, 1, 0};
  switch (id) {
    case 'B': case 'C': case 'E': case 'G': case 'g':
      take_fixed(law, first, one, 1);
      break;
    case 'L': case 'U': case 'W': case 'h': case 'p':
      take_fixed(law, first, two, 2);
      break;
    case 'R':
      take_fixed(law, first, erlang, 2);
      break;
    case 'O':
      take_fixed(law, first, three, 3);
      break;
    case 'D':
      parse_discrete(law, first, second);
      break;
    case 'H':
      parse_hyper(law, first);
      break;
    default:
      std::fprintf(stdout, "Warning! Law '%c' ID not recognized\n", id);
      break;
  }
}

double factorial(int n) {
  double f = 1.0;
  for (int i = 2; i <= n; ++i) f *= i;
  return f;
}

}  // namespace

LawPtr New_Law() { return std::make_unique<LAW_DESC>(); }

LawPtr Parse_Law(char id, REAL_LIST first, REAL_LIST second, LAW_LIST subs) {
  LawPtr law = New_Law();
  law->Name = id;
  if (id == 'P')
    parse_ipp(*law, first, subs);
  else
    parse_law_into(*law, id, first, second);
  return law;
}

LawPtr Parse_Law_Written(char id, const std::vector<double>& first,
                         const std::vector<double>& second) {
  if (id == 'P') {
    return Parse_Law(id, REAL_LIST(first.rbegin(), first.rend()),
                     REAL_LIST(second.rbegin(), second.rend()), {});
  }
  LawPtr law = New_Law();
  law->Name = id;
  parse_law_into(*law, id, Written_View{first.data(), first.size()},
                 Written_View{second.data(), second.size()});
  return law;
}

LawPtr Law_From_Tail(char id, std::vector<double>& reals, size_t first, size_t second,
                     std::vector<double>& a, std::vector<double>& b) {
  const size_t end = reals.size();
  const size_t split = second == No_Second_List ? end : second;
  const auto at = [&](size_t i) { return reals.begin() + static_cast<std::ptrdiff_t>(i); };
  a.assign(at(first), at(split));
  b.assign(at(split), at(end));
  reals.resize(first);
  return Parse_Law_Written(id, a, b);
}

namespace {

using Number_Writer = void (*)(FILE*, int, int, double);

void plain_real(FILE* out, int width, int decimals, double v) {
  std::fprintf(out, "%*.*f", width, decimals, v);
}

void write_law(FILE* out, const LAW_DESC& law, Number_Writer num) {
  // Every real of a law is written 8 wide with 4 decimals, then a blank.
  auto real = [&](double v) {
    num(out, 8, 4, v);
    std::fputc(' ', out);
  };
  switch (law.Name) {
    case 'B': case 'C': case 'E': case 'G': case 'g':
      std::fprintf(out, "%c ", law.Name);
      real(par(law, 0));
      return;
    case 'L': case 'N': case 'U': case 'W': case 'p':
      std::fprintf(out, "%c ", law.Name);
      real(par(law, 0));
      real(par(law, 1));
      return;
    case 'R':
      std::fprintf(out, "%c %4.0f ", law.Name, par(law, 0));
      real(par(law, 1));
      return;
    case 'O':
      std::fprintf(out, "%c ", law.Name);
      real(par(law, 0));
      real(par(law, 1));
      real(par(law, 2));
      return;
    case 'D': {
      std::size_t n = discrete_count(law);
      std::fprintf(out, "%c [ ", law.Name);
      for (std::size_t i = 0; i < n; ++i) real(disc_v(law, i));
      std::fprintf(out, "] [ ");
      for (std::size_t i = 0; i < n; ++i) real(disc_p(law, i, n));
      std::fprintf(out, "] ");
      return;
    }
    case 'H': {
      // A blank after every number: the text that follows a law (a token
      // count, a keyword) must not run into the last mean.
      std::fprintf(out, "%c ", law.Name);
      std::size_t pairs = hyper_pairs(law);
      for (std::size_t j = 0; j < pairs; ++j) {
        real(hyper_q(law, j));
        real(hyper_m(law, j));
      }
      // No branch left (a law read with too few parameters): "H" alone does
      // not read, one lone value reads back as this same empty law.
      if (pairs == 0) real(0.0);
      return;
    }
    case 'P':
      if (!ipp_ok(law)) break;
      // The reader keeps the last sub-law written first, so writing them in
      // reverse makes the text read back as the same law.
      std::fprintf(out, "IPP [ ");
      num(out, 0, 6, par(law, 0));
      std::fprintf(out, ", ");
      write_law(out, *law.Law_Parameters[1], num);
      std::fprintf(out, ", ");
      write_law(out, *law.Law_Parameters[0], num);
      std::fprintf(out, " ] ");
      return;
    default:
      break;
  }
  std::fprintf(stderr, "%s: error (Print): unexpected law id (%c)\n", kTag, law.Name);
}

}  // namespace

void Write_Law(FILE* out, const LAW_DESC& law) { write_law(out, law, plain_real); }

void Write_Law_Exact(FILE* out, const LAW_DESC& law) { write_law(out, law, Print_Exact_Real); }

double Mean(const LAW_DESC& law) {
  switch (law.Name) {
    case 'B': case 'C': case 'E': case 'L': case 'N': case 'O':
      return par(law, 0);
    case 'D': {
      std::size_t n = discrete_count(law);
      double s = 0.0;
      for (std::size_t i = 0; i < n; ++i) s += disc_v(law, i) * disc_p(law, i, n);
      return s;
    }
    case 'G':
      return 1.0 / (1.0 - par(law, 0));
    case 'g':
      return par(law, 0) / (1.0 - par(law, 0));
    case 'H': {
      double s = 0.0;
      std::size_t pairs = hyper_pairs(law);
      for (std::size_t j = 0; j < pairs; ++j) s += hyper_q(law, j) * hyper_m(law, j);
      return s;
    }
    case 'P':
      if (!ipp_ok(law)) break;
      {
        double a = Mean(*law.Law_Parameters[0]);
        double c = Mean(*law.Law_Parameters[1]);
        return par(law, 0) * a / (a + c);
      }
    case 'R':
      return par(law, 1);
    case 'U':
      return (par(law, 0) + par(law, 1)) / 2.0;
    case 'W': {
      double r = par(law, 0), k = par(law, 1);
      return (1.0 / k) * std::exp(std::lgamma(1.0 / k) - std::log(r) / k);
    }
    case 'l':
      return 2.0 * par(law, 0);
    case 'p': {
      double s = par(law, 0), alpha = par(law, 1);
      return alpha > 1.0 ? s / (alpha - 1.0) : HUGE_VAL;
    }
    default:
      break;
  }
  std::fprintf(stderr, "%s: warning: cannot compute mean of law `%c`.", kTag, law.Name);
  std::fprintf(stderr, " Zero assumed.\n");
  return 0.0;
}

double Moment(const LAW_DESC& law, int order) {
  if (order == 0) return 1.0;
  if (order == 1) return Mean(law);
  if (order >= 2) {
    double n = order;
    switch (law.Name) {
      case 'B':
        return par(law, 0);
      case 'C':
        return std::pow(par(law, 0), n);
      case 'D': {
        std::size_t cnt = discrete_count(law);
        double s = 0.0;
        for (std::size_t i = 0; i < cnt; ++i)
          s += std::pow(disc_v(law, i), n) * disc_p(law, i, cnt);
        return s;
      }
      case 'E':
        return factorial(order) * std::pow(par(law, 0), n);
      case 'G':
      case 'g':
        if (order == 2) {
          double p = par(law, 0);
          double num = law.Name == 'G' ? 1.0 + p : p * (1.0 + p);
          return num / ((1.0 - p) * (1.0 - p));
        }
        std::fprintf(stderr, "%s: warning: cannot compute moment of order > 1", kTag);
        std::fprintf(stderr, "for law `%c`. 0.0 assumed.\n", law.Name);
        return 0.0;
      case 'H': {
        double s = 0.0;
        std::size_t pairs = hyper_pairs(law);
        for (std::size_t j = 0; j < pairs; ++j)
          s += hyper_q(law, j) * std::pow(hyper_m(law, j), n);
        return factorial(order) * s;
      }
      case 'R': {
        double k = par(law, 0), m = par(law, 1);
        double prod = 1.0;
        for (int i = 1; i <= order - 1; ++i) prod *= (k + i) / k;
        return std::pow(m, n) * prod;
      }
      case 'U': {
        double a = par(law, 0), b = par(law, 1);
        // U(a, a) is the constant a; the general formula would be 0/0.
        if (a == b) return std::pow(a, n);
        return (std::pow(b, n + 1) - std::pow(a, n + 1)) / ((b - a) * (n + 1));
      }
      default:
        break;
    }
  }
  std::fprintf(stderr, "%s: warning: cannot compute %d-th moment of law `%c`.", kTag, order,
               law.Name);
  std::fprintf(stderr, " Zero assumed.\n");
  return 0.0;
}

namespace {

void laplace_warning(char id) {
  std::fprintf(stderr, "%s: warning: cannot compute Laplace transform ", kTag);
  std::fprintf(stderr, "of law `%c`. 1.0 assumed.\n", id);
}

}  // namespace

double Laplace(const LAW_DESC& law, double s) {
  switch (law.Name) {
    case 'B':
      return 1.0 - par(law, 0) * (1.0 - std::exp(-s));
    case 'C':
      return std::exp(-s * par(law, 0));
    case 'D': {
      std::size_t n = discrete_count(law);
      double r = 0.0;
      for (std::size_t i = 0; i < n; ++i) r += disc_p(law, i, n) * std::exp(-s * disc_v(law, i));
      return r;
    }
    case 'E':
      return 1.0 / (1.0 + s * par(law, 0));
    case 'G': {
      double p = par(law, 0), e = std::exp(-s);
      return (1.0 - p) * e / (1.0 - p * e);
    }
    case 'g': {
      double p = par(law, 0), e = std::exp(-s);
      return (1.0 - p) / (1.0 - p * e);
    }
    case 'H': {
      double r = 0.0;
      std::size_t pairs = hyper_pairs(law);
      for (std::size_t j = 0; j < pairs; ++j) r += hyper_q(law, j) / (1.0 + s * hyper_m(law, j));
      return r;
    }
    case 'R': {
      double k = par(law, 0), m = par(law, 1);
      return std::exp(k * std::log(k / (k + s * m)));
    }
    case 'U': {
      double a = par(law, 0), b = par(law, 1);
      if (s == 0.0) return 1.0;
      if (a == b) return std::exp(-s * a);
      return (std::exp(-s * a) - std::exp(-s * b)) / (s * (b - a));
    }
    default:
      break;
  }
  laplace_warning(law.Name);
  return 1.0;
}

double DLaplace(const LAW_DESC& law, double s) {
  switch (law.Name) {
    case 'B':
      return -par(law, 0) * std::exp(-s);
    case 'C': {
      double c = par(law, 0);
      return -c * std::exp(-s * c);
    }
    case 'D': {
      std::size_t n = discrete_count(law);
      double r = 0.0;
      for (std::size_t i = 0; i < n; ++i) {
        double v = disc_v(law, i);
        r += v * disc_p(law, i, n) * std::exp(-s * v);
      }
      return -r;
    }
    case 'E': {
      double m = par(law, 0), d = 1.0 + s * m;
      return -m / (d * d);
    }
    case 'G': {
      double p = par(law, 0), e = std::exp(-s), d = 1.0 - p * e;
      return -(1.0 - p) * e / (d * d);
    }
    case 'g': {
      double p = par(law, 0), e = std::exp(-s), d = 1.0 - p * e;
      return -p * (1.0 - p) * e / (d * d);
    }
    case 'H': {
      double r = 0.0;
      std::size_t pairs = hyper_pairs(law);
      for (std::size_t j = 0; j < pairs; ++j) {
        double m = hyper_m(law, j), d = 1.0 + s * m;
        r += hyper_q(law, j) * m / (d * d);
      }
      return -r;
    }
    case 'R': {
      double k = par(law, 0), m = par(law, 1);
      return -k * m * std::exp(k * std::log(k / (k + s * m))) / (k + s * m);
    }
    case 'U': {
      double a = par(law, 0), b = par(law, 1);
      if (s == 0.0) return -(a + b) / 2.0;
      if (a == b) return -a * std::exp(-s * a);
      double ea = std::exp(-s * a), eb = std::exp(-s * b);
      return ((b * eb - a * ea) * s - (ea - eb)) / (s * s * (b - a));
    }
    default:
      break;
  }
  laplace_warning(law.Name);
  return 1.0;
}

double CDF(const LAW_DESC& law, double x) {
  switch (law.Name) {
    case 'C':
      return x > par(law, 0) ? 0.0 : 1.0;
    case 'D': {
      std::size_t n = discrete_count(law);
      double r = 0.0;
      for (std::size_t i = 0; i < n; ++i)
        if (disc_v(law, i) > x) r += disc_p(law, i, n);
      return r;
    }
    case 'E': {
      double m = par(law, 0);
      if (x < 0) return 1.0;
      return m != 0.0 ? std::exp(-x / m) : 0.0;
    }
    case 'H': {
      if (x < 0) return 1.0;
      double r = 0.0;
      std::size_t pairs = hyper_pairs(law);
      for (std::size_t j = 0; j < pairs; ++j) {
        double m = hyper_m(law, j);
        if (m != 0.0) r += hyper_q(law, j) * std::exp(-x / m);
      }
      return r;
    }
    case 'L': {
      double mean = par(law, 0), sd = par(law, 1);
      if (x <= 0) return 1.0;
      // Without spread or with a non-positive mean the law degenerates to a
      // point, where the general formula gives NaN.
      if (mean <= 0.0) return 0.0;
      if (sd == 0.0) return x > mean ? 0.0 : 1.0;
      double s2 = std::log((sd / mean) * (sd / mean) + 1.0);
      double mu = std::log(mean) - s2 / 2.0;
      return std::erfc((std::log(x) - mu) / std::sqrt(2.0 * s2)) / 2.0;
    }
    case 'N': {
      double mean = par(law, 0), sd = par(law, 1);
      if (sd == 0.0) return x > mean ? 0.0 : 1.0;
      return std::erfc((x - mean) / sd * 0.7071067811865476) / 2.0;
    }
    case 'U': {
      double a = par(law, 0), b = par(law, 1);
      if (x <= a) return 1.0;
      if (x > b) return 0.0;
      return (b - x) / (b - a);
    }
    case 'W':
      if (x < 0) return 1.0;
      return std::exp(-par(law, 0) * std::pow(x, par(law, 1)));
    case 'p': {
      double s = par(law, 0), alpha = par(law, 1);
      if (x < 0) return 1.0;
      return std::pow(s / (x + s), alpha);
    }
    default:
      break;
  }
  std::fprintf(stderr, "%s: warning: cannot compute CDF ", kTag);
  std::fprintf(stderr, "of law `%c`. 0.0 assumed.\n", law.Name);
  return 0.0;
}

LawPtr Rescale_Law(const LAW_DESC& law, double factor) {
  std::size_t size = 0;
  switch (law.Name) {
    case 'B': case 'C': case 'E': case 'G': case 'g':
      size = 1;
      break;
    case 'D':
      size = 2 * discrete_count(law) + 1;
      break;
    case 'H':
      size = 2 * hyper_pairs(law) + 1;
      break;
    case 'L': case 'N': case 'R': case 'U': case 'W': case 'p': case 'P':
      size = 2;
      break;
    case 'O':
      size = 3;
      break;
    default:
      break;
  }
  if (size == 0 || (law.Name == 'P' && !ipp_ok(law))) {
    std::fprintf(stderr, "%s: error: unknown law `%c`. No rescaling.\n", kTag, law.Name);
    return nullptr;
  }
  LawPtr r = New_Law();
  r->Name = law.Name;
  r->Parameters.assign(size, 0.0);
  auto& q = r->Parameters;
  switch (law.Name) {
    case 'C': case 'E':
      q[0] = par(law, 0) * factor;
      break;
    case 'D': {
      std::size_t n = discrete_count(law);
      q[0] = static_cast<double>(n);
      for (std::size_t i = 0; i < n; ++i) {
        q[1 + i] = disc_v(law, i) * factor;
        q[1 + n + i] = disc_p(law, i, n);
      }
      break;
    }
    case 'G': case 'g':
      std::fprintf(stderr, "%s: warning: geometric distributions cannot", kTag);
      std::fprintf(stderr, "be rescaled. No change.\n");
      q[0] = par(law, 0);
      break;
    case 'H': {
      std::size_t pairs = hyper_pairs(law);
      q[0] = static_cast<double>(2 * pairs);
      for (std::size_t j = 0; j < pairs; ++j) {
        q[1 + 2 * j] = hyper_q(law, j);
        q[2 + 2 * j] = hyper_m(law, j) * factor;
      }
      break;
    }
    case 'O':
      for (std::size_t i = 0; i < 3; ++i) q[i] = par(law, i) * factor;
      break;
    case 'P': {
      q[0] = par(law, 0) * factor;
      for (std::size_t i = 0; i < 2; ++i) {
        LawPtr sub = Rescale_Law(*law.Law_Parameters[i], factor);
        // Half an IPP is no law: give up on the whole.
        if (!sub) return nullptr;
        r->Law_Parameters.push_back(std::move(sub));
      }
      break;
    }
    case 'R':
      q[0] = par(law, 0);
      q[1] = par(law, 1) * factor;
      break;
    case 'U':
      q[0] = par(law, 0) * factor;
      q[1] = par(law, 1) * factor;
      break;
    case 'W':
      // The tail of f*X is exp(-r f^-k x^k).
      q[0] = par(law, 0) * std::pow(factor, -par(law, 1));
      q[1] = par(law, 1);
      break;
    case 'p':
      q[0] = par(law, 0) * factor;
      q[1] = par(law, 1);
      break;
    default:  // B, L, N
      std::fprintf(stderr, "%s: error: don't know how to rescale law `%c`.\n", kTag, law.Name);
      return nullptr;
  }
  return r;
}

LawPtr Copy_Law(const LAW_DESC& law) {
  switch (law.Name) {
    case 'B': case 'L': case 'N': {
      LawPtr c = New_Law();
      c->Name = law.Name;
      c->Parameters = law.Parameters;
      return c;
    }
    case 'P': {
      if (!ipp_ok(law)) break;
      // Sub-laws go through Copy_Law so that B, L and N parts survive.
      LawPtr c = New_Law();
      c->Name = 'P';
      c->Parameters.assign(2, 0.0);
      c->Parameters[0] = par(law, 0);
      for (std::size_t i = 0; i < 2; ++i) {
        LawPtr sub = Copy_Law(*law.Law_Parameters[i]);
        if (!sub) return nullptr;
        c->Law_Parameters.push_back(std::move(sub));
      }
      return c;
    }
    case 'C': case 'D': case 'E': case 'G': case 'H': case 'O':
    case 'R': case 'U': case 'W': case 'g': case 'p':
      return Rescale_Law(law, 1.0);
    default:
      break;
  }
  std::fprintf(stderr, "%s: error: unknown law `%c`. No copy.\n", kTag, law.Name);
  return nullptr;
}

void Append_Law(LAW_LIST& list, LawPtr law) { list.push_front(std::move(law)); }

}  // namespace orv

namespace orv {

namespace {

bool finite_all(const LAW_DESC& law) {
  for (double x : law.Parameters)
    if (!std::isfinite(x)) return false;
  return true;
}

bool probability(double p) { return p >= 0.0 && p <= 1.0; }

}  // namespace

std::string Law_Parameter_Error(const LAW_DESC& law) {
  if (!finite_all(law)) return "a parameter is not a finite number";
  const auto& P = law.Parameters;
  auto at = [&P](size_t i) { return i < P.size() ? P[i] : 0.0; };
  switch (law.Name) {
    case 'B':
      if (!probability(at(0))) return "the probability must lie in [0, 1]";
      break;
    case 'C':
    case 'E':
      if (at(0) < 0.0) return "a time must not be negative";
      break;
    case 'G':
    case 'g':
      if (!(at(0) >= 0.0 && at(0) < 1.0)) return "the geometric parameter must lie in [0, 1)";
      break;
    case 'R':
      if (!(at(0) >= 1.0 && at(0) <= Max_Erlang_Stages && at(0) == std::floor(at(0))))
        return "the stage count must be a whole number from 1 to 2147483647";
      if (at(1) < 0.0) return "a time must not be negative";
      break;
    case 'U':
      if (at(0) < 0.0 || at(1) < at(0)) return "the bounds must satisfy 0 <= a <= b";
      break;
    case 'p':
      if (!(at(0) > 0.0 && at(1) > 0.0)) return "the scale and the shape must be positive";
      break;
    case 'L':
      if (!(at(0) > 0.0 && at(1) >= 0.0))
        return "the mean must be positive and the deviation not negative";
      break;
    case 'H':
      for (size_t i = 1; i + 1 < P.size(); i += 2) {
        if (!probability(P[i])) return "a branch probability must lie in [0, 1]";
        if (P[i + 1] < 0.0) return "a time must not be negative";
      }
      break;
    case 'D': {
      const size_t n = P.empty() || P[0] < 0 ? 0 : static_cast<size_t>(std::nearbyint(P[0]));
      for (size_t i = n + 1; i <= 2 * n && i < P.size(); ++i)
        if (!probability(P[i])) return "a probability must lie in [0, 1]";
      for (size_t i = 1; i <= n && i < P.size(); ++i)
        if (P[i] < 0.0) return "a time must not be negative";
      break;
    }
    default:
      break;
  }
  return {};
}

}  // namespace orv
