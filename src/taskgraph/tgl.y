// TGL grammar, its rules in their historical order. There is no error
// recovery: the first syntax error ends the parse.
%require "3.8"
%language "c++"
%define api.namespace {orv::tg::yy}
%define api.parser.class {TglParser}
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

// Plain data on the stack: a step of the parser copies a value instead of
// moving it by its kind. What a rule owns it takes over (and the
// destructors below free what an error leaves on the stack).
%union {
  int integer;
  double real;
  size_t at;
  orv::tg::NAME name;
  orv::tg::BIPOINT ends;
  orv::tg::LINK_DESC* link;
  orv::LAW_DESC* law;
  orv::LAW_LIST* laws;
}

%code {
#include <cstdio>
#include <memory>
#include <utility>
#include "taskgraph/tgl_reader.h"

namespace orv::tg::yy {
int yylex(TglParser::value_type* value, Reader& rd);
}
using namespace orv;
using namespace orv::tg;

namespace {
// A value off the stack, which then holds nothing for the clean-up after an
// exception to free a second time.
template <class T>
std::unique_ptr<T> take(T*& held) {
  return std::unique_ptr<T>(std::exchange(held, nullptr));
}
}  // namespace
}

%token TASK_BEG LINK_BEG END LINK_TYPE DATA PROGRAM DEPTH LINK_SYNCH OR_LINK AND_LINK
%token LINK_ORIG LINK_DEST SERV
%token BERN CST DISC EXPO GEOM1 GEOM0 HEXP LOGNO ONOFF PARETO IPP ERLG UNIF WEIBULL
%token PARB PARE SEP
%token <integer> INTGR
%token <real> REAL
%token <name> STRING
// A character that must not be skipped (a sign, a point without digits
// before it): no rule takes it.
%token BADCHAR

// Tasks and links go straight to the reader, and the values of a real list
// to one array, so that the stack carries no containers.
%type <link> link_dcl
%type <integer> synchro_dcl depth_dcl
%type <law> service_dcl loi_dcl
%type <laws> law_list
%type <ends> ends_dcl
%type <name> orig_dcl dest_dcl
%type <at> real_list  // where its values begin in rd.reals
%destructor { delete $$; } <link> <law> <laws>

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
        Parse_Task(rd, name, std::nullopt, take($3));
        if (Parse_Debug)
          std::printf("Task %.*s recognized\n", static_cast<int>(name.size),
                      name.data); }
  | TASK_BEG STRING STRING service_dcl END
      { const NAME name = $2;
        Parse_Task(rd, name, $3.text(), take($4));
        if (Parse_Debug)
          std::printf("Task %.*s recognized\n", static_cast<int>(name.size),
                      name.data); }
  ;

link
  : LINK_BEG STRING link_dcl END
      { const NAME name = $2;
        Parse_Link(rd, name, take($3));
        if (Parse_Debug)
          std::printf("Link %.*s recognized\n", static_cast<int>(name.size),
                      name.data); }
  ;

link_dcl
  : LINK_TYPE DATA synchro_dcl ends_dcl service_dcl
      { $$ = Parse_Data_Link($3, $4, take($5)).release(); }
  | LINK_TYPE PROGRAM synchro_dcl ends_dcl depth_dcl
      { $$ = Parse_Program_Link($3, $4, $5).release(); }
  ;

synchro_dcl
  : LINK_SYNCH AND_LINK { $$ = NECESSARY; }
  | LINK_SYNCH OR_LINK { $$ = OPTIONAL; }
  ;

service_dcl
  : SERV loi_dcl { $$ = $2; }
  ;

loi_dcl
  : EXPO PARB real_list PARE { $$ = Written_Law(rd, 'E', $3).release(); }
  | CST PARB real_list PARE { $$ = Written_Law(rd, 'C', $3).release(); }
  | BERN PARB real_list PARE { $$ = Written_Law(rd, 'B', $3).release(); }
  | GEOM0 PARB real_list PARE { $$ = Written_Law(rd, 'g', $3).release(); }
  | GEOM1 PARB real_list PARE { $$ = Written_Law(rd, 'G', $3).release(); }
  | ERLG PARB INTGR SEP real_list PARE
      { rd.reals.push_back(static_cast<double>($3));  // the stage count comes last
        $$ = Written_Law(rd, 'R', $5).release(); }
  | UNIF PARB real_list PARE { $$ = Written_Law(rd, 'U', $3).release(); }
  | PARETO PARB real_list PARE { $$ = Written_Law(rd, 'p', $3).release(); }
  | LOGNO PARB real_list PARE { $$ = Written_Law(rd, 'L', $3).release(); }
  | WEIBULL PARB real_list PARE { $$ = Written_Law(rd, 'W', $3).release(); }
  | DISC PARB real_list PARE PARB real_list PARE
      { $$ = Written_Law(rd, 'D', $3, $6).release(); }
  | HEXP PARB real_list PARE { $$ = Written_Law(rd, 'H', $3).release(); }
  | ONOFF PARB real_list PARE { $$ = Written_Law(rd, 'O', $3).release(); }
  | IPP PARB REAL SEP law_list PARE
      { --rd.open_laws;
        std::unique_ptr<LAW_LIST> subs = take($5);
        REAL_LIST rate;
        Append_Real(rate, $3);
        $$ = Parse_Law('P', std::move(rate), {}, std::move(*subs)).release(); }
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
