// Stand-in: the proxy base class of a distributed equational object.
#ifndef ORV_STANDIN_PCM_EQ_THING_HH
#define ORV_STANDIN_PCM_EQ_THING_HH
class Cluster;
class DSim_Obj;
class Proxy_Comm_Object;
class Entity_Id {};

class PCM_EQ_Thing {
 public:
  PCM_EQ_Thing(Cluster*, const char*) {}
  explicit PCM_EQ_Thing(DSim_Obj*) {}
  PCM_EQ_Thing(Entity_Id&, Cluster*, Proxy_Comm_Object*) {}
};
#endif
