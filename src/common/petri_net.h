// The timed Petri-net model shared by the readers, the analyses, the writers
// and the simulators. Places, transitions and exported ports are numbered
// from 0 in memory (from 1 in model files); submodel numbers, and port
// numbers inside addresses, are kept as written.
//
// Lists that the reader builds by prepending are held in "list order": front()
// is the element a linked list would start with, i.e. the last one written.
// Programs rely on that order (routing probabilities, arc order in dumps and
// in written PNL), so keep it when editing a net.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "common/compact.h"
#include "common/law.h"

namespace orv::pn {

// A (possibly nested) reference to an object. Type is one of
//   'P' place, 'T' transition, 'U' bare number (kind given by context),
//   'S' submodel, 'I' input port, 'O' output port,
//   'X' only as an answer of Find_Type for an address leading nowhere.
// Number is 0-based for P, T, U and as written for S, I, O. For S, Next is
// the port (or, once expanded, the object) inside that submodel.
struct ADDRESS {
  char Type = 0;
  int Number = 0;
  std::unique_ptr<ADDRESS> Next;

  // The reader makes one per arc it reads, most of them for a moment.
  static void* operator new(std::size_t n) { return Take_Bytes(n); }
  static void operator delete(void* p, std::size_t n) noexcept { Give_Bytes(p, n); }
};
using AddressPtr = std::unique_ptr<ADDRESS>;
using ADDRESS_LIST = std::deque<AddressPtr>;

AddressPtr New_Address(char type, int number, AddressPtr next = nullptr);
AddressPtr Copy_Address(const ADDRESS* a);

// One arc, kept in its source's Outputs or its destination's Inputs.
struct LINK_LIST {
  AddressPtr A_Dest;       // the submodel address of the other end, or null
  Text Data;
  int Dest = 0;            // 0-based other end; -1 when through a submodel port
  int Weight = 1;
  // For an arc to a submodel port, which leaves Outputs for the binding
  // table: its index among its object's arcs in list order, so that it goes
  // back to the same place (where a Random probability expects it). -1 for
  // any other arc.
  int Position = -1;
  std::int8_t Link_Type = 0;     // 2 other end is a place, 1 a transition, 0 a bare number
  std::int8_t Is_Inhibitor = 0;
};
}  // namespace orv::pn

// An arc list marks its heap block in the room of its one arc with a
// Link_Type no arc has.
template <>
struct orv::Spare<orv::pn::LINK_LIST> {
  static constexpr std::size_t offset = offsetof(orv::pn::LINK_LIST, Link_Type);
  static constexpr unsigned char value = 0x80;
};

namespace orv::pn {
// An arc list in list order (nets hold two per object, and most hold one
// arc: it stays in the list itself, at no cost in size).
using ARC_LIST = One_Vector<LINK_LIST>;

// A connection through a submodel boundary:
//  - an arc of this net to a submodel port: From = P/T object, To = S k/IN n;
//  - a binding statement: From = S k/IN n or S k/OUT n, To = the arc's A_Dest;
//  - an export: From = I n or O n, To = the inner address, Link null.
// After Consistency_Checking, From and To hold their expanded forms.
struct BINDING {
  AddressPtr From;
  AddressPtr To;
  std::unique_ptr<LINK_LIST> Link;
};
using BINDING_LIST = std::deque<BINDING>;

// How a place with several output transitions chooses among them.
struct ROUTING {
  char Type = 0;                   // 'R' random, 'D' cyclic, 'P' priority, 'C' competition
  std::vector<double> Probas;      // R: entry k for the k-th arc of the place's Outputs
  int Period = 0;                  // D, P: number of entries of Cycle
  std::vector<AddressPtr> Cycle;   // D: the cyclic sequence; P: the priority order
};

struct POPULATION {
  int Pop = 0;
  Compact_Vector<double> Delais;  // one lag per token
};

// Members are ordered for a small record: a net holds millions.
struct TR_DES {
  int Tr_Id = 0;
  int Indegree = 0;   // arcs in Inputs
  int Outdegree = 0;  // arcs declared with the transition, whatever left Outputs since
  int Tag = 0;
  Text Name;
  Text Data;
  ARC_LIST Outputs;   // to places
  ARC_LIST Inputs;    // from places, built by Invert_Network
  LawPtr Tr_Law;
};

struct PL_DES {
  int Pl_Id = 0;
  int Indegree = 0;
  int Outdegree = 0;
  int Init_Pop = 0;
  int Tag = 0;
  Text Name;
  Text Data;
  ARC_LIST Outputs;  // to transitions
  ARC_LIST Inputs;   // from transitions
  LawPtr Pl_Law;
  Compact_Vector<double> Lag_Times;  // Init_Pop entries: remaining holding time per token
  std::unique_ptr<ROUTING> Routing;
};

struct PetriNet;

struct SUBM_DES {
  int Subm_Id = 0;                      // as written after "Submodel"
  std::unique_ptr<PetriNet> Submodel;   // the net read from File_Name
  PetriNet* Father = nullptr;           // the net declaring it (not owned)
  std::string Name;
  std::string File_Name;
  int First_Place = 0;                  // set by flattening
  int First_Trans = 0;
};

struct Sim_Control {
  int Nb_Firings = 0;
};

struct Parametres {
  int T_Size = 0;
  int P_Size = 0;
  int Nb_Firings = 0;
};

struct PetriNet {
  int Nb_Trans = 0;
  int Nb_Places = 0;
  int Nb_Submodels = 0;
  int Nb_Inputs = 0;
  int Nb_Outputs = 0;
  std::vector<TR_DES> T;
  std::vector<PL_DES> P;
  std::vector<SUBM_DES> S;         // in list order (reverse of declaration)
  std::vector<AddressPtr> Inputs;  // exported port IN n at n-1; null when unfilled
  std::vector<AddressPtr> Outputs;
  std::vector<int> Adjacency;      // for analyses; the reader leaves them empty
  std::vector<int> Adjacency0;
  int Max_Pop_Init = 0;
  std::unique_ptr<Sim_Control> Sim_Params;
  std::string File_Name = "<unknown>";
  BINDING_LIST Binding_Table;
  int Has_Weights = 0;     // some place-to-transition arc weighs more than 1
  int Has_Inhibitors = 0;  // some place-to-transition arc is inhibitor
};
using NetPtr = std::unique_ptr<PetriNet>;

// The parser's accumulators. Transitions and places are kept in written
// order (the reverse of list order), so that a file numbering its objects
// 1..n in order becomes the net's table without a copy; submodels are in
// list order.
using TR_LIST = std::vector<TR_DES>;
using PL_LIST = std::vector<PL_DES>;
using SUBM_LIST = std::deque<SUBM_DES>;

struct LISTES {
  PL_LIST Places;
  TR_LIST Transitions;
  SUBM_LIST Submodels;
};

// Zero-time layers of a net (filled by the structural analyses).
struct LAYER_DESC {
  int Nb_Nodes = 0;
  std::vector<int> Node_Id;  // transition numbers
};

struct LAYER_STRUCT {
  int Nb_Levels = 0;
  std::vector<std::unique_ptr<LAYER_DESC>> Level;  // level 0 first
};

}  // namespace orv::pn
