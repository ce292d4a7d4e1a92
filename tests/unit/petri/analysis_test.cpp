// Structural predicates, the time scale and the zero-time layering, on nets
// read from PNL text. The layering is also checked against a direct
// transcription of the matrix algorithm on random nets.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "petri/analysis.h"
#include "petri/pnl_reader.h"

using namespace orv::pn;

namespace {

NetPtr read(const std::string& text) {
  testing::internal::CaptureStdout();
  NetPtr net = Read_Network_Buffer(text, "test.pnl");
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(net) << text;
  return net;
}

template <class F>
std::string out_of(F f) {
  testing::internal::CaptureStdout();
  f();
  return testing::internal::GetCapturedStdout();
}

std::vector<int> entries(const Report& r) {
  return r.empty() ? std::vector<int>{} : std::vector<int>(r.begin() + 1, r.begin() + 1 + 2 * r[0]);
}

// T1 -> P1 -> T2 -> P2 -> T1: a loop whose laws the tests vary.
std::string loop(const std::string& t1, const std::string& t2, const std::string& p1,
                 const std::string& p2) {
  return "Transitions <- 2\nPlaces <- 2\n"
         "T 1 \"a\" " + t1 + " , 1 ;\nT 2 \"b\" " + t2 + " , 2 ;\n"
         "P 1 \"x\" " + p1 + " , 2 ;\nP 2 \"y\" " + p2 + " , 1 ;\n";
}

}  // namespace

TEST(Analysis, GcdAndIsInteger) {
  struct { int a, b, g; } cases[] = {
      {0, 5, 5}, {5, 0, 5}, {7, 7, 7}, {12, 18, 6}, {18, 12, 6}, {10, 15, 5}, {1, 9, 1},
      // Magnitudes: the plain recursion never ends on two negatives.
      {-10, -5, 5}, {-4, 6, 2}};
  for (auto c : cases) EXPECT_EQ(gcd(c.a, c.b), c.g) << c.a << " " << c.b;
  EXPECT_TRUE(Is_Integer(3.000001));
  EXPECT_TRUE(Is_Integer(-2.0));
  EXPECT_FALSE(Is_Integer(2.5));
  double saved = Epsilon;
  Epsilon = 0.1;
  EXPECT_TRUE(Is_Integer(2.05));
  Epsilon = saved;
}

TEST(Analysis, TimeScale) {
  struct Case {
    const char* what;
    std::string net;
    int sources_also, scale, result;
    const char* message;
  } cases[] = {
      {"gcd of 10, 5, 15", loop("C 0.5", "C 1.5", "C 0.0 1 0.0", "C 0.0 0"), 0, 10, 2, ""},
      {"all zero", loop("C 0.0", "C 0.0", "C 0.0 0", "C 0.0 0"), 0, 10, 1, ""},
      {"exponential", loop("E 1.0", "C 1.5", "C 0.0 0", "C 0.0 0"), 0, 10, 0,
       "Trans. 0 (a) has non integer delay.\n"},
      {"bernoulli counts as the scale", loop("B 0.5", "C 0.2", "C 0.0 0", "C 0.0 0"), 0, 10, 5, ""},
      {"discrete values", loop("D [ 0.5 1.0 ] [ 0.5 0.5 ]", "C 1.0", "C 0.0 0", "C 0.0 0"), 0, 10, 2,
       ""},
      {"discrete, one value not integral",
       loop("D [ 0.25 1.0 ] [ 0.5 0.5 ]", "C 1.0", "C 0.0 0", "C 0.0 0"), 0, 10, 0,
       "Trans. 0 (a) has non integer delay.\n"},
      {"place delay", loop("C 1.0", "C 1.0", "C 0.33 0", "C 0.0 0"), 0, 10, 0,
       "Place 0 (x) has non integer delay.\n"},
      {"lag", loop("C 1.0", "C 1.0", "C 0.0 1 0.25", "C 0.0 0"), 0, 2, 0,
       "Place 0 (x) has non integer lag times.\n"},
      {"lag fits", loop("C 1.0", "C 1.0", "C 0.0 1 0.25", "C 0.0 0"), 0, 4, 4, ""},
      {"zero scale", loop("C 1.0", "C 1.0", "C 0.0 0", "C 0.0 0"), 0, 0, 0,
       "Find_Time_Scale: error: time scale 0 is not positive.\n"},
      {"negative scale", loop("C 1.0", "C 1.0", "C 0.0 0", "C 0.0 0"), 0, -10, 0,
       "Find_Time_Scale: error: time scale -10 is not positive.\n"},
      {"delay too large for ticks", loop("C 10000000000.0", "C 1.0", "C 0.0 0", "C 0.0 0"), 0, 10, 0,
       "Trans. 0 (a) has non integer delay.\n"},
  };
  for (const Case& c : cases) {
    NetPtr net = read(c.net);
    int r = -1;
    std::string out = out_of([&] { r = Find_Time_Scale(*net, c.sources_also, c.scale, 0, nullptr); });
    EXPECT_EQ(r, c.result) << c.what;
    EXPECT_EQ(out, c.message) << c.what;
  }
}

TEST(Analysis, TimeScaleSources) {
  // T1 has no input: a source, whose random delay is tolerated unless
  // Sources_Also asks for it.
  std::string text =
      "Transitions <- 2\nPlaces <- 1\nT 1 \"src\" E 1.0 , 1 ;\nT 2 C 0.5 ;\n"
      "P 1 C 0.0 0 , 2 ;\n";
  NetPtr net = read(text);
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Find_Time_Scale(*net, 0, 10, 0, nullptr), 2); }), "");
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Find_Time_Scale(*net, 1, 10, 0, nullptr), 0); }),
            "Trans. 0 (src) has non integer delay.\n");
  // A transition recycling itself through its own place is a source too.
  NetPtr rec = read("Transitions <- 1\nPlaces <- 1\nT 1 E 1.0 , 1 ;\nP 1 C 0.0 1 0.0 , 1 ;\n");
  EXPECT_EQ(Is_Source_Transition(*rec, 0), 1);
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Find_Time_Scale(*rec, 0, 10, 0, nullptr), 1); }), "");
}

TEST(Analysis, TimeScaleTestingListsEveryBadObject) {
  NetPtr net = read(loop("E 1.0", "U 1.0 2.0", "C 0.25 0", "C 0.5 0"));
  Report bad(1, 0);
  std::string out = out_of([&] { EXPECT_EQ(Find_Time_Scale(*net, 1, 2, 1, &bad), 0); });
  EXPECT_EQ(out,
            "Trans. 0 (a) has non integer delay.\nTrans. 1 (b) has non integer delay.\n"
            "Place 0 (x) has non integer delay.\n");
  EXPECT_EQ(entries(bad), (std::vector<int>{0, 0, 0, 1, 1, 0}));
  // Without Testing it stops at the first one.
  out = out_of([&] { EXPECT_EQ(Find_Time_Scale(*net, 1, 2, 0, nullptr), 0); });
  EXPECT_EQ(out, "Trans. 0 (a) has non integer delay.\n");
}

TEST(Analysis, DeterminismPredicates) {
  NetPtr net = read(
      "Transitions <- 3\nPlaces <- 2\nT 1 \"a\" E 1.0 , 1 ;\nT 2 C 1.0 , 2 ;\nT 3 \"c\" U 0.0 1.0 ;\n"
      "P 1 E 2.0 0 , 2 ;\nP 2 \"q\" C 0.0 0 , 3 ;\n");
  // Stops at the first failure without report mode.
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Has_All_Deterministic_Transitions(*net, 0, nullptr), 0); }),
            "Trans. 0 (a) has non constant delay.\n");
  Report r;
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Has_All_Deterministic_Objects(*net, 1, &r), 0); }),
            "Trans. 0 (a) has non constant delay.\nTrans. 2 (c) has non constant delay.\n"
            "Place 0 () has non constant delay.\n");
  EXPECT_EQ(entries(r), (std::vector<int>{0, 0, 0, 2, 1, 0}));
  // Places are not looked at once the transitions failed, unless reporting.
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Has_All_Deterministic_Objects(*net, 0, nullptr), 0); }),
            "Trans. 0 (a) has non constant delay.\n");
  // Tagged objects are skipped.
  net->T[0].Tag = net->T[2].Tag = net->P[0].Tag = 1;
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Has_All_Deterministic_Objects(*net, 1, &r), 1); }), "");
}

TEST(Analysis, RoutingPredicates) {
  // Place 1: Competition over T1, T2; place 2: Random; place 3: priority
  // over T1 (immediate) and T3 (timed); place 4: no routing, two outputs.
  std::string head = "Transitions <- 3\nPlaces <- 4\nT 1 C 0.0 ;\nT 2 C 0.0 ;\nT 3 C 1.0 ;\n";
  NetPtr net = read(head +
                    "P 1 \"comp\" C 0.0 0 Competition , 1 , 2 ;\n"
                    "P 2 C 0.0 0 Random [ 0.5 0.5 ] , 1 , 2 ;\n"
                    "P 3 \"prio\" C 0.0 0 Competition Priority [ T 3 T 1 ] , 1 , 3 ;\n"
                    "P 4 C 0.0 0 , 2 , 3 ;\n");
  Report r;
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Has_All_Routing_Places(*net, 1, &r), 0); }),
            "Place 0 (comp) has competition routing.\nPlace 2 (prio) has competition routing.\n"
            "Place 3 () has competition routing.\n");
  EXPECT_EQ(entries(r), (std::vector<int>{1, 0, 1, 2, 1, 3}));
  // Priority is simulable only over immediate transitions; the message is
  // left out when the failures are being collected.
  Report s;
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Has_Simulable_Places(*net, 1, &s), 0); }), "");
  EXPECT_EQ(entries(s), (std::vector<int>{1, 0, 1, 2, 1, 3}));
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Has_Simulable_Places(*net, 0, nullptr), 0); }),
            "Place 0 (comp) has competition routing.\n");

  NetPtr ok = read(head + "P 1 C 0.0 0 Competition Priority [ T 2 T 1 ] , 1 , 2 ;\n"
                          "P 2 C 0.0 0 Cyclic [ T 1 T 3 ] , 1 , 3 ;\nP 3 C 0.0 0 Competition , 3 ;\n"
                          "P 4 C 0.0 0 ;\n");
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Has_Simulable_Places(*ok, 0, nullptr), 1); }), "");
}

TEST(Analysis, IntegralTransitionsAndSources) {
  // T1 a source with a geometric law, T2 an exponential source, T3 fed.
  NetPtr net = read(
      "Transitions <- 3\nPlaces <- 1\nT 1 \"g\" G 0.5 , 1 ;\nT 2 \"e\" E 1.0 , 1 ;\n"
      "T 3 \"u\" U 0.0 1.0 ;\nP 1 C 0.0 0 , 3 ;\n");
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Has_Integral_Transitions(*net, 0, 0, nullptr), 0); }),
            "Trans. 2 (u) has non constant/discrete delay.\n");
  Report r;
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Has_Integral_Transitions(*net, 1, 1, &r), 0); }), "");
  EXPECT_EQ(entries(r), (std::vector<int>{0, 1, 0, 2}));
  Report s;
  EXPECT_EQ(out_of([&] { EXPECT_EQ(Has_Real_Sources(*net, 1, &s), 0); }),
            "Transition 0 (g) has no input.\nTransition 1 (e) has no input.\n");
  EXPECT_EQ(entries(s), (std::vector<int>{0, 0, 0, 1}));
}

TEST(Analysis, ReportGrowsPastItsSize) {
  Report r(3, 0);
  for (int k = 0; k < 5; ++k) Add_Report_Entry(r, k % 2, k);
  EXPECT_EQ(r[0], 5);
  EXPECT_EQ(entries(r), (std::vector<int>{0, 0, 1, 1, 0, 2, 1, 3, 0, 4}));
}

TEST(Analysis, Measures) {
  NetPtr net = read(
      "Transitions <- 2\nPlaces <- 2\nT 1 C 1.5 , 1 ;\nT 2 C 4.0 , 1 , 2 ;\n"
      "P 1 C 0.5 3 0.0 2.0 1.0 , 2 ;\nP 2 C 2.0 1 7.0 , 1 ;\n");
  EXPECT_DOUBLE_EQ(Max_Lag(*net), 7.0);
  EXPECT_DOUBLE_EQ(Max_Delay(*net), 6.0);  // place 2 (2.0) after T2 (4.0)
  EXPECT_EQ(Nb_Available_Tokens(net->P[0], 1), 2);
  EXPECT_EQ(Nb_Available_Tokens(net->P[0], 0), 1);
  net->P[1].Tag = 1;
  EXPECT_DOUBLE_EQ(Max_Lag(*net), 2.0);
  EXPECT_DOUBLE_EQ(Max_Delay(*net), 4.5);
  net->P[0].Tag = 1;
  EXPECT_DOUBLE_EQ(Max_Lag(*net), -1e12);
  EXPECT_DOUBLE_EQ(Max_Delay(*net), -1e12);
}

namespace {

std::string layers_of(const PetriNet& net, int* result = nullptr) {
  LAYER_STRUCT l;
  int r = 0;
  std::string out = out_of([&] {
    r = topological_analysis(net, &l);
    if (r) Dump_Layer_Struct(l);
  });
  if (result) *result = r;
  return out;
}

}  // namespace

TEST(Analysis, Layers) {
  // A chain of immediate transitions T1 -> T2 -> T3, plus T4 on its own.
  NetPtr chain = read(
      "Transitions <- 4\nPlaces <- 2\nT 1 C 0.0 , 1 ;\nT 2 C 0.0 , 2 ;\nT 3 C 1.0 ;\nT 4 C 0.0 ;\n"
      "P 1 C 0.0 0 , 2 ;\nP 2 C 0.0 0 , 3 ;\n");
  EXPECT_EQ(layers_of(*chain),
            "Layer structure:\nLayer  0: 0 3 \nLayer  1: 1 \nLayer  2: 2 \n");
  // A timed transition upstream breaks the chain.
  chain->T[0].Tr_Law->Parameters[0] = 2.0;
  EXPECT_EQ(layers_of(*chain), "Layer structure:\nLayer  0: 0 1 3 \nLayer  1: 2 \n");
  // Tagged transitions make no dependency and land in level 0.
  chain->T[0].Tr_Law->Parameters[0] = 0.0;
  chain->T[1].Tag = 1;
  EXPECT_EQ(layers_of(*chain), "Layer structure:\nLayer  0: 0 1 2 3 \n");

  // Priority [T 3, T 1]: transition 1 (index 0) after transition 3.
  NetPtr prio = read(
      "Transitions <- 3\nPlaces <- 1\nT 1 C 1.0 ;\nT 2 C 1.0 ;\nT 3 C 1.0 ;\n"
      "P 1 C 0.0 0 Competition Priority [ T 3 T 1 ] , 1 , 3 ;\n");
  EXPECT_EQ(layers_of(*prio), "Layer structure:\nLayer  0: 1 2 \nLayer  1: 0 \n");
}

TEST(Analysis, ZeroTimeCycle) {
  int r = -1;
  NetPtr net = read(loop("C 0.0", "C 0.0", "C 0.0 1 0.0", "C 0.0 0"));
  EXPECT_EQ(layers_of(*net, &r),
            "Error: the network has a zero time cycle.\n1 (a) -> 2 (b) -> 1\n");
  EXPECT_EQ(r, 0);
  // A place that holds its tokens for a while is no same-instant dependency.
  NetPtr timed = read(loop("C 0.0", "C 0.0", "C 1.0 1 0.0", "C 0.0 0"));
  EXPECT_EQ(layers_of(*timed, &r), "Layer structure:\nLayer  0: 1 \nLayer  1: 0 \n");
  EXPECT_EQ(r, 1);
  // A self-loop never clears; an unnamed transition prints no brackets.
  NetPtr self = read("Transitions <- 2\nPlaces <- 1\nT 1 C 1.0 ;\nT 2 C 0.0 , 1 ;\nP 1 C 0.0 1 0.0 , 2 ;\n");
  EXPECT_EQ(layers_of(*self, &r), "Error: the network has a zero time cycle.\n2 -> 2\n");
}

namespace {

// The matrix algorithm as first described: n x n dependencies, one pass per
// level, and the candidate-pruning depth-first cycle search.
std::string literal_layers(const PetriNet& net) {
  int n = net.Nb_Trans;
  std::vector<std::vector<char>> D(n, std::vector<char>(n, 0));
  for (int i = 0; i < n; ++i) {
    if (net.T[i].Tag) continue;
    for (const auto& in : net.T[i].Inputs) {
      const PL_DES& p = net.P[in.Dest];
      if (p.Tag || Delay_Of(p.Pl_Law.get()) != 0.0) continue;
      for (const auto& src : p.Inputs)
        if (!net.T[src.Dest].Tag && Delay_Of(net.T[src.Dest].Tr_Law.get()) == 0.0) D[i][src.Dest] = 1;
    }
  }
  for (const PL_DES& p : net.P) {
    if (p.Tag || !p.Routing || p.Routing->Type != 'P') continue;
    for (int j = 0; j + 1 < p.Outdegree; ++j)
      D[p.Routing->Cycle[j + 1]->Number][p.Routing->Cycle[j]->Number] = 1;
  }
  std::string out;
  char buf[64];
  std::vector<char> placed(n, 0);
  std::vector<std::vector<int>> levels;
  int left = n;
  while (left > 0) {
    std::vector<int> level;
    for (int j = 0; j < n; ++j) {
      if (placed[j]) continue;
      bool free = true;
      for (int l = 0; l < n && free; ++l)
        if (D[j][l] && !placed[l]) free = false;
      if (free) level.push_back(j);
    }
    if (level.empty()) break;
    for (int j : level) placed[j] = 1;
    left -= static_cast<int>(level.size());
    levels.push_back(level);
  }
  if (left == 0) {
    out = "Layer structure:\n";
    for (size_t l = 0; l < levels.size(); ++l) {
      std::snprintf(buf, sizeof buf, "Layer %2d: ", static_cast<int>(l));
      out += buf;
      for (int t : levels[l]) out += std::to_string(t) + " ";
      out += "\n";
    }
    return out;
  }
  out = "Error: the network has a zero time cycle.\n";
  std::vector<char> cand(n, 0);
  for (int a = 0; a < n; ++a)
    for (int c = 0; c < n; ++c)
      if (D[c][a] && (c >= a || cand[c])) cand[a] = 1;
  std::vector<int> path;
  for (int start = 0; start < n; ++start) {
    path.assign(1, start);
    while (!path.empty()) {
      int cur = path.back(), c = 0;
      while (c < n && !(D[c][cur] && cand[c])) ++c;
      if (c == n) {
        cand[cur] = 0;
        path.pop_back();
        continue;
      }
      for (size_t k = 0; k < path.size(); ++k) {
        if (path[k] != c) continue;
        for (size_t m = k; m < path.size(); ++m) {
          out += (m > k ? "-> " : "") + std::to_string(path[m] + 1) + " ";
          if (!net.T[path[m]].Name.empty()) out += "(" + net.T[path[m]].Name + ") ";
        }
        return out + "-> " + std::to_string(c + 1) + "\n";
      }
      path.push_back(c);
    }
  }
  return out + "Error in analysis: no cycle found ?!?\n";
}

}  // namespace

TEST(Analysis, LayersMatchTheMatrixAlgorithm) {
  std::mt19937 rng(12345);
  int cycles = 0;
  for (int round = 0; round < 300; ++round) {
    int n = 2 + static_cast<int>(rng() % 60);
    int m = 1 + static_cast<int>(rng() % (2 * n));
    std::string text = "Transitions <- " + std::to_string(n) + "\nPlaces <- " + std::to_string(m) + "\n";
    std::vector<std::vector<int>> outs(n);
    std::vector<int> consumer(m);
    for (int j = 0; j < m; ++j) {
      outs[rng() % n].push_back(j);
      consumer[j] = static_cast<int>(rng() % n);
    }
    for (int i = 0; i < n; ++i) {
      text += "T " + std::to_string(i + 1) + (rng() % 4 ? " \"t" + std::to_string(i) + "\"" : "") +
              (rng() % 3 ? " C 0.0" : " C 1.0");
      for (int j : outs[i]) text += " , " + std::to_string(j + 1);
      text += " ;\n";
    }
    for (int j = 0; j < m; ++j)
      text += "P " + std::to_string(j + 1) + (rng() % 5 ? " C 0.0" : " C 2.0") + " 0 , " +
              std::to_string(consumer[j] + 1) + " ;\n";
    NetPtr net = read(text);
    ASSERT_TRUE(net);
    for (auto& t : net->T) t.Tag = rng() % 10 == 0;
    std::string want = literal_layers(*net);
    cycles += want.rfind("Error", 0) == 0;
    EXPECT_EQ(layers_of(*net), want) << text;
  }
  EXPECT_GT(cycles, 20);  // both outcomes are exercised
}
