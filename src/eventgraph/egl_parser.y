/* EGL grammar. Lists are built by prepending (the transition and place
   cells are stored in written order, see egl_reader.h). */
%require "3.6"
%language "c++"
%define api.namespace {orv::eg::egl}
%define api.parser.class {EGL_parser}
%define api.token.prefix {TOK_}
%define parse.error custom

%code requires {
#include <string_view>
#include <vector>
#include "eventgraph/egl_reader.h"

namespace orv::eg::egl {
// A name as written: it points into the text, which outlives the parse.
struct Name_Text {
  const char* Text;
  int Length;
  std::string_view view() const { return {Text, static_cast<size_t>(Length)}; }
};

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
  // The tokens of the place being read, from pop_dcl to place_dcl (which
  // is reduced right after it).
  POPULATION Pop;

  int New_Reals() {
    if (Reals_Used == Reals.size()) Reals.emplace_back();
    Reals[Reals_Used].clear();
    return static_cast<int>(Reals_Used++);
  }
  std::vector<double>& Reals_At(int k) { return Reals[static_cast<size_t>(k)]; }
  // Gives back slot k and every slot after it (the lists nest).
  void Drop_Reals(int k) { Reals_Used = static_cast<size_t>(k); }
  int New_Laws() {
    if (Laws_Used == Laws.size()) Laws.emplace_back();
    Laws[Laws_Used].clear();
    return static_cast<int>(Laws_Used++);
  }
  LAW_LIST& Laws_At(int k) { return Laws[static_cast<size_t>(k)]; }
  void Drop_Laws(int k) { Laws_Used = static_cast<size_t>(k); }
  // The law of the numbers in slot k, which is given back.
  LAW_DESC* Law(char letter, int k) {
    LawPtr law = Parse_Law_Written(letter, Reals_At(k));
    Drop_Reals(k);
    return law.release();
  }

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
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "eventgraph/egl_scanner.h"
#define yylex orv::eg::egl::EGL_lex

}

/* Plain values: the variant's type switch on every push and pop costs more
   than the rest of the parse. A law is owned by its symbol until an action
   takes it (and clears the symbol, so that the clean-up after an exception
   does not free it twice). */
%union {
  int Int;
  double Real;
  orv::eg::egl::Name_Text Name;
  orv::LAW_DESC* Law;
}
%destructor { delete $$; } <Law>

%token SIZE TMAX AFFECT SEP ENDINSTR PARB PARE
%token <Int> INTGR
%token <Real> REAL
%token <Name> STRING
%token EXPO ERLG BERN GEOM0 GEOM1 UNIF CST DISC ONOFF IPP HEXP LOGNO PARETO WEIBULL

%type <Int> declarations taille_dcl duree_dcl trans_id
%type <Name> name
%type <Law> loi_dcl
%type <Int> real_list law_list

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
      { LawPtr law($2);
        $2 = nullptr;
        int id = $1;
        state.Add_Transition(Parse_Transition(id, std::move(law), {}, {}));
        if (Debug) std::printf("Transition %d recognized\n", id); }
  | trans_id name loi_dcl
      { LawPtr law($3);
        $3 = nullptr;
        int id = $1;
        std::string_view nm = $2.view();
        if (Debug)
          std::printf("Transition %.*s [%d] recognized\n", $2.Length, $2.Text, id);
        state.Add_Transition(Parse_Transition(id, std::move(law), nm, {})); }
  | trans_id name name loi_dcl
      { LawPtr law($4);
        $4 = nullptr;
        int id = $1;
        if (Debug)
          std::printf("Transition %.*s [%d][%.*s] recognized\n", $2.Length, $2.Text, id,
                      $3.Length, $3.Text);
        state.Add_Transition(Parse_Transition(id, std::move(law), $2.view(), $3.view())); }
  ;

place_list
  : place_dcl
  | place_list SEP place_dcl
  ;

place_dcl
  : trans_id loi_dcl pop_dcl
      { LawPtr law($2);
        $2 = nullptr;
        state.Add_Place(Parse_Place($1, std::move(law), std::move(state.Pop), {}, {}, {})); }
  | trans_id name loi_dcl pop_dcl
      { LawPtr law($3);
        $3 = nullptr;
        state.Add_Place(Parse_Place($1, std::move(law), std::move(state.Pop), $2.view(), {}, {})); }
  | trans_id name name loi_dcl pop_dcl
      { LawPtr law($4);
        $4 = nullptr;
        state.Add_Place(
            Parse_Place($1, std::move(law), std::move(state.Pop), $2.view(), $3.view(), {})); }
  | trans_id name name name loi_dcl pop_dcl
      { LawPtr law($5);
        $5 = nullptr;
        state.Add_Place(Parse_Place($1, std::move(law), std::move(state.Pop), $2.view(),
                                    $3.view(), $4.view())); }
  ;

trans_id
  : INTGR { $$ = $1; }
  ;

name
  : STRING { $$ = $1; }
  ;

loi_dcl
  : EXPO real_list { $$ = state.Law('E', $2); }
  | CST real_list { $$ = state.Law('C', $2); }
  | BERN real_list { $$ = state.Law('B', $2); }
  | GEOM0 real_list { $$ = state.Law('g', $2); }
  | GEOM1 real_list { $$ = state.Law('G', $2); }
  | ERLG INTGR real_list
      { state.Reals_At($3).push_back(static_cast<double>($2));
        $$ = state.Law('R', $3); }
  | UNIF real_list { $$ = state.Law('U', $2); }
  | PARETO real_list { $$ = state.Law('p', $2); }
  | WEIBULL real_list { $$ = state.Law('W', $2); }
  | LOGNO real_list { $$ = state.Law('L', $2); }
  | DISC PARB real_list PARE PARB real_list PARE
      { int k = $3;
        $$ = Parse_Law_Written('D', state.Reals_At(k), state.Reals_At($6)).release();
        state.Drop_Reals(k); }
  | HEXP real_list { $$ = state.Law('H', $2); }
  | ONOFF real_list { $$ = state.Law('O', $2); }
  | IPP PARB real_list SEP law_list PARE
      { Close_Law();
        int k = $3;
        int l = $5;
        const std::vector<double>& rate = state.Reals_At(k);
        $$ = Parse_Law('P', REAL_LIST(rate.rbegin(), rate.rend()), {},
                       std::move(state.Laws_At(l))).release();
        state.Drop_Laws(l);
        state.Drop_Reals(k); }
  ;

pop_dcl
  : INTGR real_list
      { bool ok = true;
        int k = $2;
        state.Pop = Parse_Init_Pop($1, state.Reals_At(k), &ok);
        state.Drop_Reals(k);
        if (!ok) state.Failed = true; }
  | INTGR
      { bool ok = true;
        state.Pop = Parse_Init_Pop($1, {}, &ok);
        if (!ok) state.Failed = true; }
  ;

real_list
  : REAL { int k = state.New_Reals(); state.Reals_At(k).push_back($1); $$ = k; }
  | real_list REAL { state.Reals_At($1).push_back($2); $$ = $1; }
  ;

law_list
  : loi_dcl
      { LawPtr law($1);
        $1 = nullptr;
        int l = state.New_Laws();
        Append_Law(state.Laws_At(l), std::move(law));
        $$ = l; }
  | law_list SEP loi_dcl
      { LawPtr law($3);
        $3 = nullptr;
        Append_Law(state.Laws_At($1), std::move(law));
        $$ = $1; }
  ;

%%

namespace {
using Parser = orv::eg::egl::EGL_parser;
using Kind = Parser::symbol_kind_type;

bool is_law_keyword(int k) {
  switch (k) {
    case Parser::symbol_kind::S_EXPO: case Parser::symbol_kind::S_ERLG:
    case Parser::symbol_kind::S_BERN: case Parser::symbol_kind::S_GEOM0:
    case Parser::symbol_kind::S_GEOM1: case Parser::symbol_kind::S_UNIF:
    case Parser::symbol_kind::S_CST: case Parser::symbol_kind::S_DISC:
    case Parser::symbol_kind::S_ONOFF: case Parser::symbol_kind::S_IPP:
    case Parser::symbol_kind::S_HEXP: case Parser::symbol_kind::S_LOGNO:
    case Parser::symbol_kind::S_PARETO: case Parser::symbol_kind::S_WEIBULL:
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
    case Parser::symbol_kind::S_STRING: return "a name in double quotes";
    default: break;
  }
  static const char* const words[][2] = {
      {"SIZE", "Size"}, {"TMAX", "Length"}, {"AFFECT", "<-"}, {"SEP", ","}, {"ENDINSTR", ";"},
      {"PARB", "["}, {"PARE", "]"}, {"EXPO", "E"}, {"ERLG", "R"}, {"BERN", "B"},
      {"GEOM0", "g"}, {"GEOM1", "G"}, {"UNIF", "U"}, {"CST", "C"}, {"DISC", "D"},
      {"ONOFF", "O"}, {"IPP", "IPP"}, {"HEXP", "H"}, {"LOGNO", "L"}, {"PARETO", "p"},
      {"WEIBULL", "W"}};
  const std::string name = Parser::symbol_name(static_cast<Kind>(k));
  for (const auto& w : words)
    if (name == w[0]) return std::string("\"") + w[1] + "\"";
  return name;
}
}  // namespace

// The line users know, then what would have been read there. Where the
// parser closed a real list before it met a whole number, a real number
// would have fitted too.
void orv::eg::egl::EGL_parser::report_syntax_error(const context& ctx) const {
  std::printf("---parse error---[%s] at line %d\n", EGL_current_text(), EGL_lineno);
  Kind kinds[YYNTOKENS];
  const int n = ctx.expected_tokens(kinds, YYNTOKENS);
  std::vector<int> expected(kinds, kinds + std::max(n, 0));
  const int got = ctx.token();
  int before[3];
  for (int i = 0; i < 3; ++i) before[i] = yytranslate_(EGL_token_before(i));
  const bool real_fits =
      got == symbol_kind::S_INTGR && before[0] == symbol_kind::S_REAL &&
      !(before[1] == symbol_kind::S_PARB && before[2] == symbol_kind::S_IPP);
  if (real_fits &&
      std::find(expected.begin(), expected.end(), symbol_kind::S_REAL) == expected.end())
    expected.insert(expected.begin(), symbol_kind::S_REAL);
  if (expected.empty()) return;
  const std::string number =
      got == symbol_kind::S_INTGR ? std::string(EGL_current_text()) + ".0" : std::string("1.0");
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

void orv::eg::egl::EGL_parser::error(const std::string& message) {
  // Bison's wording changed over the years; the system's is the older one.
  const char* text = message.c_str();
  if (message == "syntax error") text = "parse error";
  else if (message == "memory exhausted") text = "parser stack overflow";
  std::printf("---%s---[%s] at line %d\n", text, EGL_current_text(), EGL_lineno);
}
