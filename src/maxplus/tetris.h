// Heaps of pieces: columns and pieces, each piece with a lower and an upper
// height in the columns it occupies. Read from and written in the
// heap-of-pieces language. Messages carry the tag "Tetris".
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orv::mp {

struct PIECE_DESC {
  int Number = -1;          // as given in the text; -1 in a new or copied piece
  int Nb_Columns = 0;
  std::vector<int> LoProf;  // -1 in both profiles: the column is free
  std::vector<int> HiProf;
  std::string Color;        // empty: none
};
using Piece_Desc = std::unique_ptr<PIECE_DESC>;

struct TETRIS {
  int Nb_Columns = 0;
  int Nb_Pieces = 0;
  std::vector<Piece_Desc> Piece;   // the model's own copies
  std::vector<double> Weight;
  std::vector<std::string> Color;  // at most 63 characters, "#rrggbb" by convention
};
using Tetris = std::unique_ptr<TETRIS>;

// The longest colour text a model keeps.
inline constexpr std::size_t Max_Color_Length = 63;
// Every piece holds both profiles over every column: the reader refuses a
// heap whose pieces would hold more entries than this (a short text could
// otherwise reserve gigabytes), and writers keep to it.
inline constexpr long long Max_Heap_Cells = 1LL << 25;

// Globals of the reader.
extern int Nb_Of_Columns;
extern int Tetris_lineno;  // 1 at start, never reset

// Copies of the Nb_Pieces first pieces of The_List (null: a warning and no
// pieces), weights 1.0, colours "#dfdfdf".
Tetris New_Tetris(int Nb_Columns, int Nb_Pieces, const std::vector<Piece_Desc>* The_List);
Piece_Desc New_Piece(int Nb_Columns);
// Columns and profiles only: Number -1, no colour.
Piece_Desc Copy_Piece(const PIECE_DESC& P);
void Free_Piece(Piece_Desc& P);
void Free_Tetris(Tetris& T);

// Weights divided by their sum; 0 (nothing changed) when the sum is not
// positive.
int Normalize_Weights(TETRIS& T);
// Colours spread over the colour wheel, in piece order.
void Set_Colors(TETRIS& T);
// Two hexadecimal digits for a colour component in [0, 1].
std::string Num2Col(double x);

// The named file, or standard input for an empty name. Empty on failure.
Tetris Read_Tetris(const std::string& File_Name);
// From an open stream (left open), read whole first: a read error is
// reported rather than ending the program inside the scanner.
Tetris Read_Tetris(FILE* Input);
// From a text in memory.
Tetris Read_Tetris_Text(std::string_view Text);

void Write_Tetris(const TETRIS& T, FILE* Output);
void Write_Piece(const PIECE_DESC& P, FILE* Output);

// What the grammar builds; kept here for the parser.
struct SPARSE_INT_ARRAY {
  std::vector<int> Indexes;  // columns, in text order
  std::vector<int> Values;   // heights
};
struct Parsed_Piece {
  Piece_Desc Piece;
  double Weight = 1.0;
};
using PIECE_LIST = std::vector<Parsed_Piece>;

// Builds a piece of Nb_Of_Columns columns from its profiles, shifted so the
// lowest low height is 0. Empty when a column lies outside the model
// (reported).
Piece_Desc Parse_Piece(int Number, std::string Color, const SPARSE_INT_ARRAY& Low,
                       const SPARSE_INT_ARRAY& High);
Tetris Parse_Tetris(int Nb_Columns, PIECE_LIST& List);

}  // namespace orv::mp
