// A fusion or fission station: it fires, in no time, as often as its rule
// is met (see SM_Rule.hh).
#ifndef VALTOR_TAMRICK_FS_STATION_HH
#define VALTOR_TAMRICK_FS_STATION_HH
#include "Routing_Server.hh"
#include "SM_Rule.hh"

class Tamrick_FS_Station : public Routing_Server {
 public:
  explicit Tamrick_FS_Station(double start = 0.0);
};
#endif
