/* EGL grammar. Lists are built by prepending (the transition and place
   cells are stored in written order, see egl_reader.h). */
%require "3.2"
%language "c++"
%define api.namespace {orv::eg::egl}
%define api.parser.class {EGL_parser}
%define api.value.type variant
%define api.value.automove
%define api.token.constructor
%define api.token.prefix {TOK_}

%code requires {
#include <string_view>
#include <vector>
#include "eventgraph/egl_reader.h"

namespace orv::eg::egl {
// What one parse leaves behind (the graph stays null on failure), and the
// parse's working lists: lines and places go straight into the cells, and
// the number lists and sub-law lists of the laws being read are slots of
// two stacks, reused from one law to the next.
struct Parse_State {
  EventGraphPtr The_Event_Graph;
  bool Failed = false;
  Read_Cells Cells;
  std::vector<std::vector<double>> Reals;
  size_t Reals_Used = 0;
  std::vector<LAW_LIST> Laws;
  size_t Laws_Used = 0;

  int New_Reals() {
    if (Reals_Used == Reals.size()) Reals.emplace_back();
    Reals[Reals_Used].clear();
    return static_cast<int>(Reals_Used++);
  }
  // Gives back slot k and every slot after it.
  std::vector<double>& Reals_At(int k) { return Reals[static_cast<size_t>(k)]; }
  void Drop_Reals(int k) { Reals_Used = static_cast<size_t>(k); }
  int New_Laws() {
    if (Laws_Used == Laws.size()) Laws.emplace_back();
    Laws[Laws_Used].clear();
    return static_cast<int>(Laws_Used++);
  }
  LAW_LIST& Laws_At(int k) { return Laws[static_cast<size_t>(k)]; }
  void Drop_Laws(int k) { Laws_Used = static_cast<size_t>(k); }

  void Add_Transition(TransPtr t) {
    Cells.Transitions.push_back(
        Transition_Cell{std::move(t), static_cast<unsigned>(Cells.Places.size()), 0});
  }
  void Add_Place(PlacePtr p) { Cells.Places.push_back(std::move(p)); }
  // The places read since the line's transition are its own.
  void End_Line() {
    Transition_Cell& line = Cells.Transitions.back();
    line.Nb_Places = static_cast<unsigned>(Cells.Places.size()) - line.First_Place;
  }
};
}  // namespace orv::eg::egl
}

%parse-param { Parse_State& state }

%code {
#include <cstdio>
#include "eventgraph/egl_scanner.h"
#define yylex orv::eg::egl::EGL_lex

}

%token SIZE TMAX AFFECT SEP ENDINSTR PARB PARE
%token <int> INTGR
%token <double> REAL
%token <std::string_view> STRING
%token EXPO ERLG BERN GEOM0 GEOM1 UNIF CST DISC ONOFF IPP HEXP LOGNO PARETO WEIBULL

%type <int> declarations taille_dcl duree_dcl trans_id
%type <std::string_view> name
%type <orv::LawPtr> loi_dcl
%type <orv::eg::POPULATION> pop_dcl
%type <int> real_list law_list

%start reseau

%%

reseau
  : declarations liste_transitions
      { state.The_Event_Graph = Parse_EG($1, std::move(state.Cells));
        if (Debug) std::printf("Reseau ok\n"); }
  ;

declarations
  : taille_dcl duree_dcl { $$ = $1; }
  ;

taille_dcl
  : SIZE AFFECT INTGR { $$ = $3; }
  ;

duree_dcl
  : TMAX AFFECT INTGR
      { $$ = $3;
        if (Debug) std::printf("Warning: obsolete duration declaration.\n"); }
  | %empty { $$ = 1000; }
  ;

liste_transitions
  : transition_sons
  | liste_transitions transition_sons
  ;

transition_sons
  : transition_dcl SEP place_list ENDINSTR { state.End_Line(); }
  | transition_dcl ENDINSTR
  ;

transition_dcl
  : trans_id loi_dcl
      { int id = $1;
        state.Add_Transition(Parse_Transition(id, $2, {}, {}));
        if (Debug) std::printf("Transition %d recognized\n", id); }
  | trans_id name loi_dcl
      { int id = $1;
        std::string_view nm = $2;
        if (Debug)
          std::printf("Transition %.*s [%d] recognized\n", static_cast<int>(nm.size()),
                      nm.data(), id);
        state.Add_Transition(Parse_Transition(id, $3, nm, {})); }
  | trans_id name name loi_dcl
      { int id = $1;
        std::string_view nm = $2;
        std::string_view data = $3;
        if (Debug)
          std::printf("Transition %.*s [%d][%.*s] recognized\n", static_cast<int>(nm.size()),
                      nm.data(), id, static_cast<int>(data.size()), data.data());
        state.Add_Transition(Parse_Transition(id, $4, nm, data)); }
  ;

place_list
  : place_dcl
  | place_list SEP place_dcl
  ;

place_dcl
  : trans_id loi_dcl pop_dcl
      { state.Add_Place(Parse_Place($1, $2, $3, {}, {}, {})); }
  | trans_id name loi_dcl pop_dcl
      { state.Add_Place(Parse_Place($1, $3, $4, $2, {}, {})); }
  | trans_id name name loi_dcl pop_dcl
      { state.Add_Place(Parse_Place($1, $4, $5, $2, $3, {})); }
  | trans_id name name name loi_dcl pop_dcl
      { state.Add_Place(Parse_Place($1, $5, $6, $2, $3, $4)); }
  ;

trans_id
  : INTGR { $$ = $1; }
  ;

name
  : STRING { $$ = $1; }
  ;

loi_dcl
  : EXPO real_list { int k = $2; $$ = Parse_Law_Written('E', state.Reals_At(k)); state.Drop_Reals(k); }
  | CST real_list { int k = $2; $$ = Parse_Law_Written('C', state.Reals_At(k)); state.Drop_Reals(k); }
  | BERN real_list { int k = $2; $$ = Parse_Law_Written('B', state.Reals_At(k)); state.Drop_Reals(k); }
  | GEOM0 real_list { int k = $2; $$ = Parse_Law_Written('g', state.Reals_At(k)); state.Drop_Reals(k); }
  | GEOM1 real_list { int k = $2; $$ = Parse_Law_Written('G', state.Reals_At(k)); state.Drop_Reals(k); }
  | ERLG INTGR real_list
      { int k = $3;
        std::vector<double>& written = state.Reals_At(k);
        written.push_back(static_cast<double>($2));
        $$ = Parse_Law_Written('R', written);
        state.Drop_Reals(k); }
  | UNIF real_list { int k = $2; $$ = Parse_Law_Written('U', state.Reals_At(k)); state.Drop_Reals(k); }
  | PARETO real_list { int k = $2; $$ = Parse_Law_Written('p', state.Reals_At(k)); state.Drop_Reals(k); }
  | WEIBULL real_list { int k = $2; $$ = Parse_Law_Written('W', state.Reals_At(k)); state.Drop_Reals(k); }
  | LOGNO real_list { int k = $2; $$ = Parse_Law_Written('L', state.Reals_At(k)); state.Drop_Reals(k); }
  | DISC PARB real_list PARE PARB real_list PARE
      { int k = $3;
        $$ = Parse_Law_Written('D', state.Reals_At(k), state.Reals_At($6));
        state.Drop_Reals(k); }
  | HEXP real_list { int k = $2; $$ = Parse_Law_Written('H', state.Reals_At(k)); state.Drop_Reals(k); }
  | ONOFF real_list { int k = $2; $$ = Parse_Law_Written('O', state.Reals_At(k)); state.Drop_Reals(k); }
  | IPP PARB real_list SEP law_list PARE
      { Close_Law();
        int k = $3;
        int l = $5;
        const std::vector<double>& rate = state.Reals_At(k);
        $$ = Parse_Law('P', REAL_LIST(rate.rbegin(), rate.rend()), {},
                       std::move(state.Laws_At(l)));
        state.Drop_Laws(l);
        state.Drop_Reals(k); }
  ;

pop_dcl
  : INTGR real_list
      { bool ok = true;
        int k = $2;
        $$ = Parse_Init_Pop($1, state.Reals_At(k), &ok);
        state.Drop_Reals(k);
        if (!ok) state.Failed = true; }
  | INTGR
      { bool ok = true;
        $$ = Parse_Init_Pop($1, {}, &ok);
        if (!ok) state.Failed = true; }
  ;

real_list
  : REAL { int k = state.New_Reals(); state.Reals_At(k).push_back($1); $$ = k; }
  | real_list REAL { int k = $1; state.Reals_At(k).push_back($2); $$ = k; }
  ;

law_list
  : loi_dcl { int l = state.New_Laws(); Append_Law(state.Laws_At(l), $1); $$ = l; }
  | law_list SEP loi_dcl { int l = $1; Append_Law(state.Laws_At(l), $3); $$ = l; }
  ;

%%

void orv::eg::egl::EGL_parser::error(const std::string& message) {
  // Bison's wording changed over the years; the system's is the older one.
  const char* text = message.c_str();
  if (message == "syntax error") text = "parse error";
  else if (message == "memory exhausted") text = "parser stack overflow";
  std::printf("---%s---[%s] at line %d\n", text, EGL_current_text(), EGL_lineno);
}
