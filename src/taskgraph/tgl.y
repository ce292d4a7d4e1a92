// TGL grammar, its rules in their historical order. There is no error
// recovery: the first syntax error ends the parse.
%require "3.8"
%language "c++"
%define api.namespace {orv::tg::yy}
%define api.parser.class {TglParser}
%define api.value.type variant
%define api.value.automove
%define api.token.constructor
%define api.token.prefix {TOK_}
%define parse.error simple
%parse-param {orv::tg::Reader& rd}
%lex-param {orv::tg::Reader& rd}

%code requires {
#include <optional>
#include <string>
#include <vector>
#include "common/law.h"
#include "taskgraph/tgl_parse.h"
// Real lists travel in written order as vectors: the stack moves its values
// at every step.
using Reals = std::vector<double>;
}

%code {
#include <cstdio>
#include "taskgraph/tgl_reader.h"

namespace orv::tg::yy {
TglParser::symbol_type yylex(Reader& rd);
}
using namespace orv;
using namespace orv::tg;

namespace {
// A real list as the law builder takes it: in list order, the last value first.
REAL_LIST L(const Reals& written) { return REAL_LIST(written.rbegin(), written.rend()); }
}  // namespace
}

%token TASK_BEG LINK_BEG END LINK_TYPE DATA PROGRAM DEPTH LINK_SYNCH OR_LINK AND_LINK
%token LINK_ORIG LINK_DEST SERV
%token BERN CST DISC EXPO GEOM1 GEOM0 HEXP LOGNO ONOFF PARETO IPP ERLG UNIF WEIBULL
%token PARB PARE SEP
%token <int> INTGR
%token <double> REAL
%token <std::string> STRING
// A character that must not be skipped (a sign, a point without digits
// before it): no rule takes it.
%token BADCHAR

%type <orv::tg::OBJ_LIST> liste_objects
%type <orv::tg::OBJECT> object
%type <orv::tg::TaskPtr> task
%type <orv::tg::LinkPtr> link link_dcl
%type <int> synchro_dcl depth_dcl
%type <orv::LawPtr> service_dcl loi_dcl
%type <orv::LAW_LIST> law_list
%type <orv::tg::BIPOINT> ends_dcl
%type <std::string> orig_dcl dest_dcl
%type <Reals> real_list

%start reseau

%%

reseau
  : liste_objects
      { OBJ_LIST objects = $1;
        std::vector<TaskPtr> tasks;
        std::vector<LinkPtr> links;
        for (OBJECT& o : objects) {
          if (o.A_Task) tasks.push_back(std::move(o.A_Task));
          if (o.A_Link) links.push_back(std::move(o.A_Link));
        }
        rd.The_Task_Graph = Parse_TG(std::move(tasks), std::move(links), rd.TaskIdents);
        rd.parsed = true;
        if (Debug && rd.The_Task_Graph) std::printf("Reseau ok\n"); }
  ;

liste_objects
  : object { OBJ_LIST list; list.push_back($1); $$ = std::move(list); }
  | liste_objects object { OBJ_LIST list = $1; list.push_back($2); $$ = std::move(list); }
  ;

object
  : task { OBJECT o; o.A_Task = $1; $$ = std::move(o); }
  | link { OBJECT o; o.A_Link = $1; $$ = std::move(o); }
  ;

task
  : TASK_BEG STRING service_dcl END
      { std::string name = $2;
        $$ = Parse_Task(rd, name, std::nullopt, $3);
        if (Parse_Debug) std::printf("Task %s recognized\n", name.c_str()); }
  | TASK_BEG STRING STRING service_dcl END
      { std::string name = $2;
        $$ = Parse_Task(rd, name, $3, $4);
        if (Parse_Debug) std::printf("Task %s recognized\n", name.c_str()); }
  ;

link
  : LINK_BEG STRING link_dcl END
      { std::string name = $2;
        $$ = Parse_Link(rd, name, $3);
        if (Parse_Debug) std::printf("Link %s recognized\n", name.c_str()); }
  ;

link_dcl
  : LINK_TYPE DATA synchro_dcl ends_dcl service_dcl
      { $$ = Parse_Data_Link($3, $4, $5); }
  | LINK_TYPE PROGRAM synchro_dcl ends_dcl depth_dcl
      { $$ = Parse_Program_Link($3, $4, $5); }
  ;

synchro_dcl
  : LINK_SYNCH AND_LINK { $$ = NECESSARY; }
  | LINK_SYNCH OR_LINK { $$ = OPTIONAL; }
  ;

service_dcl
  : SERV loi_dcl { $$ = $2; }
  ;

loi_dcl
  : EXPO PARB real_list PARE { $$ = Parse_Law('E', L($3), {}, {}); }
  | CST PARB real_list PARE { $$ = Parse_Law('C', L($3), {}, {}); }
  | BERN PARB real_list PARE { $$ = Parse_Law('B', L($3), {}, {}); }
  | GEOM0 PARB real_list PARE { $$ = Parse_Law('g', L($3), {}, {}); }
  | GEOM1 PARB real_list PARE { $$ = Parse_Law('G', L($3), {}, {}); }
  | ERLG PARB INTGR SEP real_list PARE
      { REAL_LIST list = L($5);
        Append_Real(list, static_cast<double>($3));
        $$ = Parse_Law('R', std::move(list), {}, {}); }
  | UNIF PARB real_list PARE { $$ = Parse_Law('U', L($3), {}, {}); }
  | PARETO PARB real_list PARE { $$ = Parse_Law('p', L($3), {}, {}); }
  | LOGNO PARB real_list PARE { $$ = Parse_Law('L', L($3), {}, {}); }
  | WEIBULL PARB real_list PARE { $$ = Parse_Law('W', L($3), {}, {}); }
  | DISC PARB real_list PARE PARB real_list PARE
      { $$ = Parse_Law('D', L($3), L($6), {}); }
  | HEXP PARB real_list PARE { $$ = Parse_Law('H', L($3), {}, {}); }
  | ONOFF PARB real_list PARE { $$ = Parse_Law('O', L($3), {}, {}); }
  | IPP PARB REAL SEP law_list PARE
      { --rd.open_laws;
        REAL_LIST rate;
        Append_Real(rate, $3);
        $$ = Parse_Law('P', std::move(rate), {}, $5); }
  ;

law_list
  : loi_dcl { LAW_LIST list; Append_Law(list, $1); $$ = std::move(list); }
  | law_list SEP loi_dcl { LAW_LIST list = $1; Append_Law(list, $3); $$ = std::move(list); }
  ;

ends_dcl
  : orig_dcl dest_dcl { $$ = Parse_Ends(rd, $1, $2); }
  ;

orig_dcl
  : LINK_ORIG STRING { $$ = $2; }
  ;

dest_dcl
  : LINK_DEST STRING { $$ = $2; }
  ;

depth_dcl
  : DEPTH INTGR { $$ = $2; }
  ;

real_list
  : REAL { $$ = Reals{$1}; }
  | INTGR { $$ = Reals{static_cast<double>($1)}; }
  | real_list SEP REAL { Reals list = $1; list.push_back($3); $$ = std::move(list); }
  ;

%%

void orv::tg::yy::TglParser::error(const std::string& m) {
  // The messages users know, whatever this generator calls them.
  const char* what = m == "memory exhausted" ? "parser stack overflow" : "parse error";
  std::printf("---%s---[%s] at line %d\n", what, rd.text.c_str(), rd.lineno);
}
