// Stand-in: the library's source of routed customers, a class template the
// whole-net programs include as source and instantiate for their customers.
#ifndef ORV_STANDIN_ROUTING_SOURCE_CC
#define ORV_STANDIN_ROUTING_SOURCE_CC
template <class Customer>
class Routing_Source {
 public:
  Customer* next() { return 0; }
};
#endif
