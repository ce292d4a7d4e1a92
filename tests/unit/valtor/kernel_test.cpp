// Counts at the end time of small models worked out by hand, and closed
// forms of single queues over long runs.
#include <math.h>

#include <string>
#include <vector>

#include "fixture.h"

namespace {

using Kernel_Test = Model;

TEST_F(Kernel_Test, ConstantSourceEmitsFloorOfTOverCEvenOnDecimalSums) {
  // (interval, end, count limit, customers at the sink). 0.1 three times
  // is 0.30000000000000004 in doubles; the end time belongs to the run.
  struct Row {
    double c, end;
    int limit;
    int expected;
  } rows[] = {{1.0, 10.0, -1, 10}, {0.1, 0.3, -1, 3}, {0.1, 10.0, -1, 100}, {0.3, 0.9, -1, 3},
              {0.7, 100.0, -1, 142}, {2.0, 9.0, -1, 4}, {1.0, 10.0, 4, 4}, {1.0, 10.0, 0, 0}};
  for (const Row& r : rows) {
    SetUp();
    auto* src = make<Tamrick_Source>(0.0, law<Cst>(r.c), r.limit);
    auto* sink = make<Tamrick_Sink>(0.0);
    src->set_succ(sink, 1.0, "", "");
    run(r.end);
    EXPECT_EQ(sink->get_nb_service(), r.expected) << "c=" << r.c << " T=" << r.end;
    EXPECT_EQ(src->total_population(), r.expected) << "c=" << r.c << " T=" << r.end;
    TearDown();
  }
}

TEST_F(Kernel_Test, SourceStartsOneIntervalAfterItsStart) {
  auto* src = make<Tamrick_Source>(2.5, law<Cst>(1.0), -1);
  auto* sink = make<Tamrick_Sink>(0.0);
  src->set_succ(sink, 1.0);
  run(10.0);
  // 3.5, 4.5, ..., 9.5
  EXPECT_EQ(sink->get_nb_service(), 7);
}

TEST_F(Kernel_Test, FifoServerCountsByServerNumber) {
  // Arrivals at 1, 2, ..., 10; services of 1.5 time units; end 10.
  struct Row {
    int servers;
    int completed;
    int left_inside;
  } rows[] = {
      {1, 6, 4},    // completions at 2.5, 4, 5.5, 7, 8.5, 10
      {2, 8, 2},    // each served on arrival: 2.5, ..., 9.5
      {100, 8, 2},  // INFINI: as many servers as customers
      {0, 0, 10},   // never serves
  };
  for (const Row& r : rows) {
    SetUp();
    auto* src = make<Tamrick_Source>(0.0, law<Cst>(1.0), -1);
    auto* srv = make<Tamrick_Server_Normal_FIFO>(0.0, r.servers);
    auto* sink = make<Tamrick_Sink>(0.0);
    srv->set_service(law<Cst>(1.5), 1);
    src->set_succ(srv, 1.0);
    srv->set_succ(sink, 1.0);
    run(10.0);
    EXPECT_EQ(srv->get_nb_service(), r.completed) << r.servers << " servers";
    EXPECT_EQ(sink->get_nb_service(), r.completed) << r.servers << " servers";
    EXPECT_EQ(srv->get_population(), r.left_inside) << r.servers << " servers";
    TearDown();
  }
}

TEST_F(Kernel_Test, ServiceTimeIsDrawnWhenTheServiceStarts) {
  // Three customers at 0 queue for one server; the law's draws 1, 2, 3
  // (fixed through ORV_DRAWS) go to the services in the order they start.
  setenv("ORV_DRAWS", "1,2,3", 1);
  auto* srv = make<Tamrick_Server_Normal_FIFO>(0.0, 1);
  auto* sink = make<Tamrick_Sink>(0.0);
  srv->set_service(law<Uniform>(0.0, 1.0, gen(1, 2)), 1);
  srv->set_succ(sink, 1.0);
  srv->insert_customer(0, 0, 0.0, 3);
  run(5.9);
  // Completions at 1, 3 (1 + 2); the third would end at 6.
  EXPECT_EQ(sink->get_nb_service(), 2);
}

TEST_F(Kernel_Test, InitialCustomersGoRoundARing) {
  // One token between a server of 1 time unit and a relay place: a
  // completion at every whole time, the end one included.
  auto* srv = make<Tamrick_Server_Normal_FIFO>(0.0, 100);
  auto* place = make<Tamrick_Routing>(0.0);
  srv->set_service(law<Cst>(1.0), 1);
  srv->set_succ(place, 1.0);
  place->set_succ(srv, 1.0);
  place->insert_customer(0, 0, 0.0, 2);
  run(10.0);
  EXPECT_EQ(srv->get_nb_service(), 20);
  EXPECT_EQ(place->get_nb_service(), 22);
  EXPECT_EQ(srv->get_population() + place->get_population(), 2);
}

TEST_F(Kernel_Test, RoutingDrawTakesTheFirstCumulativeProbabilityNotBelowIt) {
  setenv("ORV_DRAWS", "0.2,0.9,0.25,0.26,1.0,0.0", 1);
  auto* src = make<Tamrick_Source>(0.0, law<Cst>(1.0), 6);
  auto* place = make<Tamrick_Routing>(0.0);
  auto* a = make<Tamrick_Sink>(0.0);
  auto* b = make<Tamrick_Sink>(0.0);
  src->set_succ(place, 1.0);
  place->set_succ(a, 0.25);
  place->set_succ(b, 0.75);
  run(10.0);
  // 0.2 -> a, 0.9 -> b, 0.25 -> a, 0.26 -> b, 1.0 -> b, 0.0 -> a
  EXPECT_EQ(a->get_nb_service(), 3);
  EXPECT_EQ(b->get_nb_service(), 3);
}

TEST_F(Kernel_Test, RoutingShareFollowsTheProbabilities) {
  auto* src = make<Tamrick_Source>(0.0, law<Cst>(1.0), -1);
  auto* place = make<Tamrick_Routing>(0.0);
  auto* a = make<Tamrick_Sink>(0.0);
  auto* b = make<Tamrick_Sink>(0.0);
  auto* c = make<Tamrick_Sink>(0.0);
  src->set_succ(place, 1.0);
  place->set_succ(a, 0.2);
  place->set_succ(b, 0.3);
  place->set_succ(c, 0.5);
  run(100000.0);
  EXPECT_NEAR(a->get_nb_service() / 1e5, 0.2, 0.01);
  EXPECT_NEAR(b->get_nb_service() / 1e5, 0.3, 0.01);
  EXPECT_NEAR(c->get_nb_service() / 1e5, 0.5, 0.01);
}

TEST_F(Kernel_Test, FusionFiresAsOftenAsItsRuleIsMet) {
  // Class 1 every 1, class 2 every 0.5: by 10, 10 of the first and 20 of
  // the second; a firing takes one and two.
  auto* s1 = make<Tamrick_Source>(0.0, law<Cst>(1.0), -1);
  auto* s2 = make<Tamrick_Source>(0.0, law<Cst>(0.5), -1);
  auto* fus = make<Tamrick_FS_Station>();
  auto* sink = make<Tamrick_Sink>(0.0);
  s1->customers_class(1);
  s2->customers_class(2);
  s1->set_succ(fus, 1.0);
  s2->set_succ(fus, 1.0);
  SM_Rule* r = rule();
  r->match(1, 1);
  r->match(2, 2);
  r->split(0, 1, 0, sink, "");
  fus->set_rule(r);
  fus->set_succ(sink, 1.0);  // the split goes first: nothing more is sent here
  run(10.0);
  EXPECT_EQ(fus->get_nb_service(), 10);
  EXPECT_EQ(sink->get_nb_service(), 10);
  EXPECT_EQ(fus->get_population(), 0);
}

TEST_F(Kernel_Test, FusionWaitsForTheSlowerInput) {
  auto* s1 = make<Tamrick_Source>(0.0, law<Cst>(1.0), -1);
  auto* s2 = make<Tamrick_Source>(0.0, law<Cst>(3.0), -1);
  auto* fus = make<Tamrick_FS_Station>();
  auto* sink = make<Tamrick_Sink>(0.0);
  s1->customers_class(1);
  s2->customers_class(2);
  s1->set_succ(fus, 1.0);
  s2->set_succ(fus, 1.0);
  SM_Rule* r = rule();
  r->match(1, 1);
  r->match(2, 1);
  fus->set_rule(r);
  fus->set_succ(sink, 1.0);  // no split: one customer to the successor
  run(10.0);
  EXPECT_EQ(sink->get_nb_service(), 3);
  EXPECT_EQ(fus->get_population(), 7);
}

TEST_F(Kernel_Test, FissionSplitsIntoItsDestinationsWithTheirClasses) {
  auto* src = make<Tamrick_Source>(0.0, law<Cst>(1.0), -1);
  auto* fis = make<Tamrick_FS_Station>();
  auto* a = make<Tamrick_FS_Station>();
  auto* b = make<Tamrick_FS_Station>();
  auto* sa = make<Tamrick_Sink>(0.0);
  auto* sb = make<Tamrick_Sink>(0.0);
  src->set_succ(fis, 1.0);
  SM_Rule* r = rule();
  r->split(3, 2, 0, a, "");
  r->split(4, 1, 0, b, "");
  r->match(0, 1);
  fis->set_rule(r);
  // Downstream stations take only the class the split gave.
  SM_Rule* ra = rule();
  ra->match(3, 2);
  a->set_rule(ra);
  a->set_succ(sa, 1.0);
  SM_Rule* rb = rule();
  rb->match(4, 1);
  b->set_rule(rb);
  b->set_succ(sb, 1.0);
  run(10.0);
  EXPECT_EQ(fis->get_nb_service(), 10);
  EXPECT_EQ(sa->get_nb_service(), 10);
  EXPECT_EQ(sb->get_nb_service(), 10);
}

TEST_F(Kernel_Test, OutputClassRelabelsLeavingCustomers) {
  // Customers of class 1 pass a relay that labels them 7; the station
  // takes 7 only.
  auto* src = make<Tamrick_Source>(0.0, law<Cst>(1.0), -1);
  auto* relay = make<Tamrick_Routing>(0.0);
  auto* fus = make<Tamrick_FS_Station>();
  auto* sink = make<Tamrick_Sink>(0.0);
  src->customers_class(1);
  src->set_succ(relay, 1.0);
  relay->set_succ(fus, 1.0);
  relay->set_output_class(7);
  SM_Rule* r = rule();
  r->match(7, 1);
  fus->set_rule(r);
  fus->set_succ(sink, 1.0);
  run(5.0);
  EXPECT_EQ(sink->get_nb_service(), 5);
}

TEST_F(Kernel_Test, SetNameCopiesItsArgument) {
  char buf[16] = "Switch_0";
  auto* a = make<Tamrick_Sink>(0.0);
  a->set_name(buf);
  buf[7] = '1';
  auto* b = make<Tamrick_Sink>(0.0);
  b->set_name(buf);
  EXPECT_STREQ(a->get_name(), "Switch_0");
  EXPECT_STREQ(b->get_name(), "Switch_1");
}

// An equational part driven by the library as the generated classes are:
// it logs what the library calls, and hands `per_tick` tokens to `dest`
// at each tick.
class Logging_EQ : public EQ_Thing {
 public:
  Logging_EQ(double activation, double step) : EQ_Thing(activation, step, 0x8000) {}
  std::vector<std::string> log;
  Routing_Server* dest = nullptr;
  int per_tick = 0;
  int left = 0;

 protected:
  void Arrival(int cls, double now) override { log.push_back("arrival " + std::to_string(cls) + " at " + num(now)); }
  void Increment() override {
    log.push_back("tick at " + num(valtor::sim().now));
    left = per_tick;
  }
  Routing_Server* Next_Departure() override {
    if (left == 0) return nullptr;
    --left;
    return dest;
  }
  static std::string num(double t) {
    char b[32];
    snprintf(b, sizeof b, "%g", t);
    return b;
  }
};

TEST_F(Kernel_Test, CustomersMoveBeforeTheTickOfTheSameInstant) {
  auto* eq = make<Logging_EQ>(0.0, 0.5);
  auto* src = make<Tamrick_Source>(0.0, law<Cst>(1.0), 2);
  src->customers_class(4);
  src->set_succ(eq, 1.0);
  run(2.0);
  std::vector<std::string> expected = {"tick at 0",     "tick at 0.5",   "arrival 4 at 1", "tick at 1",
                                       "tick at 1.5",   "arrival 4 at 2", "tick at 2"};
  EXPECT_EQ(eq->log, expected);
}

TEST_F(Kernel_Test, EachDepartureOfATickIsOneCustomer) {
  // Ticks every 0.25 from 0.5 to 3 inclusive: 11 ticks, 3 tokens each.
  auto* eq = make<Logging_EQ>(0.5, 0.25);
  auto* sink = make<Tamrick_Sink>(0.0);
  eq->dest = sink;
  eq->per_tick = 3;
  run(3.0);
  EXPECT_EQ(sink->get_nb_service(), 33);
  EXPECT_EQ(eq->get_nb_service(), 33);
}

TEST_F(Kernel_Test, DepartureToAFusionCarriesTheRelayClass) {
  // The equational part's tokens go through a relay that labels them, so
  // a fusion behind it can tell them apart.
  auto* eq = make<Logging_EQ>(0.0, 1.0);
  auto* relay = make<Tamrick_Routing>(0.0);
  auto* src = make<Tamrick_Source>(0.0, law<Cst>(2.0), -1);
  auto* fus = make<Tamrick_FS_Station>();
  auto* sink = make<Tamrick_Sink>(0.0);
  eq->dest = relay;
  eq->per_tick = 1;
  relay->set_output_class(8);
  relay->set_succ(fus, 1.0);
  src->customers_class(9);
  src->set_succ(fus, 1.0);
  SM_Rule* r = rule();
  r->match(8, 1);
  r->match(9, 1);
  fus->set_rule(r);
  fus->set_succ(sink, 1.0);
  run(10.0);
  EXPECT_EQ(sink->get_nb_service(), 5);
}

TEST_F(Kernel_Test, LifoAndPriorityQueuesServeInTheirOrder) {
  // Three customers wait for one server of 1 time unit; classes 1, 2, 3
  // with priorities 1, 3, 2. The first in service is the first inserted.
  struct Row {
    int discipline;
    std::vector<int> order;
  } rows[] = {{0, {1, 2, 3}}, {1, {1, 3, 2}}, {2, {1, 2, 3}}};
  for (const Row& row : rows) {
    SetUp();
    Routing_Server* srv;
    if (row.discipline == 0)
      srv = make<Tamrick_Server_Normal_FIFO>(0.0, 1);
    else if (row.discipline == 1)
      srv = make<Tamrick_Server_Normal_LIFO>(0.0, 1);
    else
      srv = make<Tamrick_Server_Normal_PRIORITY>(0.0, 1);
    auto* eq = make<Logging_EQ>(100.0, 1.0);
    srv->set_service(law<Cst>(1.0), 1);
    srv->set_succ(eq, 1.0);
    srv->insert_customer(1, 1, 0.0, 1);
    srv->insert_customer(2, 3, 0.0, 1);
    srv->insert_customer(3, 2, 0.0, 1);
    run(5.0);
    ASSERT_EQ(eq->log.size(), 3u);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(eq->log[i], "arrival " + std::to_string(row.order[i]) + " at " + std::to_string(i + 1))
          << "discipline " << row.discipline;
    TearDown();
  }
}

// Long runs of single queues against their closed forms (fixed seeds; the
// bands are a few standard errors of runs of this length).
struct Queue_Run {
  double throughput, mean_number, mean_sojourn;
};

class Closed_Forms : public Model {
 protected:
  Queue_Run queue(Random* arrivals, Random* service, int servers, double end) {
    auto* src = make<Tamrick_Source>(0.0, arrivals, -1);
    auto* srv = make<Tamrick_Server_Normal_FIFO>(0.0, servers);
    auto* sink = make<Tamrick_Sink>(0.0);
    srv->set_service(service, 1);
    src->set_succ(srv, 1.0);
    srv->set_succ(sink, 1.0);
    run(end);
    return Queue_Run{srv->throughput(), srv->mean_population(), srv->mean_sojourn()};
  }
};

TEST_F(Closed_Forms, MM1ThroughputAndMeanNumber) {
  // lambda 0.5, mu 1: rho/(1-rho) = 1, sojourn 1/(mu-lambda) = 2.
  Queue_Run q = queue(law<NegativeExpntl>(2.0, gen(309, 726)), law<NegativeExpntl>(1.0, gen(310, 727)), 1, 4e5);
  EXPECT_NEAR(q.throughput, 0.5, 0.5 * 0.01);
  EXPECT_NEAR(q.mean_number, 1.0, 0.05);
  EXPECT_NEAR(q.mean_sojourn, 2.0, 0.1);
}

TEST_F(Closed_Forms, MD1MeanNumber) {
  // Pollaczek-Khinchine with a constant service of 1 at lambda 0.5:
  // rho + rho^2 / (2 (1 - rho)) = 0.75.
  Queue_Run q = queue(law<NegativeExpntl>(2.0, gen(311, 728)), law<Cst>(1.0), 1, 4e5);
  EXPECT_NEAR(q.throughput, 0.5, 0.5 * 0.01);
  EXPECT_NEAR(q.mean_number, 0.75, 0.03);
}

TEST_F(Closed_Forms, MMInfinityMeanNumber) {
  // lambda 2, mean service 3: lambda / mu = 6, whatever the service law.
  Queue_Run q = queue(law<NegativeExpntl>(0.5, gen(312, 729)), law<NegativeExpntl>(3.0, gen(313, 730)), 100, 1e5);
  EXPECT_NEAR(q.mean_number, 6.0, 0.15);
  Queue_Run e = queue(law<NegativeExpntl>(0.5, gen(314, 731)), law<Erlang>(3.0, 3.0, gen(315, 732)), 100, 1e5);
  EXPECT_NEAR(e.mean_number, 6.0, 0.15);
}

TEST_F(Closed_Forms, LawMeans) {
  // Each law class against its stated mean over many draws.
  struct Row {
    Random* law;
    double mean;
  } rows[] = {
      {law<Cst>(2.5), 2.5},
      {law<NegativeExpntl>(1.5, gen(1, 2)), 1.5},
      {law<Uniform>(0.5, 1.5, gen(3, 4)), 1.0},
      {law<Erlang>(2.0, 1.0, gen(5, 6)), 2.0},  // 4 stages
      {law<Geometric>(2.0, gen(7, 8)), 2.0},
      {law<Binomial>(1, 0.3, gen(9, 10)), 0.3},
      {law<Binomial>(10, 0.3, gen(11, 12)), 3.0},
      {law<OnOff>(2.0, 1.0, 3.0, gen(13, 14)), 2.0},
  };
  for (const Row& r : rows) {
    double s = 0.0;
    const int n = 200000;
    for (int i = 0; i < n; ++i) s += r.law->draw();
    EXPECT_NEAR(s / n, r.mean, 0.02 * r.mean) << "kind " << r.law->kind();
    EXPECT_DOUBLE_EQ(r.law->mean(), r.mean) << "kind " << r.law->kind();
  }
}

}  // namespace
