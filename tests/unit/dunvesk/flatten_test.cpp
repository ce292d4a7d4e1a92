#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "dunvesk.h"
#include "eventgraph/egl_reader.h"

namespace {

using dunvesk::Flatten_EG;
using orv::EventGraph;
using orv::PLACE_DESC;

orv::EventGraphPtr read(const std::string& text) {
  auto g = orv::eg::Read_Network_Text(text);
  EXPECT_TRUE(g) << text;
  return g;
}

bool is_dummy(const EventGraph& g, int id, int old_size) { return id > old_size && id <= g.Size; }

// A place of the new graph by name.
const PLACE_DESC* named(const EventGraph& g, const std::string& name) {
  for (const auto& p : g.P)
    if (p->Name == name) return p.get();
  return nullptr;
}

std::vector<const PLACE_DESC*> outputs(const EventGraph& g, int id) {
  return {g.T[static_cast<size_t>(id - 1)]->Outputs.begin(),
          g.T[static_cast<size_t>(id - 1)]->Outputs.end()};
}
std::vector<const PLACE_DESC*> inputs(const EventGraph& g, int id) {
  std::vector<const PLACE_DESC*> in;
  for (const auto& p : g.P)
    if (p->Trans_Id == id) in.push_back(p.get());
  return in;
}

struct Old_Place {
  std::string name;
  int from, to, tokens;
  std::vector<double> lags;
};

// Random graphs: the flattened graph must carry every old place from its
// upstream to its downstream transition through new zero-time transitions
// with the same number of tokens, one at most per place, and the sizes the
// chain layout gives. In split mode each chain holds the place's own lags,
// the first one nearest the consumer.
TEST(Flatten, EveryPlaceBecomesAChainOfItsTokens) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    const int n = 1 + static_cast<int>(rng() % 5);
    std::vector<Old_Place> old;
    std::string text = "Size <- " + std::to_string(n) + "\n";
    for (int t = 1; t <= n; ++t) {
      text += std::to_string(t) + " C 1.0";
      const int deg = static_cast<int>(rng() % 4);
      for (int k = 0; k < deg; ++k) {
        Old_Place p{"p" + std::to_string(old.size()), t, 1 + static_cast<int>(rng() % n),
                    static_cast<int>(rng() % 5), {}};
        text += " , " + std::to_string(p.to) + " \"" + p.name + "\" C 0.0 " + std::to_string(p.tokens);
        for (int j = 0; j < p.tokens; ++j) {
          p.lags.push_back(static_cast<double>(rng() % 100) / 4.0);
          text += " " + std::to_string(p.lags.back());
        }
        old.push_back(p);
      }
      text += " ;\n";
    }
    auto g = read(text);
    ASSERT_TRUE(g);
    for (int mode : {dunvesk::UPSTREAM, dunvesk::DOWNSTREAM, dunvesk::SPLIT}) {
      SCOPED_TRACE("mode " + std::to_string(mode) + "\n" + text);
      auto f = Flatten_EG(*g, mode);
      ASSERT_TRUE(f);
      // Sizes: the chains as each mode shares them.
      std::map<int, int> mu;
      long long chain_places = 0;
      for (const auto& p : old) {
        const int key = mode == dunvesk::UPSTREAM ? p.to : p.from;
        if (mode == dunvesk::SPLIT) {
          mu[key] += std::max(p.tokens - 1, 0);
          chain_places += std::max(p.tokens - 1, 0);
        } else {
          mu[key] = std::max(mu[key], std::max(p.tokens - 1, 0));
        }
      }
      int new_transitions = 0;
      for (auto [t, m] : mu) new_transitions += m;
      if (mode != dunvesk::SPLIT) chain_places = new_transitions;
      EXPECT_EQ(f->Size, n + new_transitions);
      EXPECT_EQ(f->Nb_Places, static_cast<int>(old.size() + chain_places));
      EXPECT_EQ(f->Nb_Layers, 0);
      EXPECT_EQ(f->Max_Pop_Init, 0);
      for (size_t k = 0; k < f->P.size(); ++k) {
        const PLACE_DESC& p = *f->P[k];
        EXPECT_EQ(p.Place_Id, static_cast<int>(k));
        EXPECT_LE(p.Init_Pop, 1);
        EXPECT_EQ(p.Lag_Times.size(), static_cast<size_t>(p.Init_Pop));
        // Every place stands in its upstream transition's outputs.
        const auto outs = outputs(*f, p.Input_Id);
        EXPECT_NE(std::find(outs.begin(), outs.end(), &p), outs.end());
        EXPECT_EQ(p.Name == "Dummy_Place", k >= old.size()) << k;  // copies first
      }
      for (int t = 1; t <= f->Size; ++t)
        EXPECT_EQ(f->T[static_cast<size_t>(t - 1)]->Outdegree, static_cast<int>(outputs(*f, t).size()));

      for (const auto& o : old) {
        const PLACE_DESC* c = named(*f, o.name);
        ASSERT_NE(c, nullptr);
        int tokens = c->Init_Pop;
        std::vector<double> lags(c->Lag_Times.begin(), c->Lag_Times.end());
        if (mode == dunvesk::UPSTREAM) {
          EXPECT_EQ(c->Input_Id, o.from);
          int t = c->Trans_Id;
          while (is_dummy(*f, t, n)) {
            const auto outs = outputs(*f, t);
            ASSERT_EQ(outs.size(), 1u);
            tokens += outs[0]->Init_Pop;
            t = outs[0]->Trans_Id;
          }
          EXPECT_EQ(t, o.to);
          if (o.tokens > 0) {
            EXPECT_EQ(lags, std::vector<double>{o.lags.back()});
          }
        } else {
          EXPECT_EQ(c->Trans_Id, o.to);
          int t = c->Input_Id;
          while (is_dummy(*f, t, n)) {
            const auto in = inputs(*f, t);
            ASSERT_EQ(in.size(), 1u);
            tokens += in[0]->Init_Pop;
            lags.insert(lags.end(), in[0]->Lag_Times.begin(), in[0]->Lag_Times.end());
            t = in[0]->Input_Id;
          }
          EXPECT_EQ(t, o.from);
          if (mode == dunvesk::SPLIT) {
            EXPECT_EQ(lags, o.lags);
          } else if (o.tokens > 0) {
            EXPECT_EQ(lags.front(), o.lags.front());
          }
        }
        EXPECT_EQ(tokens, o.tokens) << o.name;
      }
    }
    // The old graph is left as it was.
    EXPECT_EQ(g->Size, n);
    EXPECT_EQ(g->Nb_Places, static_cast<int>(old.size()));
  }
}

// Upstream mode: a chain place shared by several input places holds the
// largest lag of its rank among the places that pass through it.
TEST(Flatten, SharedUpstreamChainTakesTheLargestLag) {
  auto g = read(
      "Size <- 3\n"
      "1 C 1.0 , 3 \"a\" C 0.0 3 0.1 0.9 0.3 ;\n"
      "2 C 1.0 , 3 \"b\" C 0.0 2 0.4 0.5 ;\n"
      "3 C 1.0 ;\n");
  auto f = Flatten_EG(*g, dunvesk::UPSTREAM);
  ASSERT_TRUE(f);
  ASSERT_EQ(f->Size, 5);
  // Chain 4 -> 5 -> 3: rank 1 (nearest 3) max(0.1, 0.4), rank 2 only a's 0.9.
  const auto into3 = inputs(*f, 3);
  ASSERT_EQ(into3.size(), 1u);
  EXPECT_EQ(into3[0]->Input_Id, 5);
  EXPECT_DOUBLE_EQ(into3[0]->Lag_Times[0], 0.4);
  const auto into5 = inputs(*f, 5);
  ASSERT_EQ(into5.size(), 2u);  // the chain place from 4 and b's copy
  for (const PLACE_DESC* p : into5) {
    const double want = p->Name == "b" ? 0.5 : 0.9;
    EXPECT_DOUBLE_EQ(p->Lag_Times[0], want);
  }
  EXPECT_EQ(named(*f, "a")->Trans_Id, 4);
  EXPECT_DOUBLE_EQ(named(*f, "a")->Lag_Times[0], 0.3);
}

// Transition names and data strings survive; new transitions are constant 0.
TEST(Flatten, CopiesTransitionsWithTheirData) {
  auto g = read("Size <- 1\n1 \"go\" \"extra\" E 2.0 , 1 C 0.0 2 0.0 0.0 ;\n");
  auto f = Flatten_EG(*g, dunvesk::DOWNSTREAM);
  ASSERT_TRUE(f);
  ASSERT_EQ(f->Size, 2);
  EXPECT_EQ(f->T[0]->Name, "go");
  EXPECT_EQ(f->T[0]->Data, "extra");
  EXPECT_EQ(f->T[0]->Trans_Law->Name, 'E');
  EXPECT_EQ(f->T[1]->Name, "Dummy_Transition");
  EXPECT_TRUE(f->T[1]->Data.empty());
  EXPECT_EQ(f->T[1]->Trans_Law->Name, 'C');
  EXPECT_EQ(f->T[1]->Trans_Law->Parameters[0], 0.0);
}

// A re-marked place may hold more tokens than it has lags: the missing ones
// count as 0.0 and nothing is read past the array.
TEST(Flatten, TokensWithoutLagsCountAsZero) {
  auto g = read("Size <- 2\n1 C 1.0 , 2 C 0.0 1 0.7 ;\n2 C 1.0 , 1 C 0.0 1 0.0 ;\n");
  g->T[0]->Outputs[0]->Init_Pop = 3;  // as a marking change without lags would leave it
  for (int mode : {dunvesk::UPSTREAM, dunvesk::DOWNSTREAM, dunvesk::SPLIT}) {
    auto f = Flatten_EG(*g, mode);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Size, 4);
    for (const auto& p : f->P)
      for (double l : p->Lag_Times) EXPECT_TRUE(l == 0.0 || l == 0.7) << l;
  }
}

// One place of 100,000 tokens: the chain is built in time linear in the
// tokens, in every mode.
TEST(Flatten, LargeMarkingStaysLinear) {
  const int tokens = 100000;
  std::string text = "Size <- 2\n1 C 1.0 , 2 C 0.0 " + std::to_string(tokens);
  for (int k = 0; k < tokens; ++k) text += " 0.0";
  text += " ;\n2 C 1.0 , 1 C 0.0 0 ;\n";
  auto g = read(text);
  ASSERT_TRUE(g);
  for (int mode : {dunvesk::UPSTREAM, dunvesk::DOWNSTREAM, dunvesk::SPLIT}) {
    auto f = Flatten_EG(*g, mode);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Size, 2 + tokens - 1);
    EXPECT_EQ(f->Nb_Places, 2 + tokens - 1);
  }
}

TEST(Recycle, AddsOneTokenSelfLoopsWhereMissing) {
  auto g = read(
      "Size <- 3\n"
      "1 C 1.0 , 1 C 0.0 1 0.0 ;\n"
      "2 C 1.0 , 2 C 0.0 2 0.0 0.0 ;\n"
      "3 C 1.0 , 1 C 0.0 0 ;\n");
  EXPECT_EQ(dunvesk::Is_Recycled_Transition(*g, 0), 1);
  EXPECT_EQ(dunvesk::Is_Recycled_Transition(*g, 1), 0);
  EXPECT_EQ(dunvesk::Is_Recycled_Network(*g), 0);
  dunvesk::Recycle_EG(*g);
  EXPECT_EQ(dunvesk::Is_Recycled_Network(*g), 1);
  ASSERT_EQ(g->Nb_Places, 5);
  EXPECT_EQ(g->P[3]->Input_Id, 2);
  EXPECT_EQ(g->P[4]->Input_Id, 3);
  EXPECT_EQ(g->P[4]->Trans_Id, 3);
  EXPECT_EQ(g->P[4]->Place_Id, 4);
  EXPECT_EQ(g->T[2]->Outdegree, 2);
  dunvesk::Recycle_EG(*g);
  EXPECT_EQ(g->Nb_Places, 5);
}

TEST(Remarking, NewTokensGetZeroLagsAndLostOnesTakeTheirLags) {
  auto g = read("Size <- 2\n1 C 1.0 , 2 C 0.0 2 0.5 1.5 ;\n2 C 1.0 , 1 C 0.0 0 ;\n");
  dunvesk::Change_Marking(*g, {1, 3});
  EXPECT_EQ(g->T[0]->Outputs[0]->Lag_Times, std::vector<double>{0.5});
  EXPECT_EQ(g->T[1]->Outputs[0]->Lag_Times, (std::vector<double>{0.0, 0.0, 0.0}));
  EXPECT_EQ(g->T[1]->Outputs[0]->Init_Pop, 3);
}

}  // namespace
