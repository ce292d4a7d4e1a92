// Stand-in: an object of the simulation library that receives tokens. It
// has a name and accepts the configuration calls of generated programs;
// nothing is simulated.
#ifndef ORV_STANDIN_ROUTING_SERVER_HH
#define ORV_STANDIN_ROUTING_SERVER_HH
#include "bool.h"

class SM_Rule;

class Routing_Server {
 public:
  Routing_Server() : name_("") {}
  explicit Routing_Server(const char* name) : name_(name) {}
  virtual ~Routing_Server() {}
  const char* get_name() const { return name_; }
  void set_name(const char* name) { name_ = name; }
  void set_zel_name(const char*) {}
  void set_succ(Routing_Server*, double, const char*, const char*) {}
  void set_output_class(int) {}
  void customers_class(int) {}
  void customers_priority(int) {}
  void insert_customer(int, int, double, int) {}
  void set_rule(SM_Rule*) {}
  void set_trace_status(bool) {}
  void compute_stat() {}
  void report_stat() {}
  int get_nb_service() { return 0; }
  int total_population() { return 0; }
  template <class Law>
  void set_service(Law*, int) {}

 private:
  const char* name_;
};
#endif
