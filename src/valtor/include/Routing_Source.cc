// A source of routed customers for programs that instantiate it for their
// customer type: it hands out customers from a recycled pool.
#ifndef VALTOR_ROUTING_SOURCE_CC
#define VALTOR_ROUTING_SOURCE_CC
#include <stdlib.h>

template <class Customer>
class Routing_Source {
 public:
  Routing_Source() : free_(0) {}
  ~Routing_Source() {
    while (free_) {
      Node* n = free_;
      free_ = n->next;
      delete n;
    }
  }
  Customer* next() {
    if (!free_) return &(new Node)->value;
    Node* n = free_;
    free_ = n->next;
    return &n->value;
  }
  void release(Customer* c) {
    Node* n = reinterpret_cast<Node*>(c);
    n->next = free_;
    free_ = n;
  }

 private:
  struct Node {
    Customer value;
    Node* next;
  };
  Node* free_;
};
#endif
