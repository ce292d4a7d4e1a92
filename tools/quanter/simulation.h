// The in-process simulator of quanter: a timed Petri net with constant
// delays run on an integer clock by the counter recursion. For every tick and
// transition it keeps the number of firings begun so far, in a circular
// buffer of the rows the recursion and the debugging dump read back, however
// large a buffer was asked for.
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
// tables could not be allocated or a firing count outgrew its counter.
bool simulate(Simulation& sim, const PetriNet& Reseau, const LAYER_STRUCT& layers, int Scale,
              int Buf_Size);

void dumpe_simulation(const Simulation& sim, const PetriNet& Reseau);
void write_stat_results(const Simulation& sim, const PetriNet& Reseau, const timeval& start,
                        const timeval& end);

double elapsed_time(const timeval& start, const timeval& end);
double Max(double a, double b);

}  // namespace quanter
