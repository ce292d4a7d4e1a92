// Distributed programs in one process: proxies create their objects
// through the registry the program fills.
#include "CM_Auto_Kernel.hh"
#include "Proxy/PCM_EQ_Thing.hh"
#include "Proxy/PCM_Tamrick_Server_Normal_FIFO.hh"
#include "Proxy/PCM_Tamrick_Sink.hh"
#include "Proxy/PCM_Tamrick_Source.hh"
#include "Runtime.hh"
#include "fixture.h"

namespace {

// A class as oskel writes them: one input, one output, each arrival leaves
// at the next tick.
class Relay_Class : public CM_EQ_Thing {
 public:
  Relay_Class(Time a = 0, Time s = 1.0, int st = 0x8000) : CM_EQ_Thing(a, s, st) {}
  static Comm_Object* init_cstr() { return new Relay_Class(0, 1, 0x8000); }
  int Register_Input(int n) override { return n == 1 ? 0 : -1; }
  bool Register_Output(int n, CM_Routing_Server* d) override {
    if (n != 1) return false;
    dest = d;
    return true;
  }
  CM_Routing_Server* dest = nullptr;
  int pending = 0, ready = 0;

 protected:
  void Arrival(int, double) override { pending++; }
  void Increment() override {
    ready = pending;
    pending = 0;
  }
  Routing_Server* Next_Departure() override {
    if (ready == 0) return nullptr;
    ready--;
    return dest;
  }
};

using Distributed_Test = Model;

TEST_F(Distributed_Test, ProxyCreatesItsObjectFromTheRegistry) {
  Runtime::init(0, nullptr, "file_host.cnf", "test");
  Runtime::memo_comm_object()->store(new String("Relay_Class"), &Relay_Class::init_cstr);
  Cluster* cl1 = new ("host1") Cluster;
  CM_Auto_Kernel k;
  k.set_succ(Cluster::current(), cl1);
  PCM_EQ_Thing sw(cl1, "Relay_Class");
  ASSERT_NE(sw.object(), nullptr);
  objects_.push_back(std::unique_ptr<Routing_Server>(sw.object()));
  sw.set_name("Switch_0");
  EXPECT_STREQ(sw.object()->get_name(), "Switch_0");

  auto* src = make<PCM_Tamrick_Source>(Cluster::current());
  src->set_distribution(law<Cst>(1.0));
  src->max_generation(5);
  auto* sink = make<PCM_Tamrick_Sink>(cl1);
  int cls = sw.Register_Input(1);
  EXPECT_EQ(cls, 0);
  EXPECT_EQ(sw.Register_Input(2), -1);
  src->set_succ(&sw, 1.0, "", "");
  src->customers_class(cls);
  EXPECT_TRUE(sw.Register_Output(1, sink));
  k.set_max_simulation_time(10.0);
  k.run();
  k.halt();
  EXPECT_EQ(sink->get_nb_service(), 5);
  EXPECT_EQ(sw.get_nb_service(), 5);
  delete cl1;
}

TEST_F(Distributed_Test, ProxiedServerTakesItsSettingsAfterwards) {
  auto* src = make<Tamrick_Source>(0.0, law<Cst>(1.0), -1);
  auto* link = make<PCM_Tamrick_Server_Normal_FIFO>(Cluster::current());
  auto* sink = make<Tamrick_Sink>(0.0);
  link->set_nb_serveur(1);
  link->set_service(law<Cst>(0.5), 1);
  link->set_min_service_time(2.0);
  src->set_succ(link, 1.0);
  link->set_succ(sink, 1.0);
  run(10.0);
  // One server, services of at least 2: completions at 3, 5, 7, 9.
  EXPECT_EQ(sink->get_nb_service(), 4);
}

}  // namespace
