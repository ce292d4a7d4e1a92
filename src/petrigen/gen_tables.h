// What the Petri-net code generators derive from a net before writing code:
// which objects go to the equational part and which to the discrete-event
// program, the integer tables every writer reads (delays in ticks, sources,
// competition, interfaces), the time scale of each object and which
// discrete-event places become objects of their own.
//
// A run holds them in one Gen_Context that its writers receive; Init_Generation
// fills the tables, Free_Memory releases them.
#pragma once

#include <string>
#include <vector>

#include "common/petri_net.h"

namespace orv::gen {

// The settings and tables of one generation run.
struct Gen_Context {
  // Run settings shared by the writers.
  const char* Tool_Name = "oskel";  // names the program in generated text and messages
  int Scale = 10;                   // ticks per time unit of the run
  int Optimize = 0;                 // fold neutral discrete-event places

  // Settings of the recursion (the equational module, the fragments).
  int Buf_Size = 1024;  // "-bs"; the buffer size used is stored back here
  int Y_Static = 1;     // row pointers Y_0 / Y_Time_M_<d> (cleared by "-noYstatic")
  int No_Valtor = 0;    // module stands alone: no discrete-event objects
  int No_Stats = 0;     // plain counters in Report_Stat
  std::string Prefix;   // in front of every size constant ("" or "<class>_")

  // Settings of the discrete-event program.
  int Kemp = 0;  // plot script and animation
  // Laws draw from MLCG seed pairs that start at 308, 725 and grow by one
  // for each law written.
  int Seed1 = 308, Seed2 = 725;

  // Tables of Init_Generation, indexed by place or transition number.
  std::vector<int> Hold_Time, Fire_Time, Is_Source, Is_Compet_Tr, Is_Compet_Pl,
      Is_Interface_Pl, Is_Interface_Tr, Delay_Table, Already_Visited;
  // Time scales of TimeScale; The_Scales[0] is the count of the ones after it.
  std::vector<int> TSP, TST, The_Scales;
  // Object status of init_place_status.
  std::vector<int> Place_Exists, Real_Indegree, Real_Outdegree;
};

// Where the generators' tables differ. oskel's module and tarvin's fragments
// are separate texts that their users compile as they are; each keeps the
// tables its text was written against.
struct Table_Options {
  // oskel computes a share only where a priority place has several outputs:
  // with one there is nobody to share with, and no transition competes.
  // tarvin makes every transition behind a priority place compete, so its
  // declarations give such places a count and marking functions whatever
  // their outdegree.
  bool Any_Priority_Competes = false;
  // The module's completed-firing counts read each equational transition's
  // count back by its firing time, so the delay table covers those times;
  // tarvin's fragments count no completed firings and read firing times
  // back only in their trace code (where the table already reaches them).
  bool Firing_Time_Slots = true;
};

// Tag 1 (discrete-event) for objects named "VALTOR|...", 0 for the rest;
// everything 0 in class mode.
void Tag_Objects(pn::PetriNet& net, int Valtor_Class);

// Fills the tables. Delay_Table covers 0..Max_Delay, with Firing_Time_Slots
// up to the longest firing time of an equational transition as well (the
// completed-firing count of a transition reads its firing time back).
// Longer place delays are left out (the recursion never waits on them).
void Init_Generation(Gen_Context& ctx, const pn::PetriNet& net, int Max_Delay, int Scale,
                     const Table_Options& options = {});
void Free_Memory(Gen_Context& ctx);

// The longest delay, in ticks, that the generated recursion reads back.
int Max_Read_Back(const Gen_Context& ctx);

// Delay in ticks between a firing of u and the token being usable in p.
// Only an equational transition's own firing time is added: a source fires
// in no time, and a discrete-event transition's count already counts
// completed services (its tokens arrive through Arrival after them).
int Arc_Delay(const Gen_Context& ctx, const pn::PetriNet& net, int u, int p);

int Nb_EQ_Trans_Succ(const pn::PetriNet& net, int p);
int Has_EQ_Trans_Succ(const pn::PetriNet& net, int p);
int Has_EQ_Place_Succ(const pn::PetriNet& net, int t);
int Has_Valtor_Trans_Succ(const pn::PetriNet& net, int p);
int Is_Input_Number(const pn::PetriNet& net, char kind, int number);

// Time scales.
int Original_Trans_Time_Scale(const Gen_Context& ctx, const pn::PetriNet& net, int t, int Scale,
                              int Valtor_Class);
void TimeScale(Gen_Context& ctx, const pn::PetriNet& net, int Scale, int Valtor_Class);
// Combines every object's step with those of its inputs until nothing
// changes, then lists the transitions' steps in The_Scales; TimeScale ends
// with it, and a caller that narrows some steps afterwards runs it again.
void Spread_Time_Scales(Gen_Context& ctx, const pn::PetriNet& net);

// Object status of the discrete-event part.
int is_null_time(const LAW_DESC* law);
int is_recycling_place(const pn::PL_DES& place);
int is_recycled(const pn::PetriNet& net, int t);
int server_degree(const pn::PetriNet& net, int t);
int Has_Sinks(const Gen_Context& ctx, const pn::PetriNet& net);
void init_place_status(Gen_Context& ctx, const pn::PetriNet& net);

// The stations of a discrete-event transition t (after init_place_status).
// A fusion stands in front of it when it has two or more real inputs, or
// one real input of weight above 1 (the station takes the weight in tokens
// for one firing); a fission behind it when it has two or more real
// outputs, or one of weight above 1.
int Needs_Fusion(const Gen_Context& ctx, const pn::PetriNet& net, int t);
int Needs_Fission(const Gen_Context& ctx, const pn::PetriNet& net, int t);
// The program makes t a zero-time relay (a routing object), not a server.
int Is_Relay_Trans(const Gen_Context& ctx, const pn::PetriNet& net, int t);
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
