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
#include <string>
#include <vector>
#include "eventgraph/egl_reader.h"

namespace orv::eg::egl {
// What one parse leaves behind (the graph stays null on failure).
struct Parse_State {
  EventGraphPtr The_Event_Graph;
  bool Failed = false;
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
%token <std::string> STRING
%token EXPO ERLG BERN GEOM0 GEOM1 UNIF CST DISC ONOFF IPP HEXP LOGNO PARETO WEIBULL

%type <int> declarations taille_dcl duree_dcl trans_id
%type <orv::eg::Transition_Cells> liste_transitions
%type <orv::eg::Transition_Cell> transition_sons
%type <orv::eg::TransPtr> transition_dcl
%type <orv::eg::Place_Cells> place_list
%type <orv::eg::PlacePtr> place_dcl
%type <std::string> name
%type <orv::LawPtr> loi_dcl
%type <orv::eg::POPULATION> pop_dcl
%type <std::vector<double>> real_list
%type <orv::LAW_LIST> law_list

%start reseau

%%

reseau
  : declarations liste_transitions
      { state.The_Event_Graph = Parse_EG($1, $2);
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
      { Transition_Cells list; Append_Transition(list, $1); $$ = std::move(list); }
  | liste_transitions transition_sons
      { Transition_Cells list = $1; Append_Transition(list, $2); $$ = std::move(list); }
  ;

transition_sons
  : transition_dcl SEP place_list ENDINSTR { $$ = Add_Sons($1, $3); }
  | transition_dcl ENDINSTR { $$ = Transition_Cell{$1, {}}; }
  ;

transition_dcl
  : trans_id loi_dcl
      { int id = $1;
        $$ = Parse_Transition(id, $2, {}, {});
        if (Debug) std::printf("Transition %d recognized\n", id); }
  | trans_id name loi_dcl
      { int id = $1;
        std::string nm = $2;
        if (Debug) std::printf("Transition %s [%d] recognized\n", nm.c_str(), id);
        $$ = Parse_Transition(id, $3, std::move(nm), {}); }
  | trans_id name name loi_dcl
      { int id = $1;
        std::string nm = $2;
        std::string data = $3;
        if (Debug)
          std::printf("Transition %s [%d][%s] recognized\n", nm.c_str(), id, data.c_str());
        $$ = Parse_Transition(id, $4, std::move(nm), std::move(data)); }
  ;

place_list
  : place_dcl
      { Place_Cells list; Append_Place(list, $1); $$ = std::move(list); }
  | place_list SEP place_dcl
      { Place_Cells list = $1; Append_Place(list, $3); $$ = std::move(list); }
  ;

place_dcl
  : trans_id loi_dcl pop_dcl
      { $$ = Parse_Place($1, $2, $3, {}, {}, {}); }
  | trans_id name loi_dcl pop_dcl
      { $$ = Parse_Place($1, $3, $4, $2, {}, {}); }
  | trans_id name name loi_dcl pop_dcl
      { $$ = Parse_Place($1, $4, $5, $2, $3, {}); }
  | trans_id name name name loi_dcl pop_dcl
      { $$ = Parse_Place($1, $5, $6, $2, $3, $4); }
  ;

trans_id
  : INTGR { $$ = $1; }
  ;

name
  : STRING { $$ = $1; }
  ;

loi_dcl
  : EXPO real_list { $$ = Parse_Law_Written('E', $2); }
  | CST real_list { $$ = Parse_Law_Written('C', $2); }
  | BERN real_list { $$ = Parse_Law_Written('B', $2); }
  | GEOM0 real_list { $$ = Parse_Law_Written('g', $2); }
  | GEOM1 real_list { $$ = Parse_Law_Written('G', $2); }
  | ERLG INTGR real_list
      { std::vector<double> written = $3;
        written.push_back(static_cast<double>($2));
        $$ = Parse_Law_Written('R', written); }
  | UNIF real_list { $$ = Parse_Law_Written('U', $2); }
  | PARETO real_list { $$ = Parse_Law_Written('p', $2); }
  | WEIBULL real_list { $$ = Parse_Law_Written('W', $2); }
  | LOGNO real_list { $$ = Parse_Law_Written('L', $2); }
  | DISC PARB real_list PARE PARB real_list PARE
      { $$ = Parse_Law_Written('D', $3, $6); }
  | HEXP real_list { $$ = Parse_Law_Written('H', $2); }
  | ONOFF real_list { $$ = Parse_Law_Written('O', $2); }
  | IPP PARB real_list SEP law_list PARE
      { Close_Law();
        std::vector<double> rate = $3;
        $$ = Parse_Law('P', REAL_LIST(rate.rbegin(), rate.rend()), {}, $5); }
  ;

pop_dcl
  : INTGR real_list
      { bool ok = true;
        $$ = Parse_Init_Pop($1, $2, &ok);
        if (!ok) state.Failed = true; }
  | INTGR
      { bool ok = true;
        $$ = Parse_Init_Pop($1, {}, &ok);
        if (!ok) state.Failed = true; }
  ;

real_list
  : REAL { $$ = std::vector<double>{$1}; }
  | real_list REAL { std::vector<double> list = $1; list.push_back($2); $$ = std::move(list); }
  ;

law_list
  : loi_dcl { LAW_LIST list; Append_Law(list, $1); $$ = std::move(list); }
  | law_list SEP loi_dcl { LAW_LIST list = $1; Append_Law(list, $3); $$ = std::move(list); }
  ;

%%

void orv::eg::egl::EGL_parser::error(const std::string& message) {
  // Bison's wording changed over the years; the system's is the older one.
  const char* text = message.c_str();
  if (message == "syntax error") text = "parse error";
  else if (message == "memory exhausted") text = "parser stack overflow";
  std::printf("---%s---[%s] at line %d\n", text, EGL_current_text(), EGL_lineno);
}
