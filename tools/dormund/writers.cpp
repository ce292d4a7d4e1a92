#include "writers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "eventgraph/mp_tables.h"

namespace dormund {

using orv::EventGraph;
using orv::PLACE_DESC;
using orv::TRANS_DESC;

namespace {

size_t idx(int i) { return static_cast<size_t>(i); }

bool is_eps(double x) { return x <= orv::eg::EG_EPSILON; }

// Integers are truncated toward zero; a value within 1e-6 of the next integer
// counts as that integer, so sums such as 2.9999999 do not lose a unit. The
// result stays a double printed with no decimals: dates beyond any integer
// type keep their value instead of wrapping round.
double as_integer(double x) {
  return std::trunc(x + std::copysign(1e-6, x)) + 0.0;
}

void Write_Epsilon(const Out_Format& f) {
  switch (f.Lang) {
    case MORLEN: std::fputs("    oo     ", stdout); break;
    case SORVIC: std::fputs("    %0     ", stdout); break;
    default: std::fputs("    eps    ", stdout); break;
  }
}

void write_value(double x, const Out_Format& f) {
  if (f.Integer) std::printf("%10.0f ", as_integer(x));
  else std::printf("%10.4f ", x);
}

void write_entry(double x, const Out_Format& f) {
  if (is_eps(x)) Write_Epsilon(f);
  else write_value(x, f);
}

// Sorvic lists are wrapped by a running width; only an item, not a
// separator, can end a line. A pair's 8 columns include its ";".
class Wrapper {
 public:
  void separator() { width_ += 1; }
  void item(int w) {
    width_ += w;
    if (width_ > 72) {
      std::fputs("\n\t", stdout);
      width_ = 8;
    }
  }
  void reset() { width_ = 8; }

 private:
  int width_ = 8;
};

// One entry of a sequence matrix: the places from j to k holding m tokens.
struct Seq_Entry {
  int k;
  double value;
};

// The entries of row j of the m-token matrix, in column order, restricted
// to the columns keep accepts. Each matching place takes one holding-time
// draw, by column and then in Outputs order.
template <class Keep>
std::vector<Seq_Entry> row_entries(const EventGraph& g, int j, int m,
                                   const std::vector<double>& Phi, Keep keep) {
  std::vector<std::pair<int, const PLACE_DESC*>> places;
  const TRANS_DESC* t = g.T[idx(j)].get();
  if (t != nullptr)
    for (const PLACE_DESC* p : t->Outputs) {
      const int k = p->Trans_Id - 1;
      if (p->Init_Pop == m && k >= 0 && k < g.Size && keep(k)) places.emplace_back(k, p);
    }
  std::stable_sort(places.begin(), places.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<Seq_Entry> out;
  for (const auto& [k, p] : places) {
    const double d = orv::eg::Draw_One(p->Place_Law.get());
    if (!out.empty() && out.back().k == k) out.back().value = std::max(out.back().value, d);
    else out.push_back(Seq_Entry{k, d});
  }
  for (Seq_Entry& e : out) e.value += Phi[idx(e.k)];
  return out;
}

std::vector<double> draw_phi(const EventGraph& g) {
  std::vector<double> Phi(idx(g.Size), 0.0);
  for (int t = 0; t < g.Size; ++t)
    if (const TRANS_DESC* tr = g.T[idx(t)].get())
      Phi[idx(t)] = orv::eg::Draw_One(tr->Trans_Law.get());
  return Phi;
}

}  // namespace

int Is_Integral(const std::vector<double>& A, std::size_t Size) {
  for (std::size_t i = 0; i < Size && i < A.size(); ++i)
    if (std::fabs(A[i] - std::round(A[i])) >= 1e-6) return 0;
  return 1;
}

void Write_Matrix_As_Full(const std::vector<double>& A, int n, const Out_Format& f) {
  switch (f.Lang) {
    case MORLEN: std::printf("%s=\n", f.Prefix.c_str()); break;
    case SORVIC: std::printf("%s=#([\n\t", f.Prefix.c_str()); break;
    default: std::printf("%d\n", n); break;
  }
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) write_entry(A[idx(i) * idx(n) + idx(j)], f);
    if (f.Lang == SORVIC) std::fputs(i + 1 < n ? ";\n\t" : "])\n", stdout);
    else std::fputs("\n", stdout);
  }
  if (f.Lang == SORVIC && n == 0) std::fputs("])\n", stdout);
}

void Write_Matrix_As_Sparse(const std::vector<double>& A, int n, const Out_Format& f) {
  const size_t un = idx(n);
  if (f.Lang != SORVIC) {
    if (f.Lang == MORLEN) std::printf("%s=\n", f.Prefix.c_str());
    else std::printf("%d\n", n);
    std::fputs("sp\n", stdout);
    for (size_t i = 0; i < un; ++i)
      for (size_t j = 0; j < un; ++j) {
        const double x = A[i * un + j];
        if (is_eps(x)) continue;
        std::printf("%4d %4d ", static_cast<int>(i), static_cast<int>(j));
        if (f.Integer) std::printf("%10.0f\n", as_integer(x));
        else std::printf("%10.4f\n", x);
      }
    std::fputs("end\n", stdout);
    return;
  }
  std::printf("%s=#([\n\t", f.Prefix.c_str());
  Wrapper wrap;
  bool first = true;
  for (size_t i = 0; i < un; ++i)
    for (size_t j = 0; j < un; ++j) {
      if (is_eps(A[i * un + j])) continue;
      if (!first) std::fputc(';', stdout);
      first = false;
      std::printf("%3d,%3d", static_cast<int>(i), static_cast<int>(j));
      wrap.item(8);
    }
  std::fputs("],\n       [", stdout);
  wrap.reset();
  first = true;
  for (size_t i = 0; i < un * un; ++i) {
    const double x = A[i];
    if (is_eps(x)) continue;
    if (!first) {
      std::fputc(',', stdout);
      wrap.separator();
    }
    first = false;
    if (f.Integer) {
      std::printf("%3.0f", as_integer(x));
      wrap.item(3);
    } else {
      std::printf("%10.4f", x);
      wrap.item(10);
    }
  }
  std::fputs("])\n", stdout);
}

void Write_Vector(const std::vector<double>& Y, int n, const Out_Format& f) {
  if (f.Lang == MORLEN) std::fputs("Y(0)=\n", stdout);
  else if (f.Lang == SORVIC) std::printf("Y0_%s=#([", f.Prefix.c_str());
  for (int i = 0; i < n; ++i) write_entry(Y[idx(i)], f);
  if (f.Lang == SORVIC) std::fputs("])", stdout);
  std::fputs("\n", stdout);
}

void Write_Matrix_Sequence_As_Full(const EventGraph& g, const Out_Format& f) {
  const std::vector<double> Phi = draw_phi(g);
  const int n = g.Size;
  const int M = g.Max_Pop_Init;
  std::printf("%d\n", n);
  for (int m = 0; m <= M; ++m) std::fputs(" 1", stdout);
  std::fputs("\n", stdout);
  std::vector<double> row(idx(n));
  for (int m = 0; m <= M; ++m) {
    if (f.Lang == MORLEN) std::printf("%s%1d=\n", f.Prefix.c_str(), m);
    else std::fputs("\n", stdout);
    for (int j = 0; j < n; ++j) {
      std::fill(row.begin(), row.end(), orv::eg::EG_EPSILON);
      for (const Seq_Entry& e : row_entries(g, j, m, Phi, [](int) { return true; }))
        row[idx(e.k)] = e.value;
      for (double x : row) write_entry(x, f);
      std::fputs("\n", stdout);
    }
  }
}

void Write_Matrix_Sequence_As_Sparse(const EventGraph& g, const Out_Format& f) {
  const std::vector<double> Phi = draw_phi(g);
  const int n = g.Size;
  const int M = g.Max_Pop_Init;
  std::printf("%d\n", n);
  std::printf("%d\n", M + 1);
  for (int m = 0; m <= M; ++m) std::fputs(" 1", stdout);
  std::fputs("\n", stdout);
  for (int m = 0; m <= M; ++m) {
    if (f.Lang == MORLEN) std::printf("%s%1d=\n", f.Prefix.c_str(), m);
    std::fputs("sp\n", stdout);
    for (int j = 0; j < n; ++j)
      for (const Seq_Entry& e : row_entries(g, j, m, Phi, [](int) { return true; })) {
        if (f.Integer) std::printf("%4d %4d %10.0f\n", j, e.k, as_integer(e.value));
        else std::printf("%4d %4d %10.4f\n", j, e.k, e.value);
      }
    std::fputs("end\n", stdout);
  }
}

namespace {

enum Class { INPUT = 0, OUTPUT = 1, INTERNAL = 2 };

struct Sorvic_Classes {
  std::vector<int> cls;                    // per transition
  std::vector<int> number;                 // within its class, from 0
  std::vector<std::vector<int>> members;   // per class, index order
};

Sorvic_Classes classify(const EventGraph& g) {
  Sorvic_Classes c;
  c.cls.assign(idx(g.Size), OUTPUT);
  c.number.assign(idx(g.Size), 0);
  c.members.assign(3, {});
  for (int t = 0; t < g.Size; ++t) {
    const TRANS_DESC* tr = g.T[idx(t)].get();
    int k = OUTPUT;
    if (tr != nullptr && tr->Indegree == 0) k = INPUT;
    else if (tr != nullptr && tr->Outdegree > 0) k = INTERNAL;
    c.cls[idx(t)] = k;
    c.number[idx(t)] = static_cast<int>(c.members[idx(k)].size());
    c.members[idx(k)].push_back(t);
  }
  return c;
}

struct Family {
  char letter;
  int rows;  // class of the row transitions
  int cols;  // class of the column transitions
};

constexpr Family FAMILIES[] = {
    {'A', INTERNAL, INTERNAL}, {'B', INPUT, INTERNAL}, {'C', INTERNAL, OUTPUT}, {'D', INPUT, OUTPUT}};

int Count_Maximal_Marking(const EventGraph& g, const Sorvic_Classes& c, const Family& fam) {
  int best = -1;
  for (const auto& p : g.P) {
    const int u = p->Input_Id - 1;
    const int d = p->Trans_Id - 1;
    if (u < 0 || u >= g.Size || d < 0 || d >= g.Size) continue;
    if (c.cls[idx(u)] == fam.rows && c.cls[idx(d)] == fam.cols) best = std::max(best, p->Init_Pop);
  }
  return best;
}

std::string matrix_name(const Out_Format& f, char letter, int m) {
  std::string name = f.Prefix.empty() ? std::string() : f.Prefix + "_";
  name += letter;
  name += std::to_string(m);
  return name;
}

void Write_Sorvic_Element(int i, int j, double x, const Out_Format& f) {
  if (is_eps(x)) {
    if (!f.Sparse) std::fputs("    %0     ", stdout);
    return;
  }
  if (f.Sparse) std::printf("%4d,%4d,", i, j);
  write_value(x, f);
}

// How a matrix came out, for the system text that refers to it.
enum Written { NOT_WRITTEN, ZEROS, DATA };

Written Gen_Sorvic_Matrix(const EventGraph& g, const Sorvic_Classes& c, const Family& fam, int m,
                          const std::vector<double>& Phi, const Out_Format& f) {
  const std::vector<int>& rows = c.members[idx(fam.rows)];
  const int r = static_cast<int>(rows.size());
  const int cols = static_cast<int>(c.members[idx(fam.cols)].size());
  auto keep = [&](int k) { return c.cls[idx(k)] == fam.cols; };
  std::printf("%s=", matrix_name(f, fam.letter, m).c_str());
  size_t count = 0;
  for (int j : rows) count += row_entries(g, j, m, Phi, keep).size();
  if (count == 0) {
    std::printf("%%zeros(%d,%d)\n", r, cols);
    return ZEROS;
  }
  std::fputs("([\n\t", stdout);
  bool first = true;
  std::vector<double> line(idx(cols));
  for (int ri = 0; ri < r; ++ri) {
    const int j = rows[idx(ri)];
    const std::vector<Seq_Entry> entries = row_entries(g, j, m, Phi, keep);
    if (f.Sparse) {
      for (const Seq_Entry& e : entries) {
        if (!first) std::fputs(";\n\t", stdout);
        first = false;
        Write_Sorvic_Element(ri, c.number[idx(e.k)], e.value, f);
      }
      continue;
    }
    std::fill(line.begin(), line.end(), orv::eg::EG_EPSILON);
    for (const Seq_Entry& e : entries) line[idx(c.number[idx(e.k)])] = e.value;
    for (int ci = 0; ci < cols; ++ci) Write_Sorvic_Element(ri, ci, line[idx(ci)], f);
    if (ri != r - 1) std::fputs(";\n\t", stdout);
  }
  std::fputs("])\n", stdout);
  return DATA;
}

}  // namespace

void Write_Sorvic_Sequence(const EventGraph& g, const Out_Format& f, const char* prog) {
  const std::vector<double> Phi = draw_phi(g);
  const Sorvic_Classes c = classify(g);
  std::printf("// Sorvic matrices written by %s\n", "dormund");
  std::printf("// %d inputs, %d outputs, %d internal transitions\n//\n",
              static_cast<int>(c.members[INPUT].size()), static_cast<int>(c.members[OUTPUT].size()),
              static_cast<int>(c.members[INTERNAL].size()));
  if (g.Max_Pop_Init > 1)
    std::fprintf(stderr,
                 "%s: warning: the network is not flat. The (max,+) system may be incomplete.\n",
                 prog);
  // written[family][m]
  std::vector<std::vector<Written>> written;
  for (const Family& fam : FAMILIES) {
    const int top = Count_Maximal_Marking(g, c, fam);
    std::vector<Written> w;
    for (int m = 0; m <= top; ++m) w.push_back(Gen_Sorvic_Matrix(g, c, fam, m, Phi, f));
    written.push_back(std::move(w));
  }

  // The system names only matrices that exist; a missing one stands as the
  // zero matrix of its size, and only sparse triples go through sparse().
  auto ref = [&](int family, int m) {
    const Family& fam = FAMILIES[family];
    const auto& w = written[idx(family)];
    const Written state = idx(m) < w.size() ? w[idx(m)] : NOT_WRITTEN;
    if (state == NOT_WRITTEN)
      return "%zeros(" + std::to_string(c.members[idx(fam.rows)].size()) + "," +
             std::to_string(c.members[idx(fam.cols)].size()) + ")";
    const std::string name = matrix_name(f, fam.letter, m);
    if (state == ZEROS || !f.Sparse) return name;
    return "sparse(" + name + "(:,[1,2])," + name + "(:,3))";
  };
  std::printf("\n");
  std::printf("s=mpsyslin(\n");
  std::printf("\t%s,\n", ref(0, 0).c_str());
  std::printf("\t%s,\n", ref(1, 0).c_str());
  std::printf("\t%s,\n", ref(2, 0).c_str());
  std::printf("\t%s)\n", ref(0, 1).c_str());
}

}  // namespace dormund
