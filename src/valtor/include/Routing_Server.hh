// The objects of a simulation. Every object receives customers and passes
// them on; what it does in between depends on its kind, which the event
// loop switches on (no virtual call per event). The configuration calls
// made on a proxy are carried out on the object it stands for.
#ifndef VALTOR_ROUTING_SERVER_HH
#define VALTOR_ROUTING_SERVER_HH
#include "iostream.h"
#include "bool.h"
#include "Tamrick_Client.hh"

typedef double Time;

class Random;
class SM_Rule;
class Valtor_Series;

class Routing_Server {
 public:
  enum Kind { K_PLAIN, K_SOURCE, K_SINK, K_ROUTING, K_SERVER, K_FS, K_EQ };
  enum Discipline { D_FIFO, D_LIFO, D_PRIORITY };

  Routing_Server();
  explicit Routing_Server(const char* name);
  virtual ~Routing_Server();

  // Configuration.
  const char* get_name() const;
  void set_name(const char* name);
  void set_zel_name(const char* name);
  // A successor with its routing probability; the two texts are labels.
  void set_succ(Routing_Server* next, double proba, const char* a = "", const char* b = "");
  void set_output_class(int cls);
  void customers_class(int cls);
  void customers_priority(int prio);
  void insert_customer(int cls, int prio, double at, int count);
  void set_rule(SM_Rule* rule);
  void set_trace_status(bool on);
  void set_service(Random* law, int phases = 1);
  void set_min_service_time(double t);
  void set_nb_serveur(int n);

  // Statistics.
  void compute_stat();
  void report_stat();
  void report_stat(ostream& out);
  int get_nb_service();
  int total_population();
  // Customers in the object now (waiting, in service or held).
  int get_population();
  double mean_population();
  double mean_sojourn();
  double throughput();

  // The object a configuration call reaches (itself, or what a proxy
  // stands for).
  Routing_Server* real() const { return real_; }

  // Library internals, public for the kernel's sake. What the event loop
  // reads comes first, to share cache lines.
  int kind_;
  bool relabel_;
  bool unlimited_;
  bool trace_;
  bool stat_requested_;
  int nb_succ_;
  int out_class_;
  int busy_;
  int nb_servers_;
  Routing_Server* real_;
  Routing_Server** succ_;
  double* cum_;
  Random* law_;
  Tamrick_Client* head_;
  Tamrick_Client* tail_;
  Valtor_Series* series_;
  long long population_;
  double area_;
  double last_change_;
  long long nb_service_;
  long long nb_left_;
  double sojourn_sum_;
  double min_service_;
  long long nb_arrival_;
  int discipline_;
  SM_Rule* rule_;

  char* name_;
  char* zel_name_;
  int index_;

  // Routing: the probabilities given, in order.
  int cap_succ_;
  double* proba_;

  // Sources.
  double start_;
  long long to_generate_;
  long long generated_;
  int cust_class_;
  int cust_prio_;

  // Initial customers.
  int nb_initial_;
  int cap_initial_;
  double* initial_;

  // Fusion and fission: customers waiting for each matched class.
  long long* waiting_;
  Tamrick_Client** waiting_head_;
  Tamrick_Client** waiting_tail_;

 protected:
  void init_object(int kind, const char* name);
};

// The successor type the distributed classes name is the same object.
typedef Routing_Server CM_Routing_Server;
#endif
