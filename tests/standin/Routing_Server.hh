// Stand-in: the receiving object of a token, known by its name only.
#ifndef ORV_STANDIN_ROUTING_SERVER_HH
#define ORV_STANDIN_ROUTING_SERVER_HH
#include "bool.h"

class Routing_Server {
 public:
  explicit Routing_Server(const char* name) : name_(name) {}
  virtual ~Routing_Server() {}
  const char* get_name() const { return name_; }

 private:
  const char* name_;
};
#endif
