#include "petri/pnl_builders.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/address_write.h"
#include "petri/pnl_reader.h"

namespace orv::pn {

TR_DES Parse_Transition(int n, LawPtr law, std::string name, std::string data) {
  TR_DES t;
  t.Tr_Id = n - 1;
  t.Tr_Law = std::move(law);
  t.Name = std::move(name);
  t.Data = std::move(data);
  if (Debug) {
    std::fputs("Transition ", stdout);
    Write_Opt_String(stdout, t.Name, 0);
    std::printf("[%d] ", n);
    std::printf("(a=%s) ", t.Data.c_str());
    std::fputs("reconnue\n", stdout);
  }
  return t;
}

PlaceHead Parse_Place_Head(int n, std::string name) {
  PlaceHead h{n, Text(name)};
  if (Debug) {
    if (h.name.empty())
      std::printf("Place %d reconnue ", n);
    else
      std::printf("Place %s [%d] reconnue ", h.name.c_str(), n);
  }
  return h;
}

PL_DES Parse_Place(Reader&, PlaceHead head, LawPtr law, POPULATION pop, std::string data,
                   std::unique_ptr<ROUTING> routing) {
  PL_DES p;
  p.Pl_Id = head.number - 1;
  p.Name = std::move(head.name);
  p.Data = std::move(data);
  p.Pl_Law = std::move(law);
  p.Init_Pop = pop.Pop;
  p.Lag_Times = std::move(pop.Delais);
  p.Routing = std::move(routing);
  if (Debug) std::printf("(a=%s) routing %c\n", p.Data.c_str(), p.Routing ? p.Routing->Type : '-');
  return p;
}

POPULATION Parse_Init_Pop(Reader& rd, int count, const Law_Values& lags) {
  POPULATION pop;
  if (count > Max_Population) {
    std::fputs("Warning: not enough memory: population not created\n", stderr);
    rd.failed = true;
    return pop;
  }
  if (count > 0) Count_Values(rd, count);
  pop.Pop = count;
  pop.Delais.assign(static_cast<size_t>(count), 0.0);
  size_t given = lags.size();
  size_t n = static_cast<size_t>(count);
  // The last lag written goes to the first token.
  for (size_t i = 0; i < n && i < given; ++i) pop.Delais[i] = lags[given - 1 - i];
  if (given < n)
    std::fprintf(stderr, "Warning: not enough initial lags: %d missing (0.0 assumed)\n",
                 static_cast<int>(n - given));
  else if (given > n)
    std::fputs("Warning: too many initial lags (ignored)\n", stderr);
  return pop;
}

REAL_LIST Parse_Repeat(Reader& rd, double value, int n) {
  if (n > Max_Population) {
    std::fputs("Warning: not enough memory: real not created\n", stderr);
    rd.failed = true;
    return {};
  }
  if (n > 0) Count_Values(rd, n);
  return Expand_Real_List(value, n);
}

std::unique_ptr<ROUTING> Parse_Routing(char type, REAL_LIST probas, ADDRESS_LIST addresses) {
  auto r = std::make_unique<ROUTING>();
  r->Type = type;
  if (type == 'R') {
    r->Probas.assign(probas.begin(), probas.end());
  } else if (type == 'D' || type == 'P') {
    r->Period = static_cast<int>(addresses.size());
    // The list is in reverse written order; the cycle reads as written.
    for (auto it = addresses.rbegin(); it != addresses.rend(); ++it) {
      if ((*it)->Type == 'U') (*it)->Type = 'T';
      r->Cycle.push_back(std::move(*it));
    }
  }
  return r;
}

LINK_LIST Parse_Link(AddressPtr address, int weight, std::string data) {
  LINK_LIST l;
  switch (address->Type) {
    case 'P': l.Link_Type = 2; l.Dest = address->Number; break;
    case 'T': l.Link_Type = 1; l.Dest = address->Number; break;
    case 'U': l.Link_Type = 0; l.Dest = address->Number; break;
    default: l.Dest = -1; l.A_Dest = std::move(address); break;
  }
  l.Weight = weight;
  l.Data = std::move(data);
  return l;
}

AddressPtr Parse_Address(char type, int n, AddressPtr next) {
  bool zero_based = type == 'P' || type == 'T' || type == 'U';
  return New_Address(type, zero_based ? n - 1 : n, std::move(next));
}

SUBM_DES Parse_Submodel(int k, std::string file, std::string name) {
  SUBM_DES s;
  s.Subm_Id = k;
  s.Name = std::move(name);
  s.File_Name = std::move(file);
  if (Debug) {
    std::fputs("Encountered Submodel ", stdout);
    Write_Opt_String(stdout, s.Name, 0);
    std::printf("[#%d]\n", k);
  }
  return s;
}

BINDING_LIST Parse_Binding(int k, AddressPtr port, ARC_LIST arcs) {
  BINDING_LIST out;
  std::reverse(arcs.begin(), arcs.end());
  for (auto& arc : arcs) {
    // Each binding owns its own copy of the port.
    BINDING b;
    b.From = New_Address('S', k, Copy_Address(port.get()));
    b.To = Copy_Address(arc.A_Dest.get());
    b.Link = std::make_unique<LINK_LIST>(std::move(arc));
    out.push_front(std::move(b));
  }
  return out;
}

BINDING Make_Binding(AddressPtr from, AddressPtr to, std::unique_ptr<LINK_LIST> link) {
  return BINDING{std::move(from), std::move(to), std::move(link)};
}

void Check_Routing(Reader& rd, const PL_DES& p) {
  if (!p.Routing || p.Routing->Type != 'R') return;
  const auto& pr = p.Routing->Probas;
  const int n = static_cast<int>(pr.size());
  const std::string where = Input_Name(rd.path);
  // What the simulators and generators do is kept (a probability left out
  // counts as 0, one too many is not read, and the draw table ends with 1.0
  // whatever the sum); the file is only told about.
  if (n != p.Outdegree) {
    std::fprintf(stderr,
                 "Warning: place %d has %d output arcs but %d routing probabilities "
                 "(line %d of %s); %s.\n",
                 p.Pl_Id + 1, p.Outdegree, n, rd.routing_line, where.c_str(),
                 n < p.Outdegree ? "the missing ones count as 0" : "the extra ones are not read");
    return;
  }
  double sum = 0.0;
  for (double v : pr) sum += v;
  if (std::fabs(sum - 1.0) > 1e-6)
    std::fprintf(stderr,
                 "Warning: the routing probabilities of place %d sum to %g, not 1 "
                 "(line %d of %s); the first arc written takes what the others leave.\n",
                 p.Pl_Id + 1, sum, rd.routing_line, where.c_str());
}

// The lists grew by doubling; a net keeps them as long as it lives.
void Add_Trans_Sons(TR_DES& t, ARC_LIST arcs) {
  std::reverse(arcs.begin(), arcs.end());
  arcs.shrink_to_fit();
  t.Outdegree = static_cast<int>(arcs.size());
  t.Outputs = std::move(arcs);
}

void Add_Place_Sons(PL_DES& p, ARC_LIST arcs) {
  std::reverse(arcs.begin(), arcs.end());
  arcs.shrink_to_fit();
  p.Outdegree = static_cast<int>(arcs.size());
  p.Outputs = std::move(arcs);
}

void Append_Transition(LISTES& l, TR_DES t) { l.Transitions.push_back(std::move(t)); }
void Append_Place(LISTES& l, PL_DES p) { l.Places.push_back(std::move(p)); }
void Append_Link(ARC_LIST& list, LINK_LIST arc) { list.push_back(std::move(arc)); }
void Append_Address(ADDRESS_LIST& list, AddressPtr a) { list.push_front(std::move(a)); }
void Append_Submodel(SUBM_LIST& list, SUBM_DES s) { list.push_front(std::move(s)); }

void Append_Binding(BINDING_LIST& list, BINDING_LIST more) {
  for (auto& b : more) list.push_back(std::move(b));
}

}  // namespace orv::pn
