// A customer: the token that moves between objects. Customers are pooled
// by the library and recycled, never allocated per event.
#ifndef VALTOR_TAMRICK_CLIENT_HH
#define VALTOR_TAMRICK_CLIENT_HH

class Tamrick_Client {
 public:
  int cls;
  int prio;
  // When it entered the object that holds it.
  double arrival;
  Tamrick_Client* next;
};
#endif
