// The in-process simulator of quanter: a timed Petri net with constant
// delays run on an integer clock by the counter recursion: for every tick and
// transition, the number of firings begun so far. Only the transitions whose
// inputs changed are evaluated at a tick; rows of counts are kept for the
// ticks the debugging dump shows, however large a buffer was asked for.
#pragma once

#include <sys/time.h>

#include <cstdint>
#include <vector>

#include "common/petri_net.h"

namespace quanter {

using orv::pn::LAYER_STRUCT;
using orv::pn::PetriNet;

// Module state of one run, sized by init_simulation.
struct Simulation {
  int Nb_Trans = 0;
  int Nb_Places = 0;
  int Scale = 1;
  int Buf_Size = 1;   // the buffer asked for (at least the longest look-back + 1)
  int Rows = 1;       // the rows kept: what the look-backs and the dump reach
  int Last_Tick = 0;  // Scale x Nb_Firings

  // Rows rows of Nb_Trans counters; tick i lives in row i mod Rows.
  std::vector<int> YY;
  std::vector<int> Fire_Time;  // per transition, in ticks
  std::vector<int> Hold_Time;  // per place, in ticks
  std::vector<char> Is_Routing;
  // Routing places: tokens allotted so far to each transition (row of
  // Nb_Trans at HH_Row[p]), tokens routed so far, and the cyclic phase.
  std::vector<int> HH_Row;
  std::vector<std::int64_t> HH;
  std::vector<std::int64_t> Count;
  std::vector<int> Phase;

  // Flat copies of the arcs, so the tick loop touches only arrays.
  struct In_Arc {     // transition -> place, seen from the place
    int Trans;
    int Weight;
    int Delay;        // Hold_Time[place] + Fire_Time[Trans]
  };
  struct Out_Arc {    // place -> transition
    int Other;        // the transition (place side) or the place (transition side)
    int Weight;
  };
  std::vector<int> Place_In_Start;   // Nb_Places + 1 offsets into Place_In
  std::vector<In_Arc> Place_In;
  std::vector<int> Place_Out_Start;  // Nb_Places + 1 offsets into Place_Out
  std::vector<Out_Arc> Place_Out;
  std::vector<int> Trans_In_Start;   // Nb_Trans + 1 offsets into Trans_In
  std::vector<Out_Arc> Trans_In;     // the transition's input places
  // Ticks at which each place's initial tokens become available, sorted.
  std::vector<int> Lag_Start;
  std::vector<int> Lag_Tick;
  // Transitions in the order of the zero-time layers.
  std::vector<int> Order;
  // The steady-phase work laid out in that order, read front to back each
  // tick: per transition {t, inputs}, per input place {place, weight,
  // initial tokens, routing flag, arcs}, per arc into the place {transition,
  // weight, delay}.
  std::vector<int> Plan;

  // The change-driven run. A transition's count can change only at a tick
  // where something it reads has changed: tokens reaching one of its input
  // places, or (priority routing) the marking it is handed. So each tick only
  // the transitions woken by such a change are evaluated, in layer order, and
  // what reaches a place is kept as a running total fed by the changes of the
  // counts, so that nothing older than the current counts is read back.
  // Nets where one zero-delay count is read both before and after it is
  // computed within a tick (and the other cases of build_change_tables) fall
  // back to visiting every transition every tick.
  bool Every_Tick = false;
  bool Change_Driven = false;  // set while the change-driven run is on
  int Dump_From = 0;           // the first tick whose counts the dump shows
  std::vector<int> Pos;        // per transition, its place in Order, or -1
  struct Feed {                // transition -> place, seen from the transition
    int Place;
    int Weight;
    int Delay;  // ticks until the place sees a change; 0 within the same tick
  };
  std::vector<int> Feed_Start;  // Nb_Trans + 1 offsets into Feeds
  std::vector<Feed> Feeds;
  std::vector<int> Reader_Start;  // Nb_Places + 1 offsets into Readers
  std::vector<int> Readers;       // positions in Order of the place's readers
  std::vector<std::int64_t> Arrived;  // per place, tokens arrived so far
  std::vector<int> Now;               // per transition, its current count
  struct Due_Tokens {
    int Place;
    std::int64_t Tokens;
  };
  std::vector<std::vector<Due_Tokens>> Due;  // ring of ticks to come
  std::vector<std::pair<int, int>> Lag_Events;  // (tick, place), sorted
  // Positions to evaluate this tick, a bit each, with one summary bit per
  // word; and the positions evaluated every tick.
  std::vector<std::uint64_t> Dirty, Dirty_Words, Always;

  int row(int tick) const { return tick % Rows; }
  int* Y(int row) { return YY.data() + static_cast<std::size_t>(row) * Nb_Trans; }
  const int* Y(int row) const { return YY.data() + static_cast<std::size_t>(row) * Nb_Trans; }
};

// Sizes and fills the tables; false when they cannot be allocated (or would
// not fit in memory at all).
bool init_simulation(Simulation& sim, const PetriNet& Reseau, const LAYER_STRUCT& layers,
                     int Scale, int Buf_Size);

// Initial tokens of a place available by tick Time.
std::int64_t Nb_Available(const Simulation& sim, int place, int Time);
// Tokens in a place at tick Time, as far as this tick has been computed.
std::int64_t Place_Marking(const Simulation& sim, int place, int Time);
// Routes tokens of Place_Id for Trans_Id at tick Time; 1 when something was
// routed.
int Draw_Routing(Simulation& sim, const PetriNet& Reseau, int Place_Id, int Trans_Id, int Time);

// Runs ticks 0 to Scale x Nb_Firings. False, after the message, when the
// tables could not be allocated or a firing count outgrew its counter. The
// two runs below give the same results; this one takes the one likely to be
// faster for the net (every tick when most transitions fire at most ticks).
bool simulate(Simulation& sim, const PetriNet& Reseau, const LAYER_STRUCT& layers, int Scale,
              int Buf_Size);
// The run that evaluates a transition only at the ticks where something it
// reads changes (it falls back to the next one where it cannot).
bool simulate_change_driven(Simulation& sim, const PetriNet& Reseau, const LAYER_STRUCT& layers,
                            int Scale, int Buf_Size);
// The same run visiting every transition at every tick: the reference the
// other is checked against.
bool simulate_every_tick(Simulation& sim, const PetriNet& Reseau, const LAYER_STRUCT& layers,
                         int Scale, int Buf_Size);

void dumpe_simulation(const Simulation& sim, const PetriNet& Reseau);
void write_stat_results(const Simulation& sim, const PetriNet& Reseau, const timeval& start,
                        const timeval& end);

double elapsed_time(const timeval& start, const timeval& end);
double Max(double a, double b);

}  // namespace quanter
