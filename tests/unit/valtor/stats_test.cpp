// The statistics each object reports and the animation series files.
#include <stdio.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "fixture.h"

namespace {

using Stats_Test = Model;

TEST_F(Stats_Test, ReportLineOfAServer) {
  // Arrivals at 1, ..., 10, services of 1.5 with one server, end 10:
  // completions at 2.5, 4, ..., 10 (6); waits of 0.5 k before service k + 1.
  auto* src = make<Tamrick_Source>(0.0, law<Cst>(1.0), -1);
  auto* srv = make<Tamrick_Server_Normal_FIFO>(0.0, 1);
  auto* sink = make<Tamrick_Sink>(0.0);
  srv->set_name("VALTOR|serve");
  srv->set_service(law<Cst>(1.5), 1);
  src->set_succ(srv, 1.0);
  srv->set_succ(sink, 1.0);
  run(10.0);
  // Sojourns 1.5, 2, 2.5, 3, 3.5, 4: mean 2.75. Customers present: the
  // integral of the count over [0, 10] is the time each of the 10 spent
  // inside by 10: 16.5 for the six that left, then 3 + 2 + 1 + 0 for the
  // customers of 7, 8, 9 and 10.
  std::ostringstream out;
  srv->report_stat(out);
  EXPECT_EQ(out.str(), "VALTOR|serve  services 6  throughput 0.600000  mean number 2.250000  mean sojourn 2.750000\n");
  EXPECT_EQ(srv->get_nb_service(), 6);
  EXPECT_EQ(src->total_population(), 10);
  EXPECT_EQ(src->get_nb_service(), 10);
}

TEST_F(Stats_Test, LittleLawHoldsOnAServerThatEmpties) {
  // Five customers at 0 through one server of 2: all gone by 10.
  auto* srv = make<Tamrick_Server_Normal_FIFO>(0.0, 1);
  auto* sink = make<Tamrick_Sink>(0.0);
  srv->set_service(law<Cst>(2.0), 1);
  srv->set_succ(sink, 1.0);
  srv->insert_customer(0, 0, 0.0, 5);
  run(10.0);
  // Sojourns 2, 4, 6, 8, 10: mean 6; mean number 30 / 10 = 3 = 0.5 * 6.
  EXPECT_DOUBLE_EQ(srv->mean_sojourn(), 6.0);
  EXPECT_DOUBLE_EQ(srv->mean_population(), 3.0);
  EXPECT_DOUBLE_EQ(srv->throughput() * srv->mean_sojourn(), srv->mean_population());
}

class Animation : public Model {
 protected:
  void SetUp() override {
    Model::SetUp();
    char tmpl[] = "/tmp/valtor_kemp_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    ASSERT_NE(getcwd(old_, sizeof old_), nullptr);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(old_), 0);
    std::string cmd = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(system(cmd.c_str()), 0);
    Model::TearDown();
  }
  static std::string read(const char* name) {
    std::ifstream f(name);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  std::string dir_;
  char old_[4096];
};

TEST_F(Animation, CustomerCountSeriesInFilesOfSafeNames) {
  auto* src = make<Tamrick_Source>(0.0, law<Cst>(1.0), 2);
  auto* srv = make<Tamrick_Server_Normal_FIFO>(0.0, 1);
  auto* twin = make<Tamrick_Routing>(0.0);
  auto* sink = make<Tamrick_Sink>(0.0);
  src->set_name("VALTOR|arrive");
  srv->set_name("VALTOR|serve");
  twin->set_name("VALTOR/serve");
  sink->set_name("The_Sink");
  srv->set_service(law<Cst>(1.5), 1);
  src->set_succ(srv, 1.0);
  srv->set_succ(twin, 1.0);
  twin->set_succ(sink, 1.0);
  Tamrick_Kernel k;
  k.set_ending_time(5.0);
  k.set_animation(true);
  k.run();
  // Arrivals at 1 and 2, departures at 2.5 and 4.
  EXPECT_EQ(read("VALTOR_serve__Nombre_de_clients.dat"),
            "# VALTOR|serve__Nombre_de_clients__temps VALTOR|serve__Nombre_de_clients\n"
            "0 0\n1 1\n2 2\n2.5 1\n4 0\n5 0\n");
  // The relay's count goes up and down at one instant: its last value there.
  EXPECT_EQ(read("VALTOR_serve-2__Nombre_de_clients.dat"),
            "# VALTOR/serve__Nombre_de_clients__temps VALTOR/serve__Nombre_de_clients\n"
            "0 0\n2.5 0\n4 0\n5 0\n");
  EXPECT_NE(read("The_Sink__Nombre_de_clients.dat"), "");
  // Sources have no series.
  EXPECT_EQ(read("VALTOR_arrive__Nombre_de_clients.dat"), "");
}

}  // namespace
