// The simulation kernel. Every kernel object drives the one simulation of
// the process: the objects made so far, an event list in time order.
#ifndef VALTOR_KERNEL_HH
#define VALTOR_KERNEL_HH
#include "bool.h"

class Kernel {
 public:
  Kernel();
  virtual ~Kernel();
  void set_model_name(const char* name);
  void set_starting_time(double t);
  void set_ending_time(double t);
  void set_debug(bool on);
  void set_animation(bool on);
  void set_statistic(bool on);
  void init_stat();
  // Lists the objects (with set_debug(true) only).
  void print_registered();
  void run();
  // The current time, and the events carried out by the last run.
  double now();
  long long nb_events();
};
#endif
