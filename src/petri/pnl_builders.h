// Builders called by the PNL grammar's actions. Lists are in list order: the
// Append_ builders prepend, except Append_Binding, which appends; the
// objects go into the reader's lists in written order (see LISTES). A statement's arcs are gathered in written order for
// the builder that takes them (Add_Trans_Sons, Add_Place_Sons,
// Parse_Binding) to turn into list order at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/law.h"
#include "common/petri_net.h"
#include "petri/pnl_parse.h"

namespace orv::pn {

// Values of real lists are read into rd.reals; a builder given where a
// list begins there takes the values from that point to the end (or to
// where a second list begins) and leaves rd.reals without them.

// Into rd.lists.
void Parse_Transition(Reader& rd, int n, LawPtr law, std::string_view name,
                      std::string_view data);
PlaceHead Parse_Place_Head(int n, std::string_view name);
// Into rd.lists, the place whose head and tokens are rd.head and rd.pop.
void Parse_Place(Reader& rd, LawPtr law, std::string_view data,
                 std::unique_ptr<ROUTING> routing);
// A law of any letter but 'P' from the values of rd.reals from first on:
// one list, or two when second marks where the second one begins.
LawPtr Written_Law(Reader& rd, char id, size_t first, size_t second = No_Second_List);
// The lags are the values of rd.reals from first on, in written order.
POPULATION Parse_Init_Pop(Reader& rd, int count, size_t first);
// Probabilities from the values of rd.reals from first on.
std::unique_ptr<ROUTING> Parse_Random_Routing(Reader& rd, size_t first);
// A routing of any other type; D and P take the addresses, in written order.
std::unique_ptr<ROUTING> Parse_Routing(char type, std::vector<AddressPtr>& addresses);
LINK_LIST Parse_Link(AddressPtr address, int weight, std::string_view data);
AddressPtr Parse_Address(char type, int n, AddressPtr next);
SUBM_DES Parse_Submodel(int k, std::string file, std::string name);
// arcs in written order; they are left moved from.
BINDING_LIST Parse_Binding(int k, AddressPtr port, std::vector<LINK_LIST>& arcs);
BINDING Make_Binding(AddressPtr from, AddressPtr to, std::unique_ptr<LINK_LIST> link);
// "[ value REP n ]" onto rd.reals; refuses counts no net could hold.
void Parse_Repeat(Reader& rd, double value, int n);

// Warns about a Random routing without one probability per output arc, or
// whose probabilities do not sum to 1.
void Check_Routing(Reader& rd, const PL_DES& p);

// arcs in written order; they are left moved from.
void Add_Trans_Sons(Reader& rd, TR_DES& t, std::vector<LINK_LIST>& arcs);
void Add_Place_Sons(Reader& rd, PL_DES& p, std::vector<LINK_LIST>& arcs);
void Append_Submodel(SUBM_LIST& list, SUBM_DES s);
void Append_Binding(BINDING_LIST& list, BINDING_LIST more);

// Largest token count or repeat count accepted: each token carries a lag, so
// a count is an allocation.
inline constexpr int Max_Population = 1 << 24;

}  // namespace orv::pn
