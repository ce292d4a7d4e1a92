// Small hand-built models: each test starts a fresh simulation and owns
// the objects and laws it makes.
#ifndef VALTOR_TEST_FIXTURE_H
#define VALTOR_TEST_FIXTURE_H
#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <vector>

#include "Cst.hh"
#include "EQ_Thing.hh"
#include "Erlang.h"
#include "Geom.h"
#include "Binomial.h"
#include "MLCG.h"
#include "NegExp.h"
#include "OnOff.hh"
#include "SM_Rule.hh"
#include "Tamrick_FS_Station.hh"
#include "Tamrick_Kernel.hh"
#include "Tamrick_Routing.hh"
#include "Tamrick_Server_Normal_FIFO.hh"
#include "Tamrick_Server_Normal_LIFO.hh"
#include "Tamrick_Server_Normal_PRIORITY.hh"
#include "Tamrick_Sink.hh"
#include "Tamrick_Source.hh"
#include "Uniform.h"
#include "sim.h"

class Model : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("ORV_DRAWS");
    valtor::reset();
  }
  void TearDown() override {
    objects_.clear();
    valtor::reset();
  }
  template <class T, class... A>
  T* make(A... a) {
    T* p = new T(a...);
    objects_.push_back(std::unique_ptr<Routing_Server>(p));
    return p;
  }
  template <class T, class... A>
  T* law(A... a) {
    T* p = new T(a...);
    laws_.push_back(std::unique_ptr<Random>(p));
    return p;
  }
  MLCG* gen(long a, long b) {
    gens_.push_back(std::unique_ptr<MLCG>(new MLCG(a, b)));
    return gens_.back().get();
  }
  SM_Rule* rule() {
    rules_.push_back(std::unique_ptr<SM_Rule>(new SM_Rule));
    return rules_.back().get();
  }
  void run(double end) {
    Tamrick_Kernel k;
    k.set_starting_time(0.0);
    k.set_ending_time(end);
    k.run();
  }
  std::vector<std::unique_ptr<Random>> laws_;
  std::vector<std::unique_ptr<MLCG>> gens_;
  std::vector<std::unique_ptr<SM_Rule>> rules_;
  std::vector<std::unique_ptr<Routing_Server>> objects_;
};
#endif
