// PNL grammar. The rules are kept in their historical order: bison settles
// the conflicts by that order, and which start rule a file takes (tag or no
// tag on its first item) depends on it.
%require "3.8"
%language "c++"
%define api.namespace {orv::pn::yy}
%define api.parser.class {PnlParser}
%define api.token.prefix {TOK_}
%define parse.error custom
%parse-param {orv::pn::Reader& rd}
%lex-param {orv::pn::Reader& rd}

// The conflicts are the language's own: each list that may be empty against
// its first element, a string after a place number (shifted: it is the name),
// and, on the first item, the empty submodel list against the empty tag
// (reduce/reduce on T and P, settled for the submodel list, the earlier
// rule): 27 shift/reduce and 2 reduce/reduce. Bison's %expect cannot admit
// reduce/reduce conflicts in a deterministic parser, so the build silences
// the conflict warnings and the program tests pin the choices down.

%code requires {
#include "common/law.h"
#include "common/petri_net.h"
#include "petri/pnl_parse.h"
}

// Plain data on the stack, each value one word long: a step of the parser
// copies a value instead of moving it by its kind, and copies it as it was
// stored (a wider copy of a narrower store stalls the processor). Objects,
// submodels, exports, bindings and the parts of the statement being read (a
// place's head and tokens, the arcs, the addresses of a routing, the values
// of real lists) go straight into the Reader; what a rule owns it takes over,
// and the destructors below free what an error leaves on the stack.
%union {
  std::int64_t integer;  // an int, stored as wide as the others
  double real;
  size_t at;
  orv::pn::Word word;
  orv::LAW_DESC* law;
  orv::LAW_LIST* laws;
  orv::pn::ROUTING* routing;
  orv::pn::ADDRESS* address;
}

%code {
#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>
#include <string>
#include <vector>
#include "petri/pnl_builders.h"

namespace orv::pn::yy {
int yylex(PnlParser::value_type* value, Reader& rd);
}
using namespace orv;
using namespace orv::pn;

namespace {
// A value off the stack, which then holds nothing for the clean-up after an
// exception to free a second time.
template <class T>
std::unique_ptr<T> take(T*& held) {
  return std::unique_ptr<T>(std::exchange(held, nullptr));
}

// Room for the declared objects, as far as the text can hold them (an
// object takes at least four characters): a huge declared size in a small
// file reserves nothing it could not fill.
void reserve_objects(Reader& rd, const Decl& d) {
  auto room = [&](int declared) {
    return std::min(static_cast<size_t>(std::max(declared, 0)), rd.text_size / 4);
  };
  rd.lists.Transitions.reserve(room(d.t_size));
  rd.lists.Places.reserve(room(d.p_size));
}
}  // namespace
}

%token END 0 "end of file"
%token TSIZE PSIZE TMAX NAME SUBM INFILE IS EXPORT BIND IN OUT REP RAND CYCL COMP PRIO
%token BERN CST DISC EXPO GEOM1 GEOM0 HEXP LOGNO ONOFF PARETO ERLG UNIF WEIBULL IPP
%token TRANS PLACE SUBMO INHIB AFFECT PARB PARE SLASH SEP ENDINSTR
%token <integer> INTGR
%token <real> REAL
%token <word> STRING
// A character that must not be skipped (a minus sign): no rule takes it.
%token BADCHAR

%type <integer> t_taille_dcl p_taille_dcl duree_dcl tag trans_id place_id
%type <word> name
%type <law> loi_dcl
%type <laws> law_list
%type <routing> routing_dcl
%type <at> real_list  // where its values begin in rd.reals
%type <address> io_address address
%destructor { delete $$; } <law> <laws> <routing> <address>

%start reseau

%%

reseau
  : declarations liste_trucs io_dcl
      { rd.parsed = Parsed{rd.decl, std::move(rd.lists), std::move(rd.exports), {},
                           rd.t_in_order, rd.p_in_order, rd.routings}; }
  | declarations submodel_dcl liste_trucs binding_dcl io_dcl
      { Decl d = rd.decl; d.duration = 0;
        rd.parsed = Parsed{d, std::move(rd.lists), std::move(rd.exports), std::move(rd.bindings),
                           rd.t_in_order, rd.p_in_order, rd.routings}; }
  ;

declarations
  : t_taille_dcl p_taille_dcl duree_dcl
      { rd.decl = Decl{static_cast<int>($1), static_cast<int>($2), static_cast<int>($3)};
        reserve_objects(rd, rd.decl);
        std::fputs("Warning: duration declaration is obsolete. Ignored.\n", stdout); }
  | t_taille_dcl p_taille_dcl
      { rd.decl = Decl{static_cast<int>($1), static_cast<int>($2), 0};
        reserve_objects(rd, rd.decl); }
  ;

t_taille_dcl : TSIZE AFFECT INTGR { $$ = $3; } ;
p_taille_dcl : PSIZE AFFECT INTGR { $$ = $3; } ;
duree_dcl : TMAX AFFECT INTGR { $$ = $3; } ;

io_dcl
  : EXPORT io_list
  | %empty
  ;

io_list
  : io_list one_io
  | one_io
  ;

one_io
  : io_address IS address ENDINSTR
      { AddressPtr from = take($1);
        rd.exports.push_back(Make_Binding(std::move(from), take($3), nullptr)); }
  ;

submodel_dcl : submodel_list ;

submodel_list
  : one_submodel
  | submodel_list one_submodel
  | %empty
  ;

one_submodel
  : SUBM INTGR INFILE STRING ENDINSTR
      { Append_Submodel(rd.lists.Submodels, Parse_Submodel($2, std::string($4.view()), "")); }
  | SUBM INTGR name INFILE STRING ENDINSTR
      { Append_Submodel(rd.lists.Submodels,
                        Parse_Submodel($2, std::string($5.view()), std::string($3.view()))); }
  ;

// The objects go straight into the reader's LISTES (a file holds one list)
// as soon as their head is read; the arcs that follow complete the last one.
liste_trucs
  : liste_trucs a_transition
  | liste_trucs a_place
  | a_transition
  | a_place
  ;

tag
  : PARB INTGR PARE { $$ = $2; }
  | %empty { $$ = 0; }
  ;

a_transition
  : tag TRANS transition_dcl SEP link_list ENDINSTR
      { Add_Trans_Sons(rd, rd.lists.Transitions.back(), rd.arcs); }
  | tag TRANS transition_dcl ENDINSTR
  ;

transition_dcl
  : trans_id loi_dcl { Parse_Transition(rd, $1, take($2), {}, {}); }
  | trans_id name loi_dcl
      { Parse_Transition(rd, $1, take($3), $2.view(), {}); }
  | trans_id name name loi_dcl
      { Parse_Transition(rd, $1, take($4), $2.view(), $3.view()); }
  ;

a_place
  : tag PLACE place_dcl SEP link_list ENDINSTR
      { Add_Place_Sons(rd, rd.lists.Places.back(), rd.arcs); Check_Routing(rd, rd.lists.Places.back()); }
  | tag PLACE place_dcl ENDINSTR { Check_Routing(rd, rd.lists.Places.back()); }
  ;

// The head and the tokens of the place being read wait in rd.head and
// rd.pop.
place_dcl
  : place_head loi_dcl pop_dcl routing_dcl
      { LawPtr law = take($2);
        Parse_Place(rd, std::move(law), {}, take($4)); }
  | place_head name loi_dcl pop_dcl routing_dcl
      { LawPtr law = take($3);
        Parse_Place(rd, std::move(law), $2.view(), take($5)); }
  | place_head loi_dcl pop_dcl
      { Parse_Place(rd, take($2), {}, nullptr); }
  | place_head name loi_dcl pop_dcl
      { Parse_Place(rd, take($3), $2.view(), nullptr); }
  ;

place_head
  : place_id { rd.head = Parse_Place_Head($1, {}); }
  | place_id name { rd.head = Parse_Place_Head($1, $2.view()); }
  ;

// Without an action: the value is the default one, copied whole.
trans_id : INTGR ;
place_id : INTGR ;
name : STRING ;

loi_dcl
  : EXPO real_list { $$ = Written_Law(rd, 'E', $2).release(); }
  | CST real_list { $$ = Written_Law(rd, 'C', $2).release(); }
  | BERN real_list { $$ = Written_Law(rd, 'B', $2).release(); }
  | GEOM0 real_list { $$ = Written_Law(rd, 'g', $2).release(); }
  | GEOM1 real_list { $$ = Written_Law(rd, 'G', $2).release(); }
  | ERLG INTGR real_list
      { rd.reals.push_back(static_cast<double>($2));  // the stage count comes last
        $$ = Written_Law(rd, 'R', $3).release(); }
  | UNIF real_list { $$ = Written_Law(rd, 'U', $2).release(); }
  | LOGNO real_list { $$ = Written_Law(rd, 'L', $2).release(); }
  | PARETO real_list { $$ = Written_Law(rd, 'p', $2).release(); }
  | WEIBULL real_list { $$ = Written_Law(rd, 'W', $2).release(); }
  | DISC PARB real_list PARE PARB real_list PARE { $$ = Written_Law(rd, 'D', $3, $6).release(); }
  | HEXP real_list { $$ = Written_Law(rd, 'H', $2).release(); }
  | ONOFF real_list { $$ = Written_Law(rd, 'O', $2).release(); }
  | IPP PARB REAL SEP law_list PARE
      { --rd.open_laws;
        std::unique_ptr<LAW_LIST> subs = take($5);
        REAL_LIST l; l.push_front($3);
        $$ = Parse_Law('P', std::move(l), {}, std::move(*subs)).release(); }
  ;

pop_dcl : INTGR real_list { rd.pop = Parse_Init_Pop(rd, $1, $2); } ;

routing_dcl
  : RAND PARB real_list PARE
      { rd.routing_line = rd.lineno; $$ = Parse_Random_Routing(rd, $3).release(); }
  | CYCL PARB address_list PARE { $$ = Parse_Routing('D', rd.addresses).release(); }
  | COMP PRIO PARB address_list PARE { $$ = Parse_Routing('P', rd.addresses).release(); }
  | COMP { $$ = Parse_Routing('C', rd.addresses).release(); }
  ;

real_list
  : PARB REAL REP INTGR PARE
      { $$ = rd.reals.size(); Parse_Repeat(rd, $2, $4); }
  | real_list REAL { rd.reals.push_back($2); }
  | REAL { $$ = rd.reals.size(); rd.reals.push_back($1); }
  | %empty { $$ = rd.reals.size(); }
  ;

law_list
  : loi_dcl
      { LawPtr law = take($1);
        auto list = std::make_unique<LAW_LIST>();
        Append_Law(*list, std::move(law));
        $$ = list.release(); }
  | law_list SEP loi_dcl
      { std::unique_ptr<LAW_LIST> list = take($1);
        Append_Law(*list, take($3));
        $$ = list.release(); }
  ;

// The arcs of the statement being read gather in rd.arcs, each one first
// in rd.link.
link_list
  : one_link { Count_Objects(rd, 1); rd.arcs.clear(); rd.arcs.push_back(std::move(rd.link)); }
  | link_list SEP one_link { Count_Objects(rd, 1); rd.arcs.push_back(std::move(rd.link)); }
  ;

one_link
  : one_link_descr
  | one_link_descr INHIB { rd.link.Is_Inhibitor = 1; }
  ;

one_link_descr
  : address { rd.link = Parse_Link(take($1), 1, {}); }
  | address INTGR { rd.link = Parse_Link(take($1), $2, {}); }
  | address name { rd.link = Parse_Link(take($1), 1, $2.view()); }
  | address INTGR name { rd.link = Parse_Link(take($1), $2, $3.view()); }
  ;

io_address
  : IN INTGR { $$ = Parse_Address('I', $2, nullptr).release(); }
  | OUT INTGR { $$ = Parse_Address('O', $2, nullptr).release(); }
  ;

address
  : SUBMO INTGR SLASH io_address { $$ = Parse_Address('S', $2, take($4)).release(); }
  | PLACE INTGR { $$ = Parse_Address('P', $2, nullptr).release(); }
  | TRANS INTGR { $$ = Parse_Address('T', $2, nullptr).release(); }
  | INTGR { $$ = Parse_Address('U', $1, nullptr).release(); }
  ;

// The addresses of a routing gather in rd.addresses, in written order.
address_list
  : address { rd.addresses.clear(); rd.addresses.push_back(take($1)); }
  | address_list address { rd.addresses.push_back(take($2)); }
  | %empty { rd.addresses.clear(); }
  ;

binding_dcl
  : binding_list
  | %empty
  ;

binding_list
  : binding_list a_binding
  | a_binding
  ;

a_binding
  : SUBMO INTGR SLASH io_address SEP link_list ENDINSTR
      { Append_Binding(rd.bindings, Parse_Binding($2, take($4), rd.arcs)); }
  ;

%%

void orv::pn::yy::PnlParser::error(const std::string& m) {
  // The messages users know, whatever this generator calls them.
  const char* what = m == "memory exhausted" ? "parser stack overflow" : "parse error";
  std::printf("---%s---[%s] at line %d\n", what, std::string(rd.text).c_str(), rd.lineno);
}

namespace {
using Parser = orv::pn::yy::PnlParser;
using Kind = Parser::symbol_kind_type;

bool is_law_keyword(int k) {
  switch (k) {
    case Parser::symbol_kind::S_BERN: case Parser::symbol_kind::S_CST:
    case Parser::symbol_kind::S_DISC: case Parser::symbol_kind::S_EXPO:
    case Parser::symbol_kind::S_GEOM1: case Parser::symbol_kind::S_GEOM0:
    case Parser::symbol_kind::S_HEXP: case Parser::symbol_kind::S_LOGNO:
    case Parser::symbol_kind::S_ONOFF: case Parser::symbol_kind::S_PARETO:
    case Parser::symbol_kind::S_ERLG: case Parser::symbol_kind::S_UNIF:
    case Parser::symbol_kind::S_WEIBULL: case Parser::symbol_kind::S_IPP:
      return true;
    default:
      return false;
  }
}

// How a token is written, for the line that says what was expected.
std::string written(int k, const std::string& number) {
  switch (k) {
    case Parser::symbol_kind::S_YYEOF: return "the end of the file";
    case Parser::symbol_kind::S_INTGR: return "a whole number such as 2";
    case Parser::symbol_kind::S_REAL: return "a real number such as " + number;
    case Parser::symbol_kind::S_STRING: return "a string in double quotes";
    default: break;
  }
  static const char* const words[][2] = {
      {"TSIZE", "Transitions"}, {"PSIZE", "Places"}, {"TMAX", "Duree"}, {"NAME", "Name"},
      {"SUBM", "Submodel"}, {"INFILE", "FILE"}, {"IS", "IS"}, {"EXPORT", "Export"},
      {"BIND", "Binding"}, {"IN", "IN"}, {"OUT", "OUT"}, {"REP", "REP"}, {"RAND", "Random"},
      {"CYCL", "Cyclic"}, {"COMP", "Competition"}, {"PRIO", "Priority"}, {"BERN", "B"},
      {"CST", "C"}, {"DISC", "D"}, {"EXPO", "E"}, {"GEOM1", "G"}, {"GEOM0", "g"}, {"HEXP", "H"},
      {"LOGNO", "L"}, {"ONOFF", "O"}, {"PARETO", "p"}, {"ERLG", "R"}, {"UNIF", "U"},
      {"WEIBULL", "W"}, {"IPP", "IPP"}, {"TRANS", "T"}, {"PLACE", "P"}, {"SUBMO", "S"},
      {"INHIB", "I"}, {"AFFECT", "<-"}, {"PARB", "["}, {"PARE", "]"}, {"SLASH", "/"},
      {"SEP", ","}, {"ENDINSTR", ";"}};
  const std::string name = Parser::symbol_name(static_cast<Kind>(k));
  for (const auto& w : words)
    if (name == w[0]) return std::string("\"") + w[1] + "\"";
  return name;
}
}  // namespace

// The line users know, then what would have been read there. Where the
// parser took an empty real list before it met a whole number, a real
// number would have fitted too: after a law's letter, or after a real of a
// list.
void orv::pn::yy::PnlParser::report_syntax_error(const context& ctx) const {
  std::printf("---parse error---[%s] at line %d\n", std::string(rd.text).c_str(), rd.lineno);
  Kind kinds[YYNTOKENS];
  const int n = ctx.expected_tokens(kinds, YYNTOKENS);
  std::vector<int> expected(kinds, kinds + std::max(n, 0));
  const int got = ctx.token();
  int before[3];
  for (int i = 0; i < 3; ++i) before[i] = yytranslate_(rd.before[i]);
  auto law_with_reals = [](int k) {
    return is_law_keyword(k) && k != symbol_kind::S_ERLG && k != symbol_kind::S_DISC &&
           k != symbol_kind::S_IPP;
  };
  // A place's token count: a whole number right after its law.
  const bool after_count = before[0] == symbol_kind::S_INTGR &&
                           (before[1] == symbol_kind::S_REAL || law_with_reals(before[1]));
  const bool real_fits =
      got == symbol_kind::S_INTGR &&
      (law_with_reals(before[0]) || after_count ||
       (before[0] == symbol_kind::S_INTGR && before[1] == symbol_kind::S_ERLG) ||
       (before[0] == symbol_kind::S_REAL &&
        !(before[1] == symbol_kind::S_PARB && before[2] == symbol_kind::S_IPP)));
  std::vector<int> fits;
  if (real_fits) fits.push_back(symbol_kind::S_REAL);
  // After the count come the lags and the routing.
  if (after_count && got != symbol_kind::S_INTGR)
    fits.insert(fits.end(), {symbol_kind::S_REAL, symbol_kind::S_RAND, symbol_kind::S_CYCL,
                             symbol_kind::S_COMP});
  for (auto it = fits.rbegin(); it != fits.rend(); ++it)
    if (std::find(expected.begin(), expected.end(), *it) == expected.end())
      expected.insert(expected.begin(), *it);
  if (expected.empty()) return;
  const std::string number =
      got == symbol_kind::S_INTGR ? std::string(rd.text) + ".0" : std::string("1.0");
  std::vector<std::string> words;
  const long laws = std::count_if(expected.begin(), expected.end(), is_law_keyword);
  bool law_said = false;
  for (int k : expected) {
    // Every law letter: one example says it.
    if (laws > 3 && is_law_keyword(k)) {
      if (!law_said) words.push_back("a law such as \"C 1.0\"");
      law_said = true;
      continue;
    }
    words.push_back(written(k, number));
  }
  std::string line = "Expected here: ";
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) line += i + 1 == words.size() ? " or " : ", ";
    line += words[i];
  }
  std::printf("%s.\n", line.c_str());
}
