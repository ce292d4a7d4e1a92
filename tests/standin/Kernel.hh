// Stand-in: the simulation kernel.
#ifndef ORV_STANDIN_KERNEL_HH
#define ORV_STANDIN_KERNEL_HH
class Kernel {
 public:
  virtual ~Kernel() {}
  void set_model_name(const char*) {}
  void set_starting_time(double) {}
  void set_ending_time(double) {}
  void set_debug(bool) {}
  void set_animation(bool) {}
  void set_statistic(bool) {}
  void print_registered() {}
  void run() {}
};
#endif
