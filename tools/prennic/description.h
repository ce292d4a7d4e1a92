// prennic: the matrix description of a free-choice Petri net in canonical
// form, as tormial reads it.
#pragma once

#include <vector>

#include "petri/pnl_reader.h"

namespace prennic {

using orv::pn::PetriNet;
using Matrix = std::vector<std::vector<int>>;

struct Description {
  std::vector<int> T1, T2;       // net numbers of each class, in order
  std::vector<int> cls, number;  // per net transition: class (1 or 2), number within it
  Matrix A, B, P, Q;
  std::vector<int> M, Bullet;
};

// Whether every arc has weight 1 and none inhibits.
bool ordinary(const PetriNet& net);
// Whether the net is in canonical form; each fault is told on stderr.
bool conform(const PetriNet& net);

// The classes of the transitions, then room for the matrices (may throw
// std::bad_alloc), then their entries.
void partition(const PetriNet& net, Description& d);
void allocate(Description& d);
void generate_mat(const PetriNet& net, Description& d);
// The description on stdout.
void write(const PetriNet& net, const Description& d);

}  // namespace prennic
