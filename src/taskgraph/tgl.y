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
#include <cstddef>
#include <optional>
#include <string_view>
#include "common/law.h"
#include "taskgraph/tgl_parse.h"
}

%code {
#include <cstdio>
#include "taskgraph/tgl_reader.h"

namespace orv::tg::yy {
TglParser::symbol_type yylex(Reader& rd);
}
using namespace orv;
using namespace orv::tg;
}

%token TASK_BEG LINK_BEG END LINK_TYPE DATA PROGRAM DEPTH LINK_SYNCH OR_LINK AND_LINK
%token LINK_ORIG LINK_DEST SERV
%token BERN CST DISC EXPO GEOM1 GEOM0 HEXP LOGNO ONOFF PARETO IPP ERLG UNIF WEIBULL
%token PARB PARE SEP
%token <int> INTGR
%token <double> REAL
%token <orv::tg::NAME> STRING
// A character that must not be skipped (a sign, a point without digits
// before it): no rule takes it.
%token BADCHAR

// Tasks and links go straight to the reader, and the values of a real list
// to one array, so that the stack carries no containers.
%type <orv::tg::LinkPtr> link_dcl
%type <int> synchro_dcl depth_dcl
%type <orv::LawPtr> service_dcl loi_dcl
%type <orv::LAW_LIST> law_list
%type <orv::tg::BIPOINT> ends_dcl
%type <orv::tg::NAME> orig_dcl dest_dcl
%type <size_t> real_list  // where its values begin in rd.reals

%start reseau

%%

reseau
  : liste_objects
      { rd.The_Task_Graph = Parse_TG(std::move(rd.tasks), std::move(rd.links), rd.TaskIdents);
        rd.parsed = true;
        if (Debug && rd.The_Task_Graph) std::printf("Reseau ok\n"); }
  ;

liste_objects
  : object
  | liste_objects object
  ;

object
  : task
  | link
  ;

task
  : TASK_BEG STRING service_dcl END
      { const NAME name = $2;
        Parse_Task(rd, name, std::nullopt, $3);
        if (Parse_Debug)
          std::printf("Task %.*s recognized\n", static_cast<int>(name.text.size()),
                      name.text.data()); }
  | TASK_BEG STRING STRING service_dcl END
      { const NAME name = $2;
        Parse_Task(rd, name, $3.text, $4);
        if (Parse_Debug)
          std::printf("Task %.*s recognized\n", static_cast<int>(name.text.size()),
                      name.text.data()); }
  ;

link
  : LINK_BEG STRING link_dcl END
      { const NAME name = $2;
        Parse_Link(rd, name, $3);
        if (Parse_Debug)
          std::printf("Link %.*s recognized\n", static_cast<int>(name.text.size()),
                      name.text.data()); }
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
  : EXPO PARB real_list PARE { $$ = Written_Law(rd, 'E', $3); }
  | CST PARB real_list PARE { $$ = Written_Law(rd, 'C', $3); }
  | BERN PARB real_list PARE { $$ = Written_Law(rd, 'B', $3); }
  | GEOM0 PARB real_list PARE { $$ = Written_Law(rd, 'g', $3); }
  | GEOM1 PARB real_list PARE { $$ = Written_Law(rd, 'G', $3); }
  | ERLG PARB INTGR SEP real_list PARE
      { rd.reals.push_back(static_cast<double>($3));  // the stage count comes last
        $$ = Written_Law(rd, 'R', $5); }
  | UNIF PARB real_list PARE { $$ = Written_Law(rd, 'U', $3); }
  | PARETO PARB real_list PARE { $$ = Written_Law(rd, 'p', $3); }
  | LOGNO PARB real_list PARE { $$ = Written_Law(rd, 'L', $3); }
  | WEIBULL PARB real_list PARE { $$ = Written_Law(rd, 'W', $3); }
  | DISC PARB real_list PARE PARB real_list PARE
      { $$ = Written_Law(rd, 'D', $3, $6); }
  | HEXP PARB real_list PARE { $$ = Written_Law(rd, 'H', $3); }
  | ONOFF PARB real_list PARE { $$ = Written_Law(rd, 'O', $3); }
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
  : REAL { $$ = rd.reals.size(); rd.reals.push_back($1); }
  | INTGR { $$ = rd.reals.size(); rd.reals.push_back(static_cast<double>($1)); }
  | real_list SEP REAL { $$ = $1; rd.reals.push_back($3); }
  ;

%%

void orv::tg::yy::TglParser::error(const std::string& m) {
  // The messages users know, whatever this generator calls them.
  const char* what = m == "memory exhausted" ? "parser stack overflow" : "parse error";
  std::printf("---%s---[%.*s] at line %d\n", what, static_cast<int>(rd.text.size()),
              rd.text.data(), rd.lineno);
}
