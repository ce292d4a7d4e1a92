// Stand-in: a fusion or fission station.
#ifndef ORV_STANDIN_TAMRICK_FS_STATION_HH
#define ORV_STANDIN_TAMRICK_FS_STATION_HH
#include "Routing_Server.hh"
class Tamrick_FS_Station : public Routing_Server {};
#endif
