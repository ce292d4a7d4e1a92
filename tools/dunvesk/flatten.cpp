// Flattening: every place holding p >= 2 tokens becomes a chain of p
// one-token places through new zero-time transitions. Upstream mode shares
// one chain per downstream transition, downstream mode one per upstream
// transition, split mode gives each place its own.
#include <algorithm>
#include <climits>
#include <new>

#include "common/law.h"
#include "dunvesk.h"

namespace dunvesk {

namespace {

size_t ix(int i) { return static_cast<size_t>(i); }

// Lag number n (1-based) of a place; a place re-marked without lags for
// its new tokens counts them as 0.0.
double lag(const PLACE_DESC& p, int n) {
  return n >= 1 && ix(n - 1) < p.Lag_Times.size() ? p.Lag_Times[ix(n - 1)] : 0.0;
}

int tokens(const PLACE_DESC& p) { return std::max(p.Init_Pop, 0); }

// The input places of every transition, found from the places themselves so
// the old graph need not have been analysed.
std::vector<std::vector<const PLACE_DESC*>> inputs_of(const EventGraph& g) {
  std::vector<std::vector<const PLACE_DESC*>> in(ix(std::max(g.Size, 0)));
  for (const auto& p : g.P)
    if (p && p->Trans_Id >= 1 && p->Trans_Id <= g.Size) in[ix(p->Trans_Id - 1)].push_back(p.get());
  return in;
}

// For one transition, entry n holds the largest lag number n-1 among its
// input places of at least n tokens (-1e20 when none has that many), so the
// whole table costs the tokens once instead of once per chain place.
std::vector<double> max_lags_of_inputs(const std::vector<const PLACE_DESC*>& inputs, int mu) {
  std::vector<double> best(ix(mu) + 1, -1e20);
  for (const PLACE_DESC* q : inputs) {
    const int p = std::min(tokens(*q), mu);
    for (int n = 2; n <= p; ++n) best[ix(n)] = std::max(best[ix(n)], lag(*q, n - 1));
  }
  return best;
}

orv::LawPtr zero_constant() {
  orv::LawPtr law = orv::New_Law();
  law->Name = 'C';
  return law;
}

EventGraphPtr Copy_Invariant_Part(const EventGraph& O, int The_Size) {
  auto g = std::make_unique<EventGraph>();
  g->Size = The_Size;
  g->T.resize(ix(The_Size));
  for (int k = 0; k < The_Size; ++k) {
    auto t = std::make_unique<TRANS_DESC>();
    t->Trans_Id = k + 1;
    const TRANS_DESC* old = k < O.Size ? O.T[ix(k)].get() : nullptr;
    if (old != nullptr) {
      if (old->Trans_Law) t->Trans_Law = orv::Copy_Law(*old->Trans_Law);
      t->Name = old->Name;
      t->Data = old->Data;  // kept: nothing in a flat graph makes it wrong
    } else if (k >= O.Size) {
      t->Trans_Law = zero_constant();
      t->Name = "Dummy_Transition";
    }
    g->T[ix(k)] = std::move(t);
  }
  return g;
}

}  // namespace

long long Compute_Index_Table(const EventGraph& Reseau, std::vector<int>& Index,
                              std::vector<int>& Mu_Star, int Algorithm) {
  const int n = std::max(Reseau.Size, 0);
  Index.assign(ix(n), 0);
  Mu_Star.assign(ix(n), 1);
  std::vector<long long> mu(ix(n), 1);
  if (Algorithm == UPSTREAM) {
    for (const auto& p : Reseau.P)
      if (p && p->Trans_Id >= 1 && p->Trans_Id <= n)
        mu[ix(p->Trans_Id - 1)] = std::max<long long>(mu[ix(p->Trans_Id - 1)], tokens(*p));
  } else {
    for (int i = 0; i < n; ++i) {
      const TRANS_DESC* t = Reseau.T[ix(i)].get();
      if (t == nullptr) continue;
      long long sum = 1;
      for (const PLACE_DESC* p : t->Outputs) {
        if (Algorithm == SPLIT) {
          if (tokens(*p) >= 1) sum += tokens(*p) - 1;
        } else {
          mu[ix(i)] = std::max<long long>(mu[ix(i)], tokens(*p));
        }
      }
      if (Algorithm == SPLIT) mu[ix(i)] = sum;
    }
  }
  long long next = n;
  for (int i = 0; i < n; ++i) {
    if (mu[ix(i)] > INT_MAX || next > INT_MAX) return -1;
    Mu_Star[ix(i)] = static_cast<int>(mu[ix(i)]);
    Index[ix(i)] = static_cast<int>(next);
    next += mu[ix(i)] - 1;
  }
  return next > INT_MAX ? -1 : next;
}

EventGraphPtr Flatten_EG(const EventGraph& O, int Alg) {
  try {
    std::vector<int> Index, Mu_Star;
    const long long size = Compute_Index_Table(O, Index, Mu_Star, Alg);
    if (size < 0) return nullptr;
    EventGraphPtr N = Copy_Invariant_Part(O, static_cast<int>(size));
    EventGraph& g = *N;
    auto place = [&](int from, int to, double the_lag) {
      Store_Place(g, Create_Dummy_Place(*g.T[ix(from)], to + 1, the_lag));
    };

    // The copies of the real places.
    for (int i = 0; i < O.Size; ++i) {
      const TRANS_DESC* t = O.T[ix(i)].get();
      if (t == nullptr) continue;
      int base = Index[ix(i)];  // split mode: first transition of the next chain
      for (const PLACE_DESC* old : t->Outputs) {
        const int p = tokens(*old);
        auto c = std::make_unique<PLACE_DESC>();
        c->Name = old->Name;
        c->Data1 = old->Data1;
        c->Data2 = old->Data2;
        if (old->Place_Law) c->Place_Law = orv::Copy_Law(*old->Place_Law);
        if (p >= 1) {
          c->Init_Pop = 1;
          c->Lag_Times.assign(1, lag(*old, Alg == UPSTREAM ? p : 1));
        }
        c->Trans_Id = old->Trans_Id;
        int from = i;
        if (p >= 2) {
          if (Alg == UPSTREAM) {
            if (old->Trans_Id >= 1 && old->Trans_Id <= O.Size) {
              const int d = old->Trans_Id - 1;
              c->Trans_Id = Index[ix(d)] + Mu_Star[ix(d)] - (p - 1);
            }
          } else if (Alg == SPLIT) {
            from = base + p - 2;
          } else {
            from = Index[ix(i)] + p - 2;
          }
        }
        if (Alg == SPLIT && p >= 1) base += p - 1;
        Attach_To_Outputs(*g.T[ix(from)], *c);
        Store_Place(g, std::move(c));
      }
    }

    // The chains.
    const auto inputs = Alg == UPSTREAM ? inputs_of(O) : decltype(inputs_of(O)){};
    for (int i = 0; i < O.Size; ++i) {
      const int mu = Mu_Star[ix(i)];
      if (mu == 1) continue;
      const int D = Index[ix(i)];  // D(k) is new transition D + k (0-based)
      if (Alg == DOWNSTREAM) {
        place(i, D, 0.0);
        for (int k = 0; k <= mu - 3; ++k) place(D + k, D + k + 1, 0.0);
      } else if (Alg == UPSTREAM) {
        const std::vector<double> best = max_lags_of_inputs(inputs[ix(i)], mu);
        auto max_lag = [&](int pop) { return inputs[ix(i)].empty() ? 0.0 : best[ix(pop)]; };
        place(D + mu - 2, i, max_lag(2));
        for (int k = 0; k <= mu - 3; ++k) place(D + k, D + k + 1, max_lag(mu - k));
      } else {
        int b = D;
        const TRANS_DESC* t = O.T[ix(i)].get();
        for (const PLACE_DESC* old : t->Outputs) {
          const int p = tokens(*old);
          if (p > 1) {
            place(i, b, lag(*old, p));
            for (int k = 1; k <= p - 2; ++k) place(b + k - 1, b + k, lag(*old, p - k));
          }
          if (p >= 1) b += p - 1;
        }
      }
    }
    return N;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace dunvesk
