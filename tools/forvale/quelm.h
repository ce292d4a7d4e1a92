// The event graph as a model of the Quelm queueing-network language: each
// transition a station joining one customer class per input place and
// splitting into one customer per output place, each place an infinite
// server holding its tokens.
#pragma once

#include <vector>

#include "common/event_graph.h"
#include "common/law.h"

namespace forvale {

struct Quelm_Writer {
  const orv::EventGraph& Reseau;
  const char* Prog;
  bool Optimize = false;          // "-O": places C 0.0 are bypassed
  std::vector<char> Place_Exists;  // by Place_Id

  Quelm_Writer(const orv::EventGraph& g, const char* prog) : Reseau(g), Prog(prog) {}

  void init_place_status();
  // False, after a message on stderr for each, when some law to be written
  // has no Quelm form: nothing should then be written.
  bool check_laws();
  void dump_quelm_code(long long Sim_Length);

 private:
  int In_Link_Number(int index, int number) const;
  void fprint_dest(const orv::PLACE_DESC& place) const;
  void fprint_QUELM_law(const orv::LAW_DESC* The_Law, int Obj_Id) const;
  bool law_ok(const orv::LAW_DESC* law) const;
  int last_kept_place() const;
  // Position of each place (by Place_Id) in its transition's input list,
  // made once: looking it up by a walk of the list for every place costs
  // the square of a transition's input places.
  mutable std::vector<int> Input_Position;
};

}  // namespace forvale
