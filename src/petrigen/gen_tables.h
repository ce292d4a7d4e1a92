// What the Petri-net code generators derive from a net before writing code:
// which objects go to the equational part and which to the discrete-event
// program, the integer tables every writer reads (delays in ticks, sources,
// competition, interfaces), the time scale of each object and which
// discrete-event places become objects of their own.
//
// The tables are process-wide, as the writers of one run share them; they
// are rebuilt by Init_Generation and released by Free_Memory.
#pragma once

#include <string>
#include <vector>

#include "common/petri_net.h"

namespace orv::gen {

// Run settings shared by the writers.
extern const char* Tool_Name;  // names the program in generated text and messages
extern int Scale;              // ticks per time unit of the run
extern int Optimize;           // fold neutral discrete-event places

// Tables of Init_Generation, indexed by place or transition number.
extern std::vector<int> Hold_Time, Fire_Time, Is_Source, Is_Compet_Tr, Is_Compet_Pl,
    Is_Interface_Pl, Is_Interface_Tr, Delay_Table, Already_Visited;
// Time scales of TimeScale; The_Scales[0] is the count of the ones after it.
extern std::vector<int> TSP, TST, The_Scales;
// Object status of init_place_status.
extern std::vector<int> Place_Exists, Real_Indegree, Real_Outdegree;

// Tag 1 (discrete-event) for objects named "VALTOR|...", 0 for the rest;
// everything 0 in class mode.
void Tag_Objects(pn::PetriNet& net, int Valtor_Class);

// Fills the tables. Delay_Table covers 0..max(Max_Delay, longest firing time
// of an equational transition): the completed-firing count of a transition
// reads its firing time back as well. Longer place delays are left out (the
// recursion never waits on them).
void Init_Generation(const pn::PetriNet& net, int Max_Delay, int Scale);
void Free_Memory();

// The longest delay, in ticks, that the generated recursion reads back.
int Max_Read_Back();

// Delay in ticks between a firing of u and the token being usable in p.
// Only an equational transition's own firing time is added: a source fires
// in no time, and a discrete-event transition's count already counts
// completed services (its tokens arrive through Arrival after them).
int Arc_Delay(const pn::PetriNet& net, int u, int p);

int Nb_EQ_Trans_Succ(const pn::PetriNet& net, int p);
int Has_EQ_Trans_Succ(const pn::PetriNet& net, int p);
int Has_EQ_Place_Succ(const pn::PetriNet& net, int t);
int Has_Valtor_Trans_Succ(const pn::PetriNet& net, int p);
int Is_Input_Number(const pn::PetriNet& net, char kind, int number);

// Time scales.
int Original_Trans_Time_Scale(const pn::PetriNet& net, int t, int Scale, int Valtor_Class);
void TimeScale(const pn::PetriNet& net, int Scale, int Valtor_Class);
// Combines every object's step with those of its inputs until nothing
// changes, then lists the transitions' steps in The_Scales; TimeScale ends
// with it, and a caller that narrows some steps afterwards runs it again.
void Spread_Time_Scales(const pn::PetriNet& net);

// Object status of the discrete-event part.
int is_null_time(const LAW_DESC* law);
int is_recycling_place(const pn::PL_DES& place);
int is_recycled(const pn::PetriNet& net, int t);
int server_degree(const pn::PetriNet& net, int t);
int Has_Sinks(const pn::PetriNet& net);
void init_place_status(const pn::PetriNet& net);

// The stations of a discrete-event transition t (after init_place_status).
// A fusion stands in front of it when it has two or more real inputs, or
// one real input of weight above 1 (the station takes the weight in tokens
// for one firing); a fission behind it when it has two or more real
// outputs, or one of weight above 1.
int Needs_Fusion(const pn::PetriNet& net, int t);
int Needs_Fission(const pn::PetriNet& net, int t);
// The program makes t a zero-time relay (a routing object), not a server.
int Is_Relay_Trans(const pn::PetriNet& net, int t);
// The program makes the existing place p a routing object, not a server.
int Is_Routing_Place(const pn::PetriNet& net, int p);

// A place copy made by flattening (its name begins "_Dummy_Place").
int Is_Dummy(const pn::PL_DES& place);
// The transition's name, or "_TR_<id>" when it has none.
std::string write_trans_name(const pn::TR_DES& t);

// Text for a C string literal (backslash and quote escaped) and for a printf
// format inside one ('%' doubled as well). Names reach generated code
// through these only.
std::string c_lit(const std::string& s);
std::string c_fmt(const std::string& s);
// Text for a generated /* */ comment: a "*/" in a name must not close it.
std::string c_comment(const std::string& s);

// The values of a 'D' law other than 0, by decreasing probability (a value
// goes before the earlier values of equal probability), and the probability
// of 0, as the generated draws of a discrete source use them.
struct Discrete_Law {
  double pr_zero = 0;
  std::vector<std::pair<double, double>> sorted;  // (value, probability)
};
Discrete_Law Sort_Discrete_Law(const LAW_DESC& law);

}  // namespace orv::gen
