// Structural checks of a Petri net that the code generators and simulators
// need before they accept it (constant or integral delays, routings they can
// simulate, real sources, no zero-time cycle), the time scale that turns real
// delays into integer ticks, and the zero-time layering of transitions.
//
// Objects with a non-zero Tag are left out of every check and measure.
// Messages go to standard output and number objects from 0.
#pragma once

#include <vector>

#include "common/petri_net.h"

namespace orv::pn {

// Tolerance of Is_Integer; programs may change it.
extern double Epsilon;

// Bad-element list: element 0 holds the count n, entry k (1..n) is the pair
// (kind, number) at elements 2k-1 and 2k, kind 0 a transition, 1 a place.
// Callers may pre-size it; it grows when an entry would not fit.
using Report = std::vector<int>;
void Add_Report_Entry(Report& report, int kind, int number);

// Each predicate returns 1 when the net passes, 0 otherwise. Without
// report_mode it stops at the first failure; with it every object is
// visited, and failures are appended to report when one is given.
int Has_All_Deterministic_Transitions(const PetriNet& net, int report_mode, Report* report);
int Has_All_Deterministic_Places(const PetriNet& net, int report_mode, Report* report);
int Has_All_Deterministic_Objects(const PetriNet& net, int report_mode, Report* report);
int Has_All_Routing_Places(const PetriNet& net, int report_mode, Report* report);
int Has_Simulable_Places(const PetriNet& net, int report_mode, Report* report);
int Has_Integral_Transitions(const PetriNet& net, int report_mode, int sources_too,
                             Report* report);
int Has_Real_Sources(const PetriNet& net, int report_mode, Report* report);

// A transition with no input, or whose only input place is fed only by it.
int Is_Source_Transition(const PetriNet& net, int t);

// The first law parameter (0.0 without a law).
double Delay_Of(const LAW_DESC* law);

int Is_Integer(double x);
int gcd(int a, int b);

// The largest divisor of Scale that keeps every delay and lag, counted in
// ticks of 1/result, integral; 0 when some delay cannot be made integral or
// Scale is not positive. With Testing, every object is checked and the bad
// ones are listed in Bad_Objects.
int Find_Time_Scale(const PetriNet& net, int Sources_Also, int Scale, int Testing,
                    Report* Bad_Objects);

// -1e12 when there is nothing to measure.
double Max_Lag(const PetriNet& net);
double Max_Delay(const PetriNet& net);
int Nb_Available_Tokens(const PL_DES& place, int t);

// Levels of transitions such that a transition comes after every transition
// it depends on at the same instant. 0 after reporting a zero-time cycle.
int topological_analysis(const PetriNet& net, LAYER_STRUCT* layers);
void Dump_Layer_Struct(const LAYER_STRUCT& layers);
void Free_Layer_Struct(LAYER_STRUCT& layers);

}  // namespace orv::pn
