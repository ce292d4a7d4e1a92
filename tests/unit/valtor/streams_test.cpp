// The generators' streams, the routing rule and the clock's range.
#include <math.h>
#include <stdlib.h>

#include "fixture.h"

namespace {

class Streams : public Model {};

double draws_correlation(MLCG& a, MLCG& b, int n) {
  double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
  for (int i = 0; i < n; ++i) {
    double x = a.next(), y = b.next();
    sa += x;
    sb += y;
    saa += x * x;
    sbb += y * y;
    sab += x * y;
  }
  double cov = sab / n - (sa / n) * (sb / n);
  return cov / sqrt((saa / n - (sa / n) * (sa / n)) * (sbb / n - (sb / n) * (sb / n)));
}

TEST_F(Streams, ConsecutiveSeedPairsGiveIndependentStreams) {
  // The programs give law k the pair (309 + k, 726 + k). For independent
  // uniforms the fractional part of U1 + U3 - 2 U2 is uniform (U1 alone
  // makes it so): it lies within 0.1 of a whole number with probability
  // 0.2. The band is about 10 standard errors of 1e5 draws.
  const int n = 100000;
  MLCG g1(309, 726), g2(310, 727), g3(311, 728);
  int near = 0;
  for (int i = 0; i < n; ++i) {
    double x = g1.next() + g3.next() - 2 * g2.next();
    if (fabs(x - floor(x + 0.5)) < 0.1) ++near;
  }
  EXPECT_NEAR(near / (double)n, 0.2, 0.013);
  // Pairs that differ in one seed only, and the first draws.
  MLCG a(309, 726), b(310, 726), c(309, 727), d(310, 727);
  const int m = 200000;  // a correlation's standard error is 1/sqrt(m)
  EXPECT_LT(fabs(draws_correlation(a, b, m)), 4.5 / sqrt((double)m));
  EXPECT_LT(fabs(draws_correlation(c, d, m)), 4.5 / sqrt((double)m));
  MLCG f1(309, 726), f2(310, 727);
  EXPECT_NE(f1.next(), f2.next());
}

TEST_F(Streams, OnePairAlwaysGivesTheSameStream) {
  MLCG a(309, 726), b(309, 726);
  double first[5];
  for (int i = 0; i < 5; ++i) {
    first[i] = a.next();
    EXPECT_EQ(first[i], b.next());
    EXPECT_GT(first[i], 0.0);
    EXPECT_LT(first[i], 1.0);
  }
  a.reset();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(a.next(), first[i]);
}

TEST_F(Streams, ReplicationsOfASourceVaryAsIndependentRunsDo) {
  // A source R 5 2.0 (Erlang of mean 2, 5 stages) over 1e5 time units:
  // count variance T Var / mean^3 = 1e5 * 0.8 / 8 = 1e4, a spread of 100.
  // Twenty replications (ORV_REPLICATION 0..19) must spread about that
  // much: their sample deviation lies within [60, 150] but with
  // probability about 1e-4.
  const int reps = 20;
  double s = 0, ss = 0;
  for (int r = 0; r < reps; ++r) {
    setenv("ORV_REPLICATION", std::to_string(r).c_str(), 1);
    auto* src = make<Tamrick_Source>(0.0, law<Erlang>(2.0, 0.8, gen(309, 726)), -1);
    auto* sink = make<Tamrick_Sink>(0.0);
    src->set_succ(sink, 1.0);
    run(1e5);
    double x = sink->get_nb_service();
    s += x;
    ss += x * x;
    TearDown();
    SetUp();
  }
  unsetenv("ORV_REPLICATION");
  double sd = sqrt((ss - s * s / reps) / (reps - 1));
  EXPECT_NEAR(s / reps, 5e4, 4 * 100 / sqrt((double)reps));
  EXPECT_GT(sd, 60);
  EXPECT_LT(sd, 150);
}

TEST_F(Streams, ReplicationMustBeAWholeNumber) {
  setenv("ORV_REPLICATION", "2x", 1);
  EXPECT_EXIT(MLCG(1, 2), testing::ExitedWithCode(1), "valtor: ORV_REPLICATION must be a whole number, not \"2x\"");
  unsetenv("ORV_REPLICATION");
}

TEST_F(Streams, RoutingListsAreNotScaledToTheirSum) {
  // Draws 0.05, 0.15, ..., 0.95. Each successor takes the draws up to its
  // cumulative probability; the last takes what the others leave.
  struct Row {
    double p[3];
    int want[3];
  } rows[] = {
      {{0.3, 0.2, 0.0}, {3, 2, 5}},  // a short list: the missing one is 0
      {{0.1, 0.6, 0.5}, {1, 6, 3}},  // a sum of 1.2
      {{0.0, 0.0, 0.0}, {0, 0, 10}},
  };
  setenv("ORV_DRAWS", "0.05,0.15,0.25,0.35,0.45,0.55,0.65,0.75,0.85,0.95", 1);
  for (const Row& row : rows) {
    auto* src = make<Tamrick_Source>(0.0, law<Cst>(1.0), 10);
    auto* place = make<Tamrick_Routing>(0.0);
    Tamrick_Sink* out[3];
    src->set_succ(place, 1.0);
    for (int i = 0; i < 3; ++i) {
      out[i] = make<Tamrick_Sink>(0.0);
      place->set_succ(out[i], row.p[i]);
    }
    run(10.0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(out[i]->get_nb_service(), row.want[i]) << row.p[0] << " " << i;
    TearDown();
    setenv("ORV_DRAWS", "0.05,0.15,0.25,0.35,0.45,0.55,0.65,0.75,0.85,0.95", 1);
    valtor::reset();
  }
}

class Clock : public Model {};

TEST_F(Clock, DelaysBeyondTheRangeNeverEndInsteadOfWrapping) {
  // Services of 9.3e9 and of about 3e9 x 20 (exponential draws far in
  // the tail) end after any run the clock holds: none completes, no count
  // or sojourn goes negative.
  auto* src = make<Tamrick_Source>(0.0, law<Cst>(1.0), 100);
  auto* slow = make<Tamrick_Server_Normal_FIFO>(0.0, 100);
  auto* sink = make<Tamrick_Sink>(0.0);
  slow->set_service(law<Cst>(9.3e9), 1);
  src->set_succ(slow, 1.0);
  slow->set_succ(sink, 1.0);
  auto* src2 = make<Tamrick_Source>(0.0, law<Cst>(1.0), 100);
  auto* wild = make<Tamrick_Server_Normal_FIFO>(0.0, 100);
  wild->set_service(law<NegativeExpntl>(3e9, gen(309, 726)), 1);
  src2->set_succ(wild, 1.0);
  wild->set_succ(sink, 1.0);
  run(1000.0);
  EXPECT_EQ(slow->get_nb_service(), 0);
  // (0 + 1 + ... + 99 + 900 * 100) / 1000 customers on average.
  EXPECT_DOUBLE_EQ(slow->mean_population(), (4950.0 + 90000.0) / 1000.0);
  EXPECT_GE(wild->mean_sojourn(), 0.0);
  EXPECT_LE(wild->get_nb_service(), 1);
  EXPECT_GE(wild->mean_population(), 0.0);
}

TEST_F(Clock, RunsOfNoMeaningAreRefused) {
  struct Row {
    double end;
    const char* message;
  } rows[] = {
      {-5.0, "the ending time -5 is before the starting time 0"},
      {NAN, "the ending time is not a number"},
      {1e10, "the simulated time 1e\\+10 is beyond the clock's range \\(9e\\+09\\)"},
  };
  for (const Row& r : rows) EXPECT_EXIT(run(r.end), testing::ExitedWithCode(1), r.message) << r.end;
  // The edge of the range is a run.
  run(9e9);
}

TEST_F(Clock, ALoopThatMultipliesInNoTimeIsStoppedBeforeItFillsMemory) {
  // Each firing sends two customers back to the relay it came from.
  auto* relay = make<Tamrick_Routing>(0.0);
  auto* fis = make<Tamrick_FS_Station>(0.0);
  SM_Rule* r = rule();
  r->match(0, 1);
  r->split(0, 2, 0, relay, "");
  fis->set_rule(r);
  relay->set_succ(fis, 1.0);
  relay->insert_customer(0, 0, 0.0, 1);
  EXPECT_EXIT(run(1.0), testing::ExitedWithCode(1),
              "valtor: more than 1000000 moves waiting at time 0: customers go round a loop that takes no time");
}

}  // namespace
