// Tagging, generation tables, time scales and object status on small nets.
#include "petrigen/gen_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "petri/analysis.h"
#include "petri/pnl_reader.h"

using namespace orv;
using namespace orv::gen;

namespace {

pn::NetPtr read(const std::string& text) {
  testing::internal::CaptureStdout();
  pn::NetPtr net = pn::Read_Network_Buffer(text, "test.pnl");
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(net) << text;
  return net;
}

// Tags, tables and scales of a net, as gen_c_code prepares them.
pn::NetPtr prepared(Gen_Context& ctx, const std::string& text, int scale, int max_delay) {
  pn::NetPtr net = read(text);
  Tag_Objects(*net, 0);
  Init_Generation(ctx, *net, max_delay, scale);
  TimeScale(ctx, *net, scale, 0);
  return net;
}

template <class F>
std::string out_of(F f) {
  testing::internal::CaptureStdout();
  f();
  return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(Tagging, PrefixExactCaseAndBarClassModeClearsAll) {
  Gen_Context ctx;
  pn::NetPtr net = read(
      "Transitions <- 3\nPlaces <- 3\n"
      "T 1 \"VALTOR|a\" C 1.0 , 1 ;\nT 2 \"valtor|b\" C 1.0 , 2 ;\nT 3 \"VALTOR\" C 1.0 , 3 ;\n"
      "P 1 \"x\" C 0.0 0 , 2 ;\nP 2 \"VALTOR|p\" C 0.0 0 , 3 ;\nP 3 C 0.0 1 0.0 , 1 ;\n");
  pn::Debug = 1;
  std::string out = out_of([&] { Tag_Objects(*net, 0); });
  pn::Debug = 0;
  EXPECT_EQ(out, "Place #1 (VALTOR|p) tagged Valtor\nTrans #0 (VALTOR|a) tagged Valtor\n");
  EXPECT_EQ(net->T[0].Tag, 1);
  EXPECT_EQ(net->T[1].Tag, 0);
  EXPECT_EQ(net->T[2].Tag, 0);
  EXPECT_EQ(net->P[1].Tag, 1);
  Tag_Objects(*net, 1);
  for (auto& t : net->T) EXPECT_EQ(t.Tag, 0);
  for (auto& p : net->P) EXPECT_EQ(p.Tag, 0);
}

TEST(Generation, SourcesFiringTimesAndCompetition) {
  Gen_Context ctx;
  // T1 no input: source, law ignored. T2 fed by P2 which only T2 fills: a
  // self-loop source. T3 fed by P3 with two input arcs: not a source.
  // P4 is a priority place with two outputs: T4 and T5 compete; P5, a
  // priority place with one output, makes no competition.
  pn::NetPtr net = prepared(ctx,
      "Transitions <- 6\nPlaces <- 5\n"
      "T 1 C 3.0 , 1 ;\nT 2 C 0.7 , 2 , 4 ;\nT 3 C 0.2 , 4 ;\nT 4 C 0.0 , 5 ;\n"
      "T 5 C 0.0 , 3 ;\nT 6 C 1.5 ;\n"
      "P 1 C 0.3 0 , 3 ;\nP 2 C 0.0 1 0.0 , 2 ;\nP 3 C 0.0 0 , 3 ;\n"
      "P 4 C 0.0 0 Competition Priority [ 4 5 ] , 4 , 5 ;\n"
      "P 5 C 0.0 0 Competition Priority [ 6 ] , 6 ;\n",
      10, 20);
  EXPECT_EQ(ctx.Is_Source, (std::vector<int>{1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(ctx.Fire_Time, (std::vector<int>{0, 0, 2, 0, 0, 15}));
  EXPECT_EQ(ctx.Hold_Time, (std::vector<int>{3, 0, 0, 0, 0}));
  EXPECT_EQ(ctx.Is_Compet_Tr, (std::vector<int>{0, 0, 0, 1, 1, 0}));
  EXPECT_EQ(ctx.Is_Compet_Pl, (std::vector<int>{0, 0, 0, 1, 0}));
  // Delays: P1 from source T1: 3; P3 from T5: 0; P4 from T2 (source): 0,
  // from T3: 2; P5 from T4: 0; and the firing time 15 of T6, besides 1.
  std::vector<int> marked;
  for (size_t d = 0; d < ctx.Delay_Table.size(); ++d)
    if (ctx.Delay_Table[d]) marked.push_back(static_cast<int>(d));
  EXPECT_EQ(marked, (std::vector<int>{0, 1, 2, 3, 15}));
  EXPECT_EQ(Max_Read_Back(ctx), 20);
  EXPECT_EQ(Is_Input_Number(*net, 'T', 0), -1);
}

// The discrete-time fragments' tables: any priority place makes its output
// transitions compete, and firing times get no slot of their own.
TEST(Generation, FragmentOptionsCompetitionAndFiringTimeSlots) {
  Gen_Context ctx;
  pn::NetPtr net = read(
      "Transitions <- 2\nPlaces <- 2\n"
      "T 1 C 0.3 , 1 ;\nT 2 C 4.0 , 2 ;\n"
      "P 1 C 0.0 1 0.0 Competition Priority [ 2 ] , 2 ;\n"
      "P 2 C 0.1 0 , 1 ;\n");
  Table_Options fragments;
  fragments.Any_Priority_Competes = true;
  fragments.Firing_Time_Slots = false;
  Init_Generation(ctx, *net, 5, 10, fragments);
  EXPECT_EQ(ctx.Is_Compet_Tr, (std::vector<int>{0, 1}));
  EXPECT_EQ(ctx.Is_Compet_Pl, (std::vector<int>{1, 0}));
  // P1 from T1: 3 ticks; P2 from T2: 1 + 40, past the table; besides 1.
  EXPECT_EQ(ctx.Delay_Table, (std::vector<int>{0, 1, 0, 1, 0, 0}));
  EXPECT_EQ(Max_Read_Back(ctx), 5);

  Init_Generation(ctx, *net, 5, 10);
  EXPECT_EQ(ctx.Is_Compet_Tr, (std::vector<int>{0, 0}));
  EXPECT_EQ(ctx.Is_Compet_Pl, (std::vector<int>{0, 0}));
  // The module's table reaches T2's firing time of 40 ticks and marks it.
  ASSERT_EQ(ctx.Delay_Table.size(), 41u);
  EXPECT_EQ(ctx.Delay_Table[40], 1);
  EXPECT_EQ(ctx.Delay_Table[3], 1);
}

TEST(Generation, InterfacesAndDelaysAcrossTheBorder) {
  Gen_Context ctx;
  // EQ T1 -> DE place P2 (long hold) -> DE T2 -> EQ place P3 -> EQ T3 -> P1,
  // and T3 -> EQ place P4 -> DE T4.
  pn::NetPtr net = prepared(ctx,
      "Transitions <- 4\nPlaces <- 4\n"
      "T 1 C 0.5 , 2 ;\nT 2 \"VALTOR|srv\" C 4.0 , 3 ;\nT 3 C 0.1 , 1 , 4 ;\n"
      "T 4 \"VALTOR|sink\" C 1.0 ;\n"
      "P 1 C 0.0 1 0.0 , 1 ;\nP 2 \"VALTOR|q\" C 5.0 0 , 2 ;\nP 3 C 0.2 0 , 3 ;\n"
      "P 4 C 0.0 0 , 4 ;\n",
      10, 7);
  EXPECT_EQ(ctx.Is_Interface_Pl, (std::vector<int>{0, 1, 0, 0}));
  EXPECT_EQ(ctx.Is_Interface_Tr, (std::vector<int>{0, 0, 0, 1}));
  // The discrete-event transition's count already holds completed services:
  // only the hold time of P3 separates it from T3.
  EXPECT_EQ(Arc_Delay(ctx, *net, 1, 2), 2);
  EXPECT_EQ(Arc_Delay(ctx, *net, 2, 0), 1);
  // The 55 ticks of P2 are past the table and left out; it is not overrun.
  EXPECT_EQ(ctx.Delay_Table.size(), 8u);
  EXPECT_EQ(ctx.Delay_Table[1], 1);
  EXPECT_EQ(ctx.Delay_Table[2], 1);
  EXPECT_EQ(ctx.Delay_Table[5], 1);  // T1's firing time
}

TEST(TimeScales, CombinationsAndSources) {
  Gen_Context ctx;
  struct Case {
    const char* name;
    std::string net;
    std::vector<int> tsp, tst, scales;
  };
  const std::vector<Case> cases = {
      {"constant source sets the step downstream",
       "Transitions <- 2\nPlaces <- 1\nT 1 C 0.3 , 1 ;\nT 2 C 0.0 ;\nP 1 C 0.0 0 , 2 ;\n",
       {3},
       {3, 3},
       {1, 3}},
      {"gcd of firing times into one place",
       "Transitions <- 3\nPlaces <- 3\nT 1 C 0.4 , 3 ;\nT 2 C 0.6 , 3 ;\nT 3 C 0.0 , 1 , 2 ;\n"
       "P 1 C 0.0 1 0.0 , 1 ;\nP 2 C 0.0 1 0.0 , 2 ;\nP 3 C 0.0 0 , 3 ;\n",
       {2, 2, 2},
       {2, 2, 2},
       {1, 2}},
      {"discrete source",
       "Transitions <- 2\nPlaces <- 1\nT 1 D [ 0.2 0.5 ] [ 0.5 0.5 ] , 1 ;\nT 2 C 0.0 ;\n"
       "P 1 C 0.0 0 , 2 ;\n",
       {1},
       {1, 1},
       {1, 1}},
      // Without input places there is nothing to adopt: the source and the
      // place after it keep 0, the unknown step.
      {"exponential source starts unknown",
       "Transitions <- 2\nPlaces <- 1\nT 1 E 1.0 , 1 ;\nT 2 C 0.5 ;\nP 1 C 0.0 0 , 2 ;\n",
       {0},
       {0, 5},
       {1, 5}},
      {"zero firing time adopts its input places",
       "Transitions <- 2\nPlaces <- 2\nT 1 C 0.0 , 2 ;\nT 2 C 0.0 , 1 ;\n"
       "P 1 C 0.4 1 0.0 , 1 ;\nP 2 C 0.0 0 , 2 ;\n",
       {4, 4},
       {4, 4},
       {1, 4}},
  };
  for (const Case& c : cases) {
    prepared(ctx, c.net, 10, 10);
    EXPECT_EQ(ctx.TSP, c.tsp) << c.name;
    EXPECT_EQ(ctx.TST, c.tst) << c.name;
    EXPECT_EQ(ctx.The_Scales, c.scales) << c.name;
  }
}

TEST(TimeScales, DistinctScalesAscendingAndDump) {
  Gen_Context ctx;
  // Two rings: T1 (0.5) and T2 (0.0), T3 (1.0) and T4 (0.0), plus a source
  // T5 whose own step (3) stays out of the list.
  std::string text =
      "Transitions <- 5\nPlaces <- 5\nT 1 \"a\" C 0.5 , 2 ;\nT 2 C 0.0 , 1 ;\n"
      "T 3 C 1.0 , 4 ;\nT 4 C 0.0 , 3 ;\nT 5 C 0.3 , 5 ;\n"
      "P 1 C 0.0 1 0.0 , 1 ;\nP 2 C 0.0 0 , 2 ;\nP 3 C 0.0 1 0.0 , 3 ;\nP 4 C 0.0 0 , 4 ;\n"
      "P 5 \"sink\" C 0.0 0 ;\n";
  pn::NetPtr net = read(text);
  Tag_Objects(*net, 0);
  Init_Generation(ctx, *net, 10, 10);
  EXPECT_EQ(ctx.Is_Source, (std::vector<int>{0, 0, 0, 0, 1}));
  pn::Debug = 1;
  std::string out = out_of([&] { TimeScale(ctx, *net, 10, 0); });
  pn::Debug = 0;
  EXPECT_EQ(ctx.The_Scales, (std::vector<int>{2, 5, 10}));
  EXPECT_EQ(out,
            "Found 2 different time scales: 5 10\nTime Scales:\n"
            "Pl  0 (        ) =  5    Pl  1 (        ) =  5    \n"
            "Pl  2 (        ) = 10    Pl  3 (        ) = 10    \n"
            "Pl  4 (    sink) =  3    \n"
            "Tr  0 (       a) =  5    Tr  1 (        ) =  5    \n"
            "Tr  2 (        ) = 10    Tr  3 (        ) = 10    \n"
            "Tr  4 (        ) =  3    \n");
}

TEST(PlaceStatus, RecyclingPlacesAndOptimisation) {
  Gen_Context ctx;
  // T1 (DE) owns a zero-time self-loop P1 with one token; T2 (DE) has a
  // weight-2 self-loop P2; P3 is a zero-time place from T1 to T2 (both DE);
  // P4 from EQ T3 to DE T2 is on the border; P5 feeds T3 in zero time.
  pn::NetPtr net = read(
      "Transitions <- 3\nPlaces <- 5\n"
      "T 1 \"VALTOR|a\" C 1.0 , 1 , 3 ;\nT 2 \"VALTOR|b\" C 1.0 , 2 2 , 5 ;\nT 3 C 1.0 , 4 ;\n"
      "P 1 \"VALTOR|r\" C 0.0 1 0.0 , 1 ;\nP 2 \"VALTOR|s\" C 0.0 2 0.0 0.0 , 2 2 ;\n"
      "P 3 \"VALTOR|m\" C 0.0 0 , 2 ;\nP 4 \"VALTOR|i\" C 0.0 0 , 2 ;\nP 5 C 0.0 0 , 3 ;\n");
  Tag_Objects(*net, 0);
  EXPECT_EQ(is_recycling_place(net->P[0]), 1);
  EXPECT_EQ(is_recycling_place(net->P[1]), 0);
  EXPECT_EQ(is_recycled(*net, 0), 1);
  EXPECT_EQ(is_recycled(*net, 1), 0);
  // P5 has one output, to T3, in zero time, but T3 does not feed it back.
  EXPECT_EQ(is_recycled(*net, 2), 0);
  EXPECT_EQ(server_degree(*net, 0), 1);
  EXPECT_EQ(server_degree(*net, 2), -1);

  ctx.Optimize = 0;
  init_place_status(ctx, *net);
  EXPECT_EQ(ctx.Place_Exists, (std::vector<int>{0, 1, 1, 1, 1}));
  EXPECT_EQ(ctx.Real_Indegree, (std::vector<int>{0, 3, 1}));
  EXPECT_EQ(ctx.Real_Outdegree[0], net->T[0].Outdegree - 1);
  ctx.Optimize = 1;
  init_place_status(ctx, *net);
  ctx.Optimize = 0;
  // P3 between two discrete-event transitions goes, and so does the
  // weight-2 loop P2 (one input, one output, zero time); P4 and P5 stay.
  EXPECT_EQ(ctx.Place_Exists, (std::vector<int>{0, 0, 0, 1, 1}));
}

TEST(Literals, EscapedForStringsAndFormats) {
  Gen_Context ctx;
  EXPECT_EQ(c_lit("a\\b\"c%"), "a\\\\b\\\"c%");
  EXPECT_EQ(c_fmt("a\\b\"c%d"), "a\\\\b\\\"c%%d");
  EXPECT_EQ(c_lit("plain"), "plain");
}

TEST(Generation, InputNumberIsTheLastMatchingEntry) {
  Gen_Context ctx;
  pn::NetPtr net = read(
      "Transitions <- 2\nPlaces <- 1\nT 1 C 1.0 , 1 ;\nT 2 C 1.0 ;\nP 1 C 0.0 0 , 2 ;\n"
      "Export\nIN 1 IS T 1 ;\nIN 2 IS P 1 ;\nIN 3 IS T 1 ;\n");
  EXPECT_EQ(Is_Input_Number(*net, 'T', 0), 2);
  EXPECT_EQ(Is_Input_Number(*net, 'P', 0), 1);
  EXPECT_EQ(Is_Input_Number(*net, 'T', 1), -1);
  EXPECT_EQ(Is_Input_Number(*net, 'P', 1), -1);
}

TEST(PlaceStatus, SinksOfTheDiscreteEventPart) {
  Gen_Context ctx;
  struct Case {
    const char* name;
    std::string net;
    int sinks;
  };
  const Case cases[] = {
      {"transition without output",
       "Transitions <- 1\nPlaces <- 1\nT 1 \"VALTOR|t\" C 1.0 ;\nP 1 C 0.0 1 0.0 , 1 ;\n", 1},
      {"only output is its own loop",
       "Transitions <- 1\nPlaces <- 1\nT 1 \"VALTOR|t\" C 1.0 , 1 ;\n"
       "P 1 \"VALTOR|l\" C 0.0 1 0.0 , 1 ;\n",
       1},
      {"place without output",
       "Transitions <- 1\nPlaces <- 1\nT 1 C 1.0 , 1 ;\nP 1 \"VALTOR|p\" C 0.0 0 ;\n", 1},
      {"equational objects only", "Transitions <- 1\nPlaces <- 1\nT 1 C 1.0 ;\nP 1 C 0.0 0 ;\n", 0},
      {"a closed discrete-event loop",
       "Transitions <- 1\nPlaces <- 1\nT 1 \"VALTOR|t\" C 1.0 , 1 ;\n"
       "P 1 \"VALTOR|p\" C 1.0 1 0.0 , 1 ;\n",
       0},
  };
  for (const Case& c : cases) {
    pn::NetPtr net = read(c.net);
    Tag_Objects(*net, 0);
    init_place_status(ctx, *net);
    EXPECT_EQ(Has_Sinks(ctx, *net), c.sinks) << c.name;
  }
}

TEST(Names, DummyPlacesAndUnnamedTransitions) {
  Gen_Context ctx;
  pn::PL_DES p;
  p.Name = "_Dummy_Place_3";
  EXPECT_EQ(Is_Dummy(p), 1);
  p.Name = "_Dummy_Plac";
  EXPECT_EQ(Is_Dummy(p), 0);
  p.Name = "";
  EXPECT_EQ(Is_Dummy(p), 0);
  pn::TR_DES t;
  t.Tr_Id = 4;
  EXPECT_EQ(write_trans_name(t), "_TR_4");
  t.Name = "cut";
  EXPECT_EQ(write_trans_name(t), "cut");
}

// Which transitions the programs give a fusion or a fission station: several
// real inputs or outputs, or one real arc of weight above 1; a recycling
// loop place counts for neither.
TEST(Stations, WeightsAndDegreesDecideFusionAndFission) {
  Gen_Context ctx;
  pn::NetPtr net = read(
      "Transitions <- 5\nPlaces <- 5\n"
      "T 1 \"src\" C 1.0 , 1 3 ;\n"     // one output, of weight 3
      "T 2 \"pair\" C 1.0 , 2 , 3 ;\n"  // input of weight 2, loop place 3
      "T 3 \"relay\" C 0.0 , 4 ;\n"     // one input, one output of weight 1
      "T 4 \"join\" C 1.0 ;\n"          // two inputs
      "T 5 \"other\" C 1.0 , 5 ;\n"
      "P 1 C 0.0 0 , 2 2 ;\n"
      "P 2 C 0.0 0 , 3 ;\n"
      "P 3 C 0.0 2 0.0 0.0 , 2 ;\n"
      "P 4 C 0.0 0 , 4 ;\n"
      "P 5 C 0.0 0 , 4 ;\n");
  for (auto& t : net->T) t.Tag = 1;
  for (auto& p : net->P) p.Tag = 1;
  init_place_status(ctx, *net);
  EXPECT_FALSE(Needs_Fusion(ctx, *net, 0));
  EXPECT_TRUE(Needs_Fission(ctx, *net, 0));
  EXPECT_TRUE(Needs_Fusion(ctx, *net, 1));    // weight 2, the loop place aside
  EXPECT_FALSE(Needs_Fission(ctx, *net, 1));  // one real output of weight 1
  EXPECT_FALSE(Is_Relay_Trans(ctx, *net, 1));
  EXPECT_FALSE(Needs_Fusion(ctx, *net, 2));
  EXPECT_FALSE(Needs_Fission(ctx, *net, 2));
  EXPECT_TRUE(Is_Relay_Trans(ctx, *net, 2));
  EXPECT_TRUE(Needs_Fusion(ctx, *net, 3));
  EXPECT_FALSE(Needs_Fission(ctx, *net, 3));
}
