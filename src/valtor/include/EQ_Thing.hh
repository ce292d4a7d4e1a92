// The object that holds an equational part. It ticks every `step` time
// units from its activation time; at each tick it calls Increment() and then
// Next_Departure() until that returns no object, sending one customer to
// each object returned. Each customer it receives becomes Arrival(class,
// now). Built with EQ_Thing() or EQ_Thing(activation), the object is driven
// by the functions of the program's equational module (Init, Increment,
// Next_Departure, Arrival, Report_Stat, Terminate) and ticks every 1/SCALE;
// a class derived from it overrides the methods instead.
#ifndef VALTOR_EQ_THING_HH
#define VALTOR_EQ_THING_HH
#include "iostream.h"
#include "Routing_Server.hh"

class EQ_Thing : public Routing_Server {
 public:
  EQ_Thing();
  explicit EQ_Thing(Time activation);
  EQ_Thing(Time activation, Time step, int stacksize = 0x8000);
  virtual ~EQ_Thing();

  // Used by the kernel.
  void valtor_start();
  void valtor_tick(double now);
  void valtor_arrival(int cls, double now);
  void valtor_finish();
  void valtor_report(ostream& out);
  double valtor_step() const;
  bool module_;
  double activation_;
  double step_;
  long long nb_ticks_;

 protected:
  virtual void Init();
  virtual void Arrival(int cls, double now);
  virtual void Increment();
  virtual void Increment_Initial();
  virtual void Increment_Regular();
  virtual Routing_Server* Next_Departure();
  virtual void Terminate();
  virtual void Compute_Stat();
  virtual void Report_Stat(ostream& out);
  virtual void Report_Trans_Stat(ostream& out, int id, char* name, int count, int time);
};
#endif
