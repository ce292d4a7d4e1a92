// The one simulation of a process: its objects, event list, customer pool
// and clock. Internal to the library.
#ifndef VALTOR_SIM_H
#define VALTOR_SIM_H
#include <string>
#include <vector>

#include "Routing_Server.hh"

class EQ_Thing;
class Uniform;

// An animated object's customer count, at each time it changed.
class Valtor_Series {
 public:
  struct Point {
    long long t;  // on the clock's grid
    long long n;
  };
  std::vector<Point> points;
};

namespace valtor {

// Times are kept on a grid of 1e-9 time unit, so that sums of decimal
// delays that are one instant on paper (0.1 + 0.2 and 0.3) are one instant.
const double Grid = 1e9;
// The clock's range: a run ends by this time (in time units). A delay that
// takes an event beyond it makes the event never happen, which is what it
// would be in any run the clock can hold.
const double Clock_Range = 9.0e9;
const long long Never = 0x7fffffffffffffffLL;
inline long long to_grid(double t) {
  if (t >= Clock_Range * 1.02) return Never;
  if (t <= -Clock_Range * 1.02) return -Never;
  return (long long)(t * Grid + (t < 0 ? -0.5 : 0.5));
}
// The instant `d` time units after grid time `g`, Never when off the clock.
inline long long later(long long g, double d) {
  long long x = to_grid(d);
  if (g == Never || x == Never || x > Never - g) return Never;
  return g + x;
}
inline double from_grid(long long g) { return (double)g / Grid; }

enum Event_Type { E_EMIT, E_COMPLETE, E_ARRIVE, E_TICK };

struct Event {
  long long t;
  // Order at equal times: customer events first, then ticks; each group
  // in the order the events were scheduled.
  unsigned long long key;
  Routing_Server* obj;
  Tamrick_Client* c;
};

struct Move {
  Routing_Server* obj;
  Tamrick_Client* c;
};

// Moves carried out at one instant, or waiting to be, beyond these mean a
// loop that never lets time go on; the second keeps the queue's memory
// small when the loop multiplies its customers.
const long long Move_Limit = 200000000LL;
const size_t Pending_Limit = 1000000;

struct Sim {
  std::vector<Routing_Server*> objects;
  std::vector<Event> heap;
  std::vector<Move> moves;
  size_t move_head = 0;
  std::vector<Tamrick_Client*> blocks;
  Tamrick_Client* free_clients = nullptr;
  unsigned long long seq = 0;
  long long now_g = 0;
  double now = 0.0;
  double start = 0.0;
  double end = 0.0;
  bool end_set = false;
  bool animation = false;
  bool debug = false;
  bool running = false;
  bool ran = false;
  long long nb_events = 0;
  long long nb_moves = 0;
  long long moves_now = 0;
  std::string model_name;
  Uniform* routing = nullptr;
};

Sim& sim();
// A fresh simulation (the objects made so far are forgotten, not freed).
void reset();
double routing_draw();
Tamrick_Client* new_client(int cls, int prio);
void free_client(Tamrick_Client* c);
void population_change(Routing_Server* o, long long delta);
void schedule(long long t, int order, int type, Routing_Server* obj, Tamrick_Client* c);
void push_move(Routing_Server* to, Tamrick_Client* c);
void register_object(Routing_Server* o);
void unregister_object(Routing_Server* o);
void write_series();
void print_stat_line(Routing_Server* o, std::ostream& out);

}  // namespace valtor
#endif
