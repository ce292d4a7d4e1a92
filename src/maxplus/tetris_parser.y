/* Heap-of-pieces grammar. The pieces are listed in text order. */
%require "3.2"
%language "c++"
%define api.namespace {orv::mp::tetris}
%define api.parser.class {Tetris_parser}
%define api.value.type variant
%define api.value.automove
%define api.token.constructor
%define api.token.prefix {TOK_}

%code requires {
#include <string>
#include "maxplus/maxplus.h"
#include "maxplus/tetris.h"

namespace orv::mp::tetris {
// What one parse leaves behind (the model stays null on failure).
struct Parse_State {
  Tetris The_Tetris;
  bool Failed = false;
  long long Cells = 0;  // profile entries of the pieces so far
};
// A pair whose height is "eps".
inline constexpr int Eps_Height = -2147483647;
struct BIPOINT {
  int Col = 0;
  int Height = 0;
};
}  // namespace orv::mp::tetris
}

%parse-param { Parse_State& state }

%code {
#include <cstdio>
#include "maxplus/tetris_scanner.h"
#define yylex orv::mp::tetris::Tetris_lex

namespace {
orv::mp::Parsed_Piece make_piece(orv::mp::tetris::Parse_State& state, int number, double weight,
                                 std::string color, const orv::mp::SPARSE_INT_ARRAY& low,
                                 const orv::mp::SPARSE_INT_ARRAY& high) {
  orv::mp::Parsed_Piece p;
  // Without columns every piece would be refused again: the model already is.
  if (orv::mp::Nb_Of_Columns < 1 || state.Cells > orv::mp::Max_Heap_Cells) return p;
  state.Cells += orv::mp::Nb_Of_Columns;
  if (state.Cells > orv::mp::Max_Heap_Cells) {
    std::fprintf(stderr, "Error: heap of pieces too large (%d columns, piece %d).\n",
                 orv::mp::Nb_Of_Columns, number);
    state.Failed = true;
    return p;
  }
  p.Piece = orv::mp::Parse_Piece(number, std::move(color), low, high);
  if (!p.Piece) state.Failed = true;
  p.Weight = weight;
  return p;
}
}  // namespace
}

%token COLUMNS PIECE WEIGHT COLOR LOPROF HIPROF EPS
%token <int> INTGR
%token <double> REAL
%token <std::string> STRING

%type <int> col_dcl
%type <orv::mp::PIECE_LIST> liste_pieces
%type <orv::mp::Parsed_Piece> a_piece
%type <std::string> color_dcl
%type <double> weight_dcl
%type <orv::mp::SPARSE_INT_ARRAY> profile
%type <orv::mp::tetris::BIPOINT> a_pair

%start tetris

%%

tetris
  : col_dcl liste_pieces
      { PIECE_LIST list = $2;
        if (!state.Failed) state.The_Tetris = Parse_Tetris($1, list);
        if (state.The_Tetris && Debug) std::printf("Input ok\n"); }
  ;

col_dcl
  : COLUMNS INTGR
      { Nb_Of_Columns = $2;
        // Columns are counted from 1: no piece can stand in fewer.
        if (Nb_Of_Columns < 1) {
          std::fprintf(stderr, "Error: illegal number of columns (%d).\n", Nb_Of_Columns);
          state.Failed = true;
        }
        $$ = Nb_Of_Columns; }
  ;

liste_pieces
  : a_piece { PIECE_LIST list; list.push_back($1); $$ = std::move(list); }
  | liste_pieces a_piece { PIECE_LIST list = $1; list.push_back($2); $$ = std::move(list); }
  ;

a_piece
  : PIECE INTGR weight_dcl color_dcl LOPROF profile HIPROF profile
      { $$ = make_piece(state, $2, $3, $4, $6, $8); }
  | PIECE INTGR weight_dcl color_dcl HIPROF profile LOPROF profile
      { $$ = make_piece(state, $2, $3, $4, $8, $6); }
  ;

color_dcl
  : COLOR STRING { $$ = $2; }
  ;

weight_dcl
  : WEIGHT REAL { $$ = $2; }
  | WEIGHT INTGR { $$ = $2; }
  | %empty { $$ = 1.0; }
  ;

profile
  : a_pair
      { SPARSE_INT_ARRAY p;
        BIPOINT b = $1;
        if (b.Height != Eps_Height) { p.Indexes.push_back(b.Col); p.Values.push_back(b.Height); }
        $$ = std::move(p); }
  | profile a_pair
      { SPARSE_INT_ARRAY p = $1;
        BIPOINT b = $2;
        if (b.Height != Eps_Height) { p.Indexes.push_back(b.Col); p.Values.push_back(b.Height); }
        $$ = std::move(p); }
  ;

a_pair
  : INTGR INTGR { $$ = BIPOINT{$1, $2}; }
  | INTGR EPS { $$ = BIPOINT{$1, Eps_Height}; }
  ;

%%

void orv::mp::tetris::Tetris_parser::error(const std::string& message) {
  // Bison's wording changed over the years; the system's is the older one.
  const char* text = message.c_str();
  if (message == "syntax error") text = "parse error";
  else if (message == "memory exhausted") text = "parser stack overflow";
  std::printf("---%s---[%s] at line %d\n", text, Tetris_current_text(), orv::mp::Tetris_lineno);
}
