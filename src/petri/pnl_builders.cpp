#include "petri/pnl_builders.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/address_write.h"
#include "petri/pnl_reader.h"

namespace orv::pn {

void Parse_Transition(Reader& rd, int n, LawPtr law, std::string_view name,
                      std::string_view data) {
  auto& list = rd.lists.Transitions;
  rd.t_in_order = rd.t_in_order && n - 1 == static_cast<long long>(list.size());
  Count_Objects(rd, 1);
  TR_DES& t = list.emplace_back();
  t.Tr_Id = n - 1;
  t.Tr_Law = std::move(law);
  t.Name = name;
  t.Data = data;
  if (Debug) {
    std::fputs("Transition ", stdout);
    Write_Opt_String(stdout, t.Name, 0);
    std::printf("[%d] ", n);
    std::printf("(a=%s) ", t.Data.c_str());
    std::fputs("reconnue\n", stdout);
  }
}

PlaceHead Parse_Place_Head(int n, std::string_view name) {
  PlaceHead h{n, Text(name)};
  if (Debug) {
    if (h.name.empty())
      std::printf("Place %d reconnue ", n);
    else
      std::printf("Place %s [%d] reconnue ", h.name.c_str(), n);
  }
  return h;
}

void Parse_Place(Reader& rd, LawPtr law, std::string_view data,
                 std::unique_ptr<ROUTING> routing) {
  auto& list = rd.lists.Places;
  rd.p_in_order = rd.p_in_order && rd.head.number - 1 == static_cast<long long>(list.size());
  Count_Objects(rd, 1);
  PL_DES& p = list.emplace_back();
  p.Pl_Id = rd.head.number - 1;
  p.Name = std::move(rd.head.name);
  p.Data = data;
  p.Pl_Law = std::move(law);
  p.Init_Pop = rd.pop.Pop;
  p.Lag_Times = std::move(rd.pop.Delais);
  rd.pop.Pop = 0;
  p.Routing = std::move(routing);
  rd.routings = rd.routings || p.Routing;
  if (Debug) std::printf("(a=%s) routing %c\n", p.Data.c_str(), p.Routing ? p.Routing->Type : '-');
}

LawPtr Written_Law(Reader& rd, char id, size_t first, size_t second) {
  return Law_From_Tail(id, rd.reals, first, second, rd.first, rd.second);
}

POPULATION Parse_Init_Pop(Reader& rd, int count, size_t first) {
  rd.first.assign(rd.reals.begin() + static_cast<std::ptrdiff_t>(first), rd.reals.end());
  rd.reals.resize(first);
  const std::vector<double>& lags = rd.first;
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

void Parse_Repeat(Reader& rd, double value, int n) {
  if (n > Max_Population) {
    std::fputs("Warning: not enough memory: real not created\n", stderr);
    rd.failed = true;
    return;
  }
  if (n > 0) {
    Count_Values(rd, n);
    rd.reals.insert(rd.reals.end(), static_cast<size_t>(n), value);
  }
}

std::unique_ptr<ROUTING> Parse_Random_Routing(Reader& rd, size_t first) {
  auto r = std::make_unique<ROUTING>();
  r->Type = 'R';
  // In list order: the last probability written first.
  r->Probas.assign(rd.reals.rbegin(),
                   rd.reals.rend() - static_cast<std::ptrdiff_t>(first));
  rd.reals.resize(first);
  return r;
}

std::unique_ptr<ROUTING> Parse_Routing(char type, std::vector<AddressPtr>& addresses) {
  auto r = std::make_unique<ROUTING>();
  r->Type = type;
  if (type == 'D' || type == 'P') {
    r->Period = static_cast<int>(addresses.size());
    r->Cycle.reserve(addresses.size());
    for (auto& a : addresses) {
      if (a->Type == 'U') a->Type = 'T';
      r->Cycle.push_back(std::move(a));
    }
    addresses.clear();
  }
  return r;
}

LINK_LIST Parse_Link(AddressPtr address, int weight, std::string_view data) {
  LINK_LIST l;
  switch (address->Type) {
    case 'P': l.Link_Type = 2; l.Dest = address->Number; break;
    case 'T': l.Link_Type = 1; l.Dest = address->Number; break;
    case 'U': l.Link_Type = 0; l.Dest = address->Number; break;
    default: l.Dest = -1; l.A_Dest = std::move(address); break;
  }
  l.Weight = weight;
  l.Data = data;
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

BINDING_LIST Parse_Binding(int k, AddressPtr port, std::vector<LINK_LIST>& arcs) {
  BINDING_LIST out;
  for (auto& arc : arcs) {
    // Each binding owns its own copy of the port.
    BINDING b;
    b.From = New_Address('S', k, Copy_Address(port.get()));
    b.To = Copy_Address(arc.A_Dest.get());
    b.Link = std::make_unique<LINK_LIST>(std::move(arc));
    out.push_back(std::move(b));
  }
  arcs.clear();
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

namespace {
// In list order, in just the room they need: a net keeps them as long as it
// lives.
void take_arcs(ARC_LIST& to, std::vector<LINK_LIST>& arcs) {
  to.clear();
  to.reserve(arcs.size());
  for (auto it = arcs.rbegin(); it != arcs.rend(); ++it) to.push_back(std::move(*it));
  arcs.clear();
}
}  // namespace

void Add_Trans_Sons(Reader&, TR_DES& t, std::vector<LINK_LIST>& arcs) {
  t.Outdegree = static_cast<int>(arcs.size());
  take_arcs(t.Outputs, arcs);
}

void Add_Place_Sons(Reader&, PL_DES& p, std::vector<LINK_LIST>& arcs) {
  p.Outdegree = static_cast<int>(arcs.size());
  take_arcs(p.Outputs, arcs);
}

void Append_Submodel(SUBM_LIST& list, SUBM_DES s) { list.push_front(std::move(s)); }

void Append_Binding(BINDING_LIST& list, BINDING_LIST more) {
  for (auto& b : more) list.push_back(std::move(b));
}

}  // namespace orv::pn
