#include "eventgraph/mp_tables.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <new>
#include <utility>

#include "common/random_variates.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"
#include "common/physical_memory.h"

namespace orv::eg {

namespace {

size_t idx(int i) { return static_cast<size_t>(i); }

// Column blocks of the slice computation: wide enough for the inner loops to
// vectorise, small enough for the two work blocks to stay in cache.
constexpr int BLOCK = 64;

// A table request beyond physical memory would only be met lazily by the
// system and end in the process being killed; refuse it instead.
bool fits_in_memory(double doubles) {
  return doubles * static_cast<double>(sizeof(double)) < orv::Physical_Memory();
}

bool is_constant_law(const LawPtr& law) { return is_constant(law.get()) != 0; }

void draw_table(std::vector<double>& table, int H, const LawPtr& law) {
  if (!law) {
    std::fill(table.begin(), table.end(), 0.0);
    return;
  }
  const int n = std::min(H, static_cast<int>(table.size()));
  draw_iid_table_with_discrete(table.data(), n, *law);
}

}  // namespace

int is_constant(const LAW_DESC* law) { return law != nullptr && law->Name == 'C' ? 1 : 0; }

int is_recycled(int t, const EventGraph& Reseau) {
  if (t < 0 || idx(t) >= Reseau.T.size() || !Reseau.T[idx(t)]) return 0;
  for (const PLACE_DESC* p : Reseau.T[idx(t)]->Outputs)
    if (p->Trans_Id == t + 1) return 1;
  return 0;
}

int is_fifo(const EventGraph& Reseau) {
  for (int t = 0; t < Reseau.Size && idx(t) < Reseau.T.size(); ++t) {
    const TRANS_DESC* tr = Reseau.T[idx(t)].get();
    if (tr == nullptr) continue;
    if (!is_recycled(t, Reseau) && !is_constant(tr->Trans_Law.get())) return 0;
    for (const PLACE_DESC* q : tr->Inputs)
      if (!is_constant(q->Place_Law.get())) return 0;
  }
  return 1;
}

double Draw_One(const LAW_DESC* law) {
  if (law == nullptr) return 0.0;
  const double x = Sample(*law);
  return law->Name == 'G' ? 1.0 + x : x;
}

void Fill_Tables(const EventGraph& Reseau, Draw_Tables& Tables, int H) {
  H = std::min(std::max(H, 0), Tables.Length);
  for (int t = 0; t < Reseau.Size && idx(t) < Reseau.T.size(); ++t) {
    const TRANS_DESC* tr = Reseau.T[idx(t)].get();
    if (tr == nullptr || idx(t) >= Tables.Fire_Times.size()) continue;
    if (!Tables.T_Dont_Do_It[idx(t)]) draw_table(Tables.Fire_Times[idx(t)], H, tr->Trans_Law);
    for (const PLACE_DESC* p : tr->Outputs) {
      const size_t q = idx(p->Place_Id);
      if (q >= Tables.Hold_Times.size() || Tables.P_Dont_Do_It[q]) continue;
      draw_table(Tables.Hold_Times[q], H, p->Place_Law);
    }
  }
}

int MP_Tables::Get_Event_Graph(const std::string& File_Name) {
  EventGraphPtr g = Read_Network(File_Name);
  if (!g) return EG_UNREADABLE;
  return Set_Event_Graph(std::move(g));
}

int MP_Tables::Set_Event_Graph(EventGraphPtr graph) {
  graph_ = std::move(graph);
  tables_ = Draw_Tables{};
  has_tables_ = false;
  order_.clear();
  inputs_.clear();
  if (!graph_) return EG_UNREADABLE;
  return check();
}

int MP_Tables::check() {
  EventGraph& g = *graph_;
  const int live = topological_analysis(g);
  prepare();
  if (!live) return EG_NOT_LIVE;
  if (!is_fifo(g)) return EG_NOT_FIFO;
  if (g.Max_Pop_Init >= 2) return EG_NOT_FLAT;
  return g.Size;
}

// The evaluation order and each transition's inputs, flattened once so that
// the step loops touch no lists.
void MP_Tables::prepare() {
  const EventGraph& g = *graph_;
  const int n = g.Size;
  order_.clear();
  for (int l = 0; l < g.Nb_Layers && idx(l) < g.Level.size(); ++l)
    for (int t : g.Level[idx(l)].Node_Id)
      if (t >= 0 && t < n) order_.push_back(t);
  inputs_.assign(idx(std::max(n, 0)), {});
  for (int t = 0; t < n && idx(t) < g.T.size(); ++t) {
    const TRANS_DESC* tr = g.T[idx(t)].get();
    if (tr == nullptr) continue;
    for (const PLACE_DESC* q : tr->Inputs) {
      const int u = q->Input_Id - 1;
      if (u < 0 || u >= n) continue;
      inputs_[idx(t)].push_back(Input{u, q->Place_Id, q->Init_Pop > 0});
    }
  }
}

int MP_Tables::Init_Times(int H) {
  if (!graph_) return 0;
  const EventGraph& g = *graph_;
  H = std::max(H, 0);
  Draw_Tables t;
  try {
    const size_t n = idx(g.Size);
    const size_t np = g.P.size();
    t.T_Dont_Do_It.assign(n, 0);
    t.P_Dont_Do_It.assign(np, 0);
    double wanted = 0;
    for (size_t i = 0; i < n; ++i) {
      t.T_Dont_Do_It[i] = g.T[i] && is_constant_law(g.T[i]->Trans_Law);
      if (!t.T_Dont_Do_It[i]) wanted += H;
    }
    for (size_t q = 0; q < np; ++q) {
      t.P_Dont_Do_It[q] = is_constant_law(g.P[q]->Place_Law);
      if (!t.P_Dont_Do_It[q]) wanted += H;
    }
    if (!fits_in_memory(wanted)) return 0;
    t.Fire_Times.resize(n);
    t.Hold_Times.resize(np);
    for (size_t i = 0; i < n; ++i) {
      t.Fire_Times[i].assign(t.T_Dont_Do_It[i] ? 1 : idx(H), 0.0);
      if (t.T_Dont_Do_It[i]) draw_table(t.Fire_Times[i], 1, g.T[i]->Trans_Law);
    }
    for (size_t q = 0; q < np; ++q) {
      t.Hold_Times[q].assign(t.P_Dont_Do_It[q] ? 1 : idx(H), 0.0);
      if (t.P_Dont_Do_It[q]) draw_table(t.Hold_Times[q], 1, g.P[q]->Place_Law);
    }
  } catch (const std::bad_alloc&) {
    return 0;
  } catch (const std::length_error&) {
    return 0;
  }
  t.Length = H;
  tables_ = std::move(t);
  has_tables_ = true;
  return 1;
}

int MP_Tables::Re_Init_Times(int H) {
  if (!has_tables_) return 0;
  return Init_Times(H);
}

bool MP_Tables::ensure_tables(int H) {
  if (has_tables_ && tables_.Length >= H) return true;
  return Init_Times(std::max(H, has_tables_ ? tables_.Length : 0)) != 0;
}

template <class Start, class Done>
void MP_Tables::run_steps(int width, int H, Start start, Done done) {
  const int n = graph_->Size;
  const size_t w = idx(width);
  Lg_0.assign(idx(n) * w, EG_EPSILON);
  Lg_1.assign(idx(n) * w, EG_EPSILON);
  for (int u = 0; u < n; ++u)
    for (size_t c = 0; c < w; ++c) Lg_0[idx(u) * w + c] = start(u, c);
  std::vector<double> b(w);
  for (int h = 0; h < H; ++h) {
    for (int t : order_) {
      std::fill(b.begin(), b.end(), EG_EPSILON);
      for (const Input& in : inputs_[idx(t)]) {
        const double hold = tables_.hold(in.q, h);
        const double* v = (in.marked ? Lg_0 : Lg_1).data() + idx(in.u) * w;
        for (size_t c = 0; c < w; ++c) {
          const double cand = v[c] > EG_EPSILON ? hold + v[c] : EG_EPSILON;
          b[c] = b[c] > cand ? b[c] : cand;
        }
      }
      const double fire = tables_.fire(t, h);
      double* out = Lg_1.data() + idx(t) * w;
      for (size_t c = 0; c < w; ++c) out[c] = b[c] > EG_EPSILON ? b[c] + fire : EG_EPSILON;
    }
    std::swap(Lg_0, Lg_1);
  }
  for (int i = 0; i < n; ++i)
    for (size_t c = 0; c < w; ++c) done(i, c, Lg_0[idx(i) * w + c]);
}

void MP_Tables::Fill_Matrix(std::vector<double>& A) {
  const int n = graph_ ? graph_->Size : 0;
  const size_t un = idx(n);
  A.assign(un * un, EG_EPSILON);
  std::vector<double> w(un);
  std::vector<double> d;
  for (int t : order_) {
    const TRANS_DESC* tr = graph_->T[idx(t)].get();
    const double s = Draw_One(tr->Trans_Law.get());
    // One holding time per place and step, shared by every column.
    const std::vector<Input>& ins = inputs_[idx(t)];
    d.resize(ins.size());
    for (size_t i = 0; i < ins.size(); ++i)
      d[i] = Draw_One(graph_->P[idx(ins[i].q)]->Place_Law.get());
    std::fill(w.begin(), w.end(), EG_EPSILON);
    for (size_t i = 0; i < ins.size(); ++i) {
      const Input& in = ins[i];
      if (in.marked) {
        w[idx(in.u)] = std::max(w[idx(in.u)], d[i]);
        continue;
      }
      const double* up = A.data() + idx(in.u) * un;
      for (size_t k = 0; k < un; ++k)
        if (up[k] > EG_EPSILON) w[k] = std::max(w[k], d[i] + up[k]);
    }
    double* row = A.data() + idx(t) * un;
    for (size_t k = 0; k < un; ++k) row[k] = w[k] > EG_EPSILON ? w[k] + s : EG_EPSILON;
  }
}

int MP_Tables::Fill_Slice(std::vector<double>& A, int H) {
  if (!graph_) return 0;
  H = std::max(H, 0);
  if (!ensure_tables(H)) return 0;
  const int n = graph_->Size;
  const size_t un = idx(n);
  try {
    A.assign(un * un, EG_EPSILON);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  Fill_Tables(*graph_, tables_, H);
  for (int l0 = 0; l0 < n; l0 += BLOCK) {
    const int width = std::min(BLOCK, n - l0);
    run_steps(
        width, H,
        [l0](int u, size_t c) { return u == l0 + static_cast<int>(c) ? 0.0 : EG_EPSILON; },
        [&A, un, l0](int i, size_t c, double v) { A[idx(i) * un + idx(l0) + c] = v; });
  }
  return 1;
}

int MP_Tables::Fill_Vector(std::vector<double>& V, int H) {
  if (!graph_) return 0;
  H = std::max(H, 0);
  if (!ensure_tables(H)) return 0;
  const size_t un = idx(graph_->Size);
  if (V.size() < un) V.resize(un, EG_EPSILON);
  Fill_Tables(*graph_, tables_, H);
  run_steps(
      1, H, [&V](int u, size_t) { return V[idx(u)]; },
      [&V](int i, size_t, double v) { V[idx(i)] = v; });
  return 1;
}

int MP_Tables::Fill_Vector_Backwards(std::vector<double>& V, int H) { return Fill_Vector(V, H); }

// A transition fed by a token-free place fires first once its upstream has:
// its date follows from theirs, so every transition gets its first firing.
void MP_Tables::Fill_Initial_Vector(std::vector<double>& Y) { Fill_Initial_Vector_Flat(Y, -1); }

void MP_Tables::Fill_Initial_Vector_Flat(std::vector<double>& Y, int Dirac) {
  const int n = graph_ ? graph_->Size : 0;
  Y.assign(idx(n), EG_EPSILON);
  if (!graph_) return;
  const bool impulse = Dirac >= 0 && Dirac < n;
  for (int t : order_) {
    const TRANS_DESC* tr = graph_->T[idx(t)].get();
    double w = impulse && t == Dirac ? 0.0 : EG_EPSILON;
    for (const PLACE_DESC* q : tr->Inputs) {
      const int u = q->Input_Id - 1;
      if (q->Init_Pop > 0) {
        if (!impulse && !q->Lag_Times.empty())
          w = std::max(w, q->Lag_Times[0] + Draw_One(q->Place_Law.get()));
        continue;
      }
      // A token-free place holds the token it passes on, as in every step.
      const double hold = Draw_One(q->Place_Law.get());
      if (u >= 0 && u < n && Y[idx(u)] != EG_EPSILON) w = std::max(w, Y[idx(u)] + hold);
    }
    Y[idx(t)] = w == EG_EPSILON ? EG_EPSILON : w + Draw_One(tr->Trans_Law.get());
  }
}

int Get_Simulation_Length() {
  std::fprintf(stderr, "MatrixModule: Error: call to Get_Simulation_Length() obsolete.\n");
  std::fprintf(stderr, "Please update your code. Default value 1000 returned.\n");
  return 1000;
}

}  // namespace orv::eg
