// Builders called by the PNL grammar's actions. Lists are in list order: the
// Append_ builders prepend, except Append_Binding, which appends, Append_Link,
// which gathers a statement's arcs in written order for the builder that
// takes them (Add_Trans_Sons, Add_Place_Sons, Parse_Binding) to turn into
// list order at once, and Append_Transition and Append_Place, which keep the
// objects in written order (see LISTES).
#pragma once

#include <string>

#include "common/law.h"
#include "common/petri_net.h"
#include "petri/pnl_parse.h"

namespace orv::pn {

TR_DES Parse_Transition(int n, LawPtr law, std::string name, std::string data);
PlaceHead Parse_Place_Head(int n, std::string name);
PL_DES Parse_Place(Reader& rd, PlaceHead head, LawPtr law, POPULATION pop, std::string data,
                   std::unique_ptr<ROUTING> routing);
// lags in written order.
POPULATION Parse_Init_Pop(Reader& rd, int count, const Law_Values& lags);
std::unique_ptr<ROUTING> Parse_Routing(char type, REAL_LIST probas, ADDRESS_LIST addresses);
LINK_LIST Parse_Link(AddressPtr address, int weight, std::string data);
AddressPtr Parse_Address(char type, int n, AddressPtr next);
SUBM_DES Parse_Submodel(int k, std::string file, std::string name);
BINDING_LIST Parse_Binding(int k, AddressPtr port, ARC_LIST arcs);
BINDING Make_Binding(AddressPtr from, AddressPtr to, std::unique_ptr<LINK_LIST> link);
// "[ value REP n ]"; refuses counts no net could hold.
REAL_LIST Parse_Repeat(Reader& rd, double value, int n);

// Warns about a Random routing without one probability per output arc, or
// whose probabilities do not sum to 1.
void Check_Routing(Reader& rd, const PL_DES& p);

void Add_Trans_Sons(TR_DES& t, ARC_LIST arcs);
void Add_Place_Sons(PL_DES& p, ARC_LIST arcs);
void Append_Transition(LISTES& l, TR_DES t);
void Append_Place(LISTES& l, PL_DES p);
void Append_Link(ARC_LIST& list, LINK_LIST arc);
void Append_Address(ADDRESS_LIST& list, AddressPtr a);
void Append_Submodel(SUBM_LIST& list, SUBM_DES s);
void Append_Binding(BINDING_LIST& list, BINDING_LIST more);

// Largest token count or repeat count accepted: each token carries a lag, so
// a count is an allocation.
inline constexpr int Max_Population = 1 << 24;

}  // namespace orv::pn
