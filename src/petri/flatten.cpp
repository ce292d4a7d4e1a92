#include "petri/flatten.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/address_write.h"
#include "petri/pnl_reader.h"

namespace orv::pn {

namespace {

const char* const TAG = "Flatten_PN";

// A net of the tree with the flat numbers of its first objects; the top net
// starts at 0.
struct Node {
  PetriNet* net;
  int First_Place;
  int First_Trans;
};

const SUBM_DES* find_sub(const PetriNet& net, int id) {
  for (int k = 0; k < net.Nb_Submodels && k < static_cast<int>(net.S.size()); ++k)
    if (net.S[k].Subm_Id == id) return &net.S[k];
  return nullptr;
}

// Pre-order: a submodel, its own submodels, then its next sibling.
void for_each_submodel(PetriNet& net, const std::function<void(SUBM_DES&)>& f) {
  for (int k = 0; k < net.Nb_Submodels && k < static_cast<int>(net.S.size()); ++k) {
    SUBM_DES& s = net.S[k];
    if (!s.Submodel) continue;
    f(s);
    for_each_submodel(*s.Submodel, f);
  }
}

std::vector<Node> tree_nodes(PetriNet& top) {
  std::vector<Node> nodes{{&top, 0, 0}};
  for_each_submodel(top, [&](SUBM_DES& s) {
    nodes.push_back({s.Submodel.get(), s.First_Place, s.First_Trans});
  });
  return nodes;
}

void Set_Offsets(PetriNet& top, int& places, int& trans) {
  places = top.Nb_Places;
  trans = top.Nb_Trans;
  for_each_submodel(top, [&](SUBM_DES& s) {
    s.First_Place = places;
    s.First_Trans = trans;
    places += s.Submodel->Nb_Places;
    trans += s.Submodel->Nb_Trans;
  });
}

void Reset_Link_Addresses(PetriNet& top) {
  for_each_submodel(top, [](SUBM_DES& s) {
    for (TR_DES& t : s.Submodel->T) {
      for (LINK_LIST& a : t.Outputs) if (a.Dest >= 0) a.Dest += s.First_Place;
      for (LINK_LIST& a : t.Inputs) if (a.Dest >= 0) a.Dest += s.First_Place;
    }
    for (PL_DES& p : s.Submodel->P) {
      for (LINK_LIST& a : p.Outputs) if (a.Dest >= 0) a.Dest += s.First_Trans;
      for (LINK_LIST& a : p.Inputs) if (a.Dest >= 0) a.Dest += s.First_Trans;
    }
  });
}

bool has_cycle_routing(const PL_DES& p) {
  return p.Routing && (p.Routing->Type == 'D' || p.Routing->Type == 'P');
}

void Reset_Routing_Addresses(const std::vector<Node>& nodes) {
  for (const Node& n : nodes) {
    for (PL_DES& p : n.net->P) {
      if (!has_cycle_routing(p)) continue;
      ROUTING& r = *p.Routing;
      std::vector<AddressPtr> kept;
      for (AddressPtr& a : r.Cycle) {
        AddressPtr e = Expand_Address(*n.net, a.get());
        // An entry that leads nowhere has been reported; it cannot be kept.
        if (!e) continue;
        if (!e->Next) e->Number += n.First_Trans;
        kept.push_back(std::move(e));
      }
      r.Cycle = std::move(kept);
      r.Period = static_cast<int>(r.Cycle.size());
    }
  }
}

void Reset_Names(PetriNet& net, const std::string& prefix) {
  for (int k = 0; k < net.Nb_Submodels && k < static_cast<int>(net.S.size()); ++k) {
    SUBM_DES& s = net.S[k];
    if (!s.Submodel) continue;
    std::string p = prefix + (s.Name.empty() ? std::string("*") : s.Name) + "/";
    for (TR_DES& t : s.Submodel->T) if (!t.Name.empty()) t.Name = p + t.Name;
    for (PL_DES& pl : s.Submodel->P) if (!pl.Name.empty()) pl.Name = p + pl.Name;
    Reset_Names(*s.Submodel, p);
  }
}

void Link_Routings(const std::vector<Node>& nodes) {
  for (const Node& n : nodes) {
    for (int j = 0; j < static_cast<int>(n.net->P.size()); ++j) {
      PL_DES& p = n.net->P[j];
      if (!has_cycle_routing(p)) continue;
      ROUTING& r = *p.Routing;
      std::vector<AddressPtr> kept;
      for (size_t k = 0; k < r.Cycle.size(); ++k) {
        AddressPtr& a = r.Cycle[k];
        if (!a->Next) {
          kept.push_back(std::move(a));
          continue;
        }
        char type = Find_Type(*n.net, a.get());
        int number = Find_Number_In_Submodel(*n.net, n.First_Place, n.First_Trans, a.get());
        if (Debug) {
          std::printf("Routing #%d (", static_cast<int>(k));
          Write_Address(stdout, a.get());
          std::printf(")");
          std::printf(" edited to T%d in ", number + 1);
          std::printf("%s", n.net->File_Name.c_str());
          std::printf(" in place %d.\n", j + n.First_Place);
        }
        if (number < 0) continue;
        kept.push_back(New_Address(type, number));
      }
      r.Cycle = std::move(kept);
      r.Period = static_cast<int>(r.Cycle.size());
    }
  }
}

void Copy_Objects(PetriNet& top, int places, int trans) {
  top.T.resize(static_cast<size_t>(trans));
  top.P.resize(static_cast<size_t>(places));
  for_each_submodel(top, [&](SUBM_DES& s) {
    PetriNet& sub = *s.Submodel;
    for (size_t i = 0; i < sub.T.size(); ++i) top.T[s.First_Trans + i] = std::move(sub.T[i]);
    for (size_t j = 0; j < sub.P.size(); ++j) top.P[s.First_Place + j] = std::move(sub.P[j]);
    top.Max_Pop_Init = std::max(top.Max_Pop_Init, sub.Max_Pop_Init);
    top.Has_Weights |= sub.Has_Weights;
    top.Has_Inhibitors |= sub.Has_Inhibitors;
  });
  top.Nb_Trans = trans;
  top.Nb_Places = places;
}

void debug_address(const ADDRESS* a) { Write_Address(stdout, a); }

// The arcs the bindings add, gathered per object and put in place once all
// are known: inserting each where it goes would move every arc after it, a
// time in the square of the arcs an object is given.
struct Pending_Arcs {
  // Per source: arcs written to ports, in ascending written position, then
  // arcs of binding statements in the order linked.
  std::unordered_map<int, std::vector<LINK_LIST>> placed_t, placed_p, front_t, front_p;
  // Per destination: the arcs back, in the order linked.
  std::unordered_map<int, std::vector<LINK_LIST>> back_t, back_p;
};

void link_binding(PetriNet& top, const Node& n, BINDING& b, Pending_Arcs& pending) {
  if (!b.Link) return;
  const PetriNet& net = *n.net;
  char f = Find_Type(net, b.From.get());
  int ns = Find_Number_In_Submodel(net, n.First_Place, n.First_Trans, b.From.get());
  char t = Find_Type(net, b.To.get());
  int nd = Find_Number_In_Submodel(net, n.First_Place, n.First_Trans, b.To.get());
  if (ns < 0 || nd < 0) return;
  if (!((f == 'T' && t == 'P') || (f == 'P' && t == 'T'))) return;
  LINK_LIST arc = std::move(*b.Link);
  b.Link.reset();
  arc.Dest = nd;
  arc.A_Dest.reset();
  arc.Link_Type = f == 'T' ? 2 : 1;
  if (arc.Weight > 1) top.Has_Weights = 1;
  if (arc.Is_Inhibitor) top.Has_Inhibitors = 1;
  LINK_LIST back;
  back.Link_Type = f == 'T' ? 1 : 2;
  back.Dest = ns;
  back.Weight = arc.Weight;
  back.Data = arc.Data;
  back.Is_Inhibitor = arc.Is_Inhibitor;
  if (Debug) {
    std::printf("Adding I/O link ");
    debug_address(b.From.get());
    std::printf(" -> ");
    debug_address(b.To.get());
    std::printf(f == 'T' ? ": now -> P %d\n" : ": now -> T %d\n", nd + 1);
    std::printf("%s: bound %c%d to %c%d.\n", TAG, f, ns + 1, t, nd + 1);
  }
  // An arc its object wrote to a port goes back where it was written among
  // the object's arcs; an arc made by a binding statement goes in front.
  const bool placed = arc.Position >= 0;
  auto& from = f == 'T' ? (placed ? pending.placed_t : pending.front_t)
                        : (placed ? pending.placed_p : pending.front_p);
  from[ns].push_back(std::move(arc));
  (f == 'T' ? pending.back_p : pending.back_t)[nd].push_back(std::move(back));
}

// An object's arcs once every binding is linked: each arc written to a port
// at its written position (or last, when fewer arcs stand before it), the
// arcs of binding statements in front, the last linked first.
void merge_outputs(ARC_LIST& outputs, std::vector<LINK_LIST>* placed,
                   std::vector<LINK_LIST>* front) {
  ARC_LIST merged;
  merged.reserve(outputs.size() + (placed ? placed->size() : 0) + (front ? front->size() : 0));
  if (front)
    for (auto it = front->rbegin(); it != front->rend(); ++it) merged.push_back(std::move(*it));
  const size_t base = merged.size();
  size_t local = 0;
  if (placed) {
    for (LINK_LIST& arc : *placed) {
      const size_t at = static_cast<size_t>(arc.Position);
      while (local < outputs.size() && merged.size() - base < at)
        merged.push_back(std::move(outputs[local++]));
      arc.Position = -1;
      merged.push_back(std::move(arc));
    }
  }
  while (local < outputs.size()) merged.push_back(std::move(outputs[local++]));
  outputs = std::move(merged);
}

// The arcs back in front of an object's inputs, the last linked first.
void merge_inputs(ARC_LIST& inputs, int& indegree, std::vector<LINK_LIST>& back) {
  ARC_LIST merged;
  merged.reserve(inputs.size() + back.size());
  for (auto it = back.rbegin(); it != back.rend(); ++it) merged.push_back(std::move(*it));
  for (LINK_LIST& arc : inputs) merged.push_back(std::move(arc));
  indegree += static_cast<int>(back.size());
  inputs = std::move(merged);
}

template <class Objs>
void put_in_place(Objs& objs, std::unordered_map<int, std::vector<LINK_LIST>>& placed,
                  std::unordered_map<int, std::vector<LINK_LIST>>& front,
                  std::unordered_map<int, std::vector<LINK_LIST>>& back) {
  auto find = [](std::unordered_map<int, std::vector<LINK_LIST>>& m, int k) {
    auto it = m.find(k);
    return it == m.end() ? nullptr : &it->second;
  };
  for (auto& [k, arcs] : placed)
    merge_outputs(objs[static_cast<size_t>(k)].Outputs, &arcs, find(front, k));
  for (auto& [k, arcs] : front)
    if (!placed.contains(k)) merge_outputs(objs[static_cast<size_t>(k)].Outputs, nullptr, &arcs);
  for (auto& [k, arcs] : back) {
    auto& o = objs[static_cast<size_t>(k)];
    merge_inputs(o.Inputs, o.Indegree, arcs);
  }
}

void Link_Bindings(PetriNet& top, const std::vector<Node>& nodes) {
  Pending_Arcs pending;
  // Arcs written to ports first, each object's in ascending position, so
  // that every one lands between the same neighbours it was written with.
  for (const Node& n : nodes) {
    std::vector<BINDING*> placed;
    for (BINDING& b : n.net->Binding_Table)
      if (b.Link && b.Link->Position >= 0) placed.push_back(&b);
    std::stable_sort(placed.begin(), placed.end(), [](const BINDING* x, const BINDING* y) {
      return x->Link->Position < y->Link->Position;
    });
    for (BINDING* b : placed) link_binding(top, n, *b, pending);
  }
  for (const Node& n : nodes) {
    for (BINDING& b : n.net->Binding_Table)
      if (!(b.Link && b.Link->Position >= 0)) link_binding(top, n, b, pending);
    n.net->Binding_Table.clear();
  }
  put_in_place(top.T, pending.placed_t, pending.front_t, pending.back_t);
  put_in_place(top.P, pending.placed_p, pending.front_p, pending.back_p);
}

void Link_Addresses(PetriNet& top) {
  for (auto* table : {&top.Inputs, &top.Outputs}) {
    for (AddressPtr& a : *table) {
      // A bare number names an object of the top net, whose numbers stay;
      // it is nothing to expand.
      if (!a || (a->Type == 'U' && !a->Next)) continue;
      AddressPtr e = Expand_Address(top, a.get());
      if (!e) continue;
      char type = Find_Type(top, e.get());
      int number = Find_Number_In_Submodel(top, 0, 0, e.get());
      if (number < 0) continue;
      a = New_Address(type, number);
    }
  }
}

}  // namespace

int Find_Number_In_Submodel(const PetriNet& net, int first_place, int first_trans,
                            const ADDRESS* a) {
  if (!a) {
    std::printf("%s: error: illegal address type found (%c) when linking", TAG, 'X');
    std::printf(" bindings.\n");
    return -1;
  }
  switch (a->Type) {
    case 'P': return a->Number + first_place;
    case 'T': return a->Number + first_trans;
    case 'S': {
      const SUBM_DES* s = find_sub(net, a->Number);
      if (!s || !s->Submodel) {
        std::printf("%s: error: illegal submodel id found (%d) when linking", TAG, a->Number);
        std::printf(" bindings.\n");
        return -1;
      }
      return Find_Number_In_Submodel(*s->Submodel, s->First_Place, s->First_Trans,
                                     a->Next.get());
    }
    default:
      std::printf("%s: error: illegal address type found (%c) when linking", TAG, a->Type);
      std::printf(" bindings.\n");
      return -1;
  }
}

PetriNet& Flatten_PN(PetriNet& net, int reset_names) {
  if (net.Nb_Submodels <= 0 || net.S.empty()) return net;
  int places = 0, trans = 0;
  Set_Offsets(net, places, trans);
  Reset_Link_Addresses(net);
  std::vector<Node> nodes = tree_nodes(net);
  Reset_Routing_Addresses(nodes);
  if (reset_names) Reset_Names(net, "");
  Link_Routings(nodes);
  Copy_Objects(net, places, trans);
  Link_Bindings(net, nodes);
  Link_Addresses(net);
  // Keep the model's invariants: ids equal indices, and Outdegree counts the
  // arcs that now stand in Outputs (binding arcs included).
  for (int i = 0; i < net.Nb_Trans; ++i) {
    net.T[i].Tr_Id = i;
    net.T[i].Outdegree = static_cast<int>(net.T[i].Outputs.size());
    net.T[i].Indegree = static_cast<int>(net.T[i].Inputs.size());
  }
  for (int j = 0; j < net.Nb_Places; ++j) {
    net.P[j].Pl_Id = j;
    net.P[j].Outdegree = static_cast<int>(net.P[j].Outputs.size());
    net.P[j].Indegree = static_cast<int>(net.P[j].Inputs.size());
  }
  net.Nb_Submodels = 0;
  return net;
}

}  // namespace orv::pn
