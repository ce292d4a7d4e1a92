// The equational object. Built without a step it is driven by the
// functions of the program's equational module, which the library reaches
// through weak references: a program without a module still links.
#include <stdio.h>

#include "CM_EQ_Thing.hh"
#include "EQ_Thing.hh"
#include "sim.h"

void Init() __attribute__((weak));
void Increment() __attribute__((weak));
Routing_Server* Next_Departure() __attribute__((weak));
void Arrival(int, double) __attribute__((weak));
void Report_Stat(ostream&) __attribute__((weak));
void Terminate() __attribute__((weak));
// The module's ticks per time unit.
extern int SCALE __attribute__((weak));

using namespace valtor;

EQ_Thing::EQ_Thing() : module_(true), activation_(0.0), step_(0.0), nb_ticks_(0) { kind_ = K_EQ; }
EQ_Thing::EQ_Thing(Time activation) : module_(true), activation_(activation), step_(0.0), nb_ticks_(0) {
  kind_ = K_EQ;
}
EQ_Thing::EQ_Thing(Time activation, Time step, int)
    : module_(false), activation_(activation), step_(step), nb_ticks_(0) {
  kind_ = K_EQ;
}
EQ_Thing::~EQ_Thing() {}

double EQ_Thing::valtor_step() const {
  if (!module_) return step_;
  if (&SCALE && SCALE > 0) return 1.0 / SCALE;
  return 1.0;
}

void EQ_Thing::valtor_start() {
  if (module_) {
    if (!&SCALE || SCALE <= 0)
      fprintf(stderr, "valtor: %s: the equational module gives no SCALE; one tick per time unit\n", name_);
    Init();
  }
}

void EQ_Thing::valtor_tick(double) {
  Increment();
  Routing_Server* r;
  while ((r = Next_Departure()) != 0) {
    nb_service_++;
    push_move(r, new_client(0, 0));
  }
}

void EQ_Thing::valtor_arrival(int cls, double now) { Arrival(cls, now); }

void EQ_Thing::valtor_finish() {
  if (module_) Terminate();
}

void EQ_Thing::valtor_report(ostream& out) {
  Compute_Stat();
  Report_Stat(out);
}

void EQ_Thing::Init() {
  if (module_ && ::Init) ::Init();
}
void EQ_Thing::Arrival(int cls, double now) {
  if (module_ && ::Arrival) ::Arrival(cls, now);
}
void EQ_Thing::Increment() {
  if (module_ && ::Increment) ::Increment();
}
void EQ_Thing::Increment_Initial() {}
void EQ_Thing::Increment_Regular() {}
Routing_Server* EQ_Thing::Next_Departure() {
  if (module_ && ::Next_Departure) return ::Next_Departure();
  return 0;
}
void EQ_Thing::Terminate() {
  if (module_ && ::Terminate) ::Terminate();
}
void EQ_Thing::Compute_Stat() {}
void EQ_Thing::Report_Stat(ostream& out) {
  if (module_ && ::Report_Stat) ::Report_Stat(out);
}
void EQ_Thing::Report_Trans_Stat(ostream&, int, char*, int, int) {}

DSim_Obj::~DSim_Obj() {}
Comm_Object::~Comm_Object() {}

CM_EQ_Thing::CM_EQ_Thing(Time activation, Time step, int stacksize) : EQ_Thing(activation, step, stacksize) {}
CM_EQ_Thing::~CM_EQ_Thing() {}
int CM_EQ_Thing::Register_Input(int) { return -1; }
bool CM_EQ_Thing::Register_Output(int, CM_Routing_Server*) { return false; }
