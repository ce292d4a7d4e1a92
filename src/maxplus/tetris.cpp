#include "maxplus/tetris.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>
#include <stdexcept>
#include <utility>

#include "maxplus/bernoulli.h"
#include "maxplus/text_words.h"
#include "tetris_parser.hpp"
#include "maxplus/tetris_scanner.h"

namespace orv::mp {

int Nb_Of_Columns = 0;
int Tetris_lineno = 1;

namespace {

constexpr const char* TAG = "Tetris";

std::string bounded_color(const std::string& color) {
  return color.size() > Max_Color_Length ? color.substr(0, Max_Color_Length) : color;
}

}  // namespace

Piece_Desc New_Piece(int Nb_Columns) {
  try {
    if (Nb_Columns < 0) throw std::bad_alloc();
    auto P = std::make_unique<PIECE_DESC>();
    P->Nb_Columns = Nb_Columns;
    P->LoProf.assign(static_cast<std::size_t>(Nb_Columns), -1);
    P->HiProf.assign(static_cast<std::size_t>(Nb_Columns), -1);
    return P;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  std::fprintf(stderr, "%s: memory error. Not enough space.\n", TAG);
  return nullptr;
}

Piece_Desc Copy_Piece(const PIECE_DESC& P) {
  try {
    auto C = std::make_unique<PIECE_DESC>();
    C->Nb_Columns = P.Nb_Columns;
    C->LoProf = P.LoProf;
    C->HiProf = P.HiProf;
    return C;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: memory error. Not enough space for copy.\n", TAG);
    return nullptr;
  }
}

void Free_Piece(Piece_Desc& P) { P.reset(); }
void Free_Tetris(Tetris& T) { T.reset(); }

Tetris New_Tetris(int Nb_Columns, int Nb_Pieces, const std::vector<Piece_Desc>* The_List) {
  if (Nb_Pieces > 0 && The_List == nullptr) {
    std::fprintf(stderr, "%s: warning error. No piece list supplied. Zero pieces assumed.\n", TAG);
    Nb_Pieces = 0;
  }
  // A list shorter than announced, or a missing piece in it, cannot be
  // copied: refuse rather than read past it.
  if (Nb_Pieces < 0 ||
      (The_List != nullptr && static_cast<std::size_t>(Nb_Pieces) > The_List->size())) {
    std::fprintf(stderr, "%s: memory error. Not enough space.\n", TAG);
    return nullptr;
  }
  try {
    auto T = std::make_unique<TETRIS>();
    T->Nb_Columns = Nb_Columns;
    T->Nb_Pieces = Nb_Pieces;
    for (int i = 0; i < Nb_Pieces; ++i) {
      const Piece_Desc& p = (*The_List)[static_cast<std::size_t>(i)];
      Piece_Desc c = p ? Copy_Piece(*p) : nullptr;
      if (!c) throw std::bad_alloc();
      T->Piece.push_back(std::move(c));
    }
    T->Weight.assign(static_cast<std::size_t>(Nb_Pieces), 1.0);
    T->Color.assign(static_cast<std::size_t>(Nb_Pieces), "#dfdfdf");
    return T;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: memory error. Not enough space.\n", TAG);
    return nullptr;
  }
}

int Normalize_Weights(TETRIS& T) {
  double sum = 0;
  for (double w : T.Weight) sum += w;
  if (!(sum > 0)) return 0;
  for (double& w : T.Weight) w /= sum;
  return 1;
}

std::string Num2Col(double x) {
  int v = static_cast<int>(std::floor(256 * x));
  // Components a rounding step outside [0, 1] still give two digits.
  if (v < 0) v = 0;
  char text[8];
  if (v >= 256)
    std::snprintf(text, sizeof text, "ff");
  else
    std::snprintf(text, sizeof text, "%02x", v);
  if (Debug) std::printf("Col: %f -> %s\n", x, text);
  return text;
}

void Set_Colors(TETRIS& T) {
  const int n = T.Nb_Pieces;
  for (int i = 0; i < n; ++i) {
    const double a = 6.0 * i / n;
    const int s = static_cast<int>(std::floor(a));
    const double f = a - s;
    std::string r, g, b;
    switch (s) {
      case 0: r = "ff"; g = "00"; b = Num2Col(1 - f); break;
      case 1: r = "ff"; g = Num2Col(f); b = "00"; break;
      case 2: r = Num2Col(1 - f); g = "ff"; b = "00"; break;
      case 3: r = "00"; g = "ff"; b = Num2Col(f); break;
      case 4: r = "00"; g = Num2Col(1 - f); b = "ff"; break;
      default: r = Num2Col(f); g = "00"; b = "ff"; break;
    }
    T.Color[static_cast<std::size_t>(i)] = "#" + r + g + b;
    if (Debug) std::printf("Color #%d is r=%s g=%s b=%s\n", i, r.c_str(), g.c_str(), b.c_str());
  }
}

Piece_Desc Parse_Piece(int Number, std::string Color, const SPARSE_INT_ARRAY& Low,
                       const SPARSE_INT_ARRAY& High) {
  // A column outside the model would be written outside the profiles.
  for (const SPARSE_INT_ARRAY* prof : {&Low, &High})
    for (int col : prof->Indexes)
      if (col < 0 || col >= Nb_Of_Columns) {
        std::fprintf(stderr, "Error: column %d of piece %d is outside 0..%d.\n", col, Number,
                     Nb_Of_Columns - 1);
        return nullptr;
      }
  Piece_Desc P = New_Piece(Nb_Of_Columns);
  if (!P) return nullptr;
  P->Number = Number;
  P->Color = std::move(Color);
  if (Low.Values.empty()) {
    std::fprintf(stderr, "Warning: piece %d is empty.\n", Number);
  } else {
    int m = Low.Values[0];
    for (int h : Low.Values) m = std::min(m, h);
    for (std::size_t k = 0; k < Low.Indexes.size(); ++k)
      P->LoProf[static_cast<std::size_t>(Low.Indexes[k])] = Low.Values[k] - m;
    for (std::size_t k = 0; k < High.Indexes.size(); ++k)
      P->HiProf[static_cast<std::size_t>(High.Indexes[k])] = High.Values[k] - m;
    // Only the columns the profiles name can disagree; they are checked in
    // column order, as the warnings list them.
    std::vector<int> named(Low.Indexes);
    named.insert(named.end(), High.Indexes.begin(), High.Indexes.end());
    std::sort(named.begin(), named.end());
    named.erase(std::unique(named.begin(), named.end()), named.end());
    for (int c : named) {
      int& lo = P->LoProf[static_cast<std::size_t>(c)];
      int& hi = P->HiProf[static_cast<std::size_t>(c)];
      if ((lo == -1) != (hi == -1) || hi < lo) {
        std::fprintf(stderr, "Warning: inconsistency in profiles of piece %d", Number);
        std::fprintf(stderr, " at column %d (%d|%d). Column ignored.\n", c, lo, hi);
        lo = -1;
        hi = -1;
      }
    }
  }
  if (Debug) {
    std::printf("Got Piece %d: ", Number);
    for (int c = 0; c < Nb_Of_Columns; ++c)
      if (P->LoProf[static_cast<std::size_t>(c)] != -1)
        std::printf("%d[%d-%d] ", c, P->LoProf[static_cast<std::size_t>(c)],
                    P->HiProf[static_cast<std::size_t>(c)]);
    std::printf("\n");
  }
  return P;
}

Tetris Parse_Tetris(int Nb_Columns, PIECE_LIST& List) {
  // The parsed pieces are the model's own: they are moved in, not copied,
  // since a wide model's profiles are large.
  try {
    auto T = std::make_unique<TETRIS>();
    T->Nb_Columns = Nb_Columns;
    T->Nb_Pieces = static_cast<int>(List.size());
    for (Parsed_Piece& p : List) {
      if (!p.Piece) throw std::bad_alloc();
      T->Color.push_back(bounded_color(p.Piece->Color));
      T->Weight.push_back(p.Weight);
      p.Piece->Number = -1;
      p.Piece->Color.clear();
      T->Piece.push_back(std::move(p.Piece));
    }
    return T;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: memory error. Not enough space.\n", TAG);
    return nullptr;
  }
}

Tetris Read_Tetris(FILE* Input) {
  std::string text;
  try {
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, Input)) > 0) text.append(chunk, got);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "Warning: not enough memory: %s not created\n", "piece");
    return nullptr;
  }
  if (std::ferror(Input)) {
    std::printf("Error: could not read the heap of pieces.\n");
    return nullptr;
  }
  return Read_Tetris_Text(text);
}

Tetris Read_Tetris_Text(std::string_view Text) {
  // The scanner sizes its buffers with int.
  if (Text.size() > static_cast<size_t>(INT_MAX) - 2) {
    std::fprintf(stderr, "Warning: not enough memory: %s not created\n", "piece");
    return nullptr;
  }
  try {
    tetris::Tetris_Input input(Text);
    tetris::Parse_State state;
    tetris::Tetris_parser parser(state);
    if (parser.parse() != 0 || state.Failed) return nullptr;
    return std::move(state.The_Tetris);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "Warning: not enough memory: %s not created\n", "piece");
    return nullptr;
  }
}

Tetris Read_Tetris(const std::string& File_Name) {
  // Standard input stays open: a later read from it remains possible.
  if (File_Name.empty()) return Read_Tetris(stdin);
  FILE* in = std::fopen(File_Name.c_str(), "r");
  if (in == nullptr) {
    std::printf("Error: could not open file %s for reading.\n", File_Name.c_str());
    return nullptr;
  }
  Tetris T = Read_Tetris(in);
  std::fclose(in);
  return T;
}

void Write_Piece(const PIECE_DESC& P, FILE* Output) {
  std::fprintf(Output, "LoProf ");
  for (int c = 0; c < P.Nb_Columns; ++c)
    if (P.LoProf[static_cast<std::size_t>(c)] != -1)
      std::fprintf(Output, " %d %d", c, P.LoProf[static_cast<std::size_t>(c)]);
  std::fprintf(Output, "\n");
  std::fprintf(Output, "HiProf ");
  for (int c = 0; c < P.Nb_Columns; ++c)
    if (P.LoProf[static_cast<std::size_t>(c)] != -1)
      std::fprintf(Output, " %d %d", c, P.HiProf[static_cast<std::size_t>(c)]);
  std::fprintf(Output, "\n");
  std::fprintf(Output, "\n");
}

void Write_Tetris(const TETRIS& T, FILE* Output) {
  std::fprintf(Output, "Columns %d\n\n", T.Nb_Columns);
  for (int i = 0; i < T.Nb_Pieces; ++i) {
    const auto k = static_cast<std::size_t>(i);
    std::fprintf(Output, "Piece %d\n", i + 1);
    if (text::whole(T.Weight[k]))
      std::fprintf(Output, "Weight %d\n", static_cast<int>(T.Weight[k]));
    else
      std::fprintf(Output, "Weight %f\n", T.Weight[k]);
    std::fprintf(Output, "Color %s\n", T.Color[k].c_str());
    Write_Piece(*T.Piece[k], Output);
  }
}

}  // namespace orv::mp
