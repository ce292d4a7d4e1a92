// Rewritings of an event graph: recycling (a one-token self-loop on every
// transition), re-marking by a linear program solved with lp_solve,
// flattening to places of at most one token, and determinizing.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "common/event_graph.h"
#include "common/lp_bridge.h"

namespace dunvesk {

using orv::EventGraph;
using orv::EventGraphPtr;
using orv::PLACE_DESC;
using orv::TRANS_DESC;

// Where the tokens of a place holding several go: shared per downstream
// transition, shared per upstream transition, or one chain per place.
enum Mode { UPSTREAM = 0, DOWNSTREAM = 1, SPLIT = 2 };

// --- recycling and determinizing ---------------------------------------------

// 1 when transition i (0-based) has a self-loop holding exactly one token.
int Is_Recycled_Transition(const EventGraph& Reseau, int i);
int Is_Recycled_Network(const EventGraph& Reseau);
void Recycle_EG(EventGraph& Reseau);

// Every law becomes the constant of its mean. False, after a message on
// stderr naming prog, when a law has no finite mean (nothing EGL could read
// back); the graph is then partly changed.
bool Determinize_EG(EventGraph& Reseau, const char* prog);

// --- building blocks shared with the flattening --------------------------------

// "Dummy_Place": one token with the given lag, law C 0.0, to transition
// Dest (1-based), attached as an output of Transition. The caller stores it.
std::unique_ptr<PLACE_DESC> Create_Dummy_Place(TRANS_DESC& Transition, int Dest, double Lag);
// Appends the place to P and numbers it by its index.
PLACE_DESC* Store_Place(EventGraph& Reseau, std::unique_ptr<PLACE_DESC> Place);
void Attach_To_Outputs(TRANS_DESC& Transition, PLACE_DESC& Place);

// --- flattening -------------------------------------------------------------

// Fills Mu_Star and Index (0-based index of each transition's first new
// transition) and returns the size of the flattened graph, or -1 when it
// would not fit an int.
long long Compute_Index_Table(const EventGraph& Reseau, std::vector<int>& Index,
                              std::vector<int>& Mu_Star, int Algorithm);
// A new graph in which every place holds at most one token; null when it
// cannot be built. The old graph is left as it was.
EventGraphPtr Flatten_EG(const EventGraph& O_Reseau, int Algorithme);

// --- re-marking by linear program --------------------------------------------

// The program: the objective, the marking equalities and, but in SPLIT
// mode, the inequalities bounding each N by the markings of its places.
void gen_lin_code(const EventGraph& Reseau, int Algorithm, FILE* Lin_Prog);

// The new marking of every place in running order (transitions by index,
// each one's output places in Outputs order) from the solver's report.
// False after a message on stderr when the report gives no usable marking.
bool parse_lin_results(const orv::lp::Result& r, int Nb_Places, std::vector<int>& Marking,
                       const char* prog);
// Sets the markings in running order; tokens a place gains get lag 0.0.
void Change_Marking(EventGraph& Reseau, const std::vector<int>& Marking);

enum class Optimize_Status { Changed, Written_Alone, Failed };
// With Lin_Prog_Alone the program goes to standard output and nothing else
// is done; otherwise it is solved and the graph re-marked. Failed after a
// message on stderr; the graph is then unchanged.
Optimize_Status Optimize_EG(EventGraph& Reseau, int Algorithm, bool Lin_Prog_Alone,
                            const char* prog);

}  // namespace dunvesk
