// A plain equational module: the library drives its global functions,
// ticking every 1/SCALE, Init when the run starts and Terminate at its end.
#include <sstream>
#include <string>

#include "fixture.h"

int SCALE = 4;

namespace {
int inits, terminates, increments, arrivals, pending;
Routing_Server* exit_object;
}  // namespace

void Init() { inits++; }
void Terminate() { terminates++; }
void Increment() { increments++; }
void Arrival(int, double) { arrivals++; pending++; }
Routing_Server* Next_Departure() {
  if (pending == 0) return nullptr;
  pending--;
  return exit_object;
}
void Report_Stat(ostream& out) { out << "module report\n"; }

namespace {

using Module_Test = Model;

TEST_F(Module_Test, PlainObjectRunsTheModuleFunctions) {
  inits = terminates = increments = arrivals = pending = 0;
  auto* eq = make<EQ_Thing>(0.0);
  auto* src = make<Tamrick_Source>(0.0, law<Cst>(0.5), -1);
  auto* sink = make<Tamrick_Sink>(0.0);
  exit_object = sink;
  src->set_succ(eq, 1.0);
  run(2.0);
  // Ticks at 0, 0.25, ..., 2; arrivals at 0.5, 1, 1.5, 2, each leaving at
  // the tick of its instant.
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(terminates, 1);
  EXPECT_EQ(increments, 9);
  EXPECT_EQ(arrivals, 4);
  EXPECT_EQ(sink->get_nb_service(), 4);
  std::ostringstream out;
  eq->report_stat(out);
  EXPECT_EQ(out.str(), "module report\n");
}

}  // namespace
