// The heap-of-pieces language: scanner corners, the piece builder's
// normalisation and warnings, colours, the writer and the round trip.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io_helpers.h"
#include "maxplus/maxplus.h"
#include "maxplus/tetris.h"

namespace {

using namespace orv::mp;

struct Read {
  Tetris t;
  mptest::Output msgs;
  int first_line = 0;  // Tetris_lineno before the read: it is never reset
};

Read read_tetris(const std::string& text) {
  Read r;
  r.first_line = Tetris_lineno;
  FILE* in = mptest::text_stream(text);
  r.msgs = mptest::capture([&] { r.t = Read_Tetris(in); });
  std::fclose(in);
  return r;
}

std::string write(const TETRIS& t) {
  return mptest::written([&](FILE* f) { Write_Tetris(t, f); });
}

TEST(Tetris, ProfilesShiftedByTheLowestLowHeight) {
  Read r = read_tetris("Columns 3\nPiece 7\nColor #ff0000\nLoProf 0 3 1 4\nHiProf 0 5 1 5\n");
  ASSERT_TRUE(r.t) << r.msgs.out;
  ASSERT_EQ(r.t->Nb_Pieces, 1);
  const PIECE_DESC& p = *r.t->Piece[0];
  EXPECT_EQ(p.LoProf, (std::vector<int>{0, 1, -1}));
  EXPECT_EQ(p.HiProf, (std::vector<int>{2, 2, -1}));
  EXPECT_EQ(p.Number, -1);  // the model holds copies
  EXPECT_EQ(r.t->Weight, std::vector<double>{1.0});
  EXPECT_EQ(r.t->Color, std::vector<std::string>{"#ff0000"});
  EXPECT_EQ(r.msgs.out + r.msgs.err, "");
}

TEST(Tetris, WeightsOrdersAndEps) {
  // High profile first, eps pairs dropped, a column given twice keeps its
  // last pair, a colour keeps its trailing blanks.
  Read r = read_tetris(
      "Columns 4\n"
      "Piece 1 Weight 2 Color #00ff00  \nHiProf 1 9 0 4 2 eps\nLoProf 0 2 1 eps 1 3 2 eps\n"
      "Piece 2 Weight 2.0 Color #0000ff\nLoProf 3 1\nHiProf 3 1\n"
      "Piece 3 Weight 0.25\nColor #123456\nLoProf 2 0\nHiProf 2 1\n");
  ASSERT_TRUE(r.t) << r.msgs.out;
  EXPECT_EQ(r.t->Weight, (std::vector<double>{2.0, 2.0, 0.25}));
  EXPECT_EQ(r.t->Color[0], "#00ff00  ");
  EXPECT_EQ(r.t->Piece[0]->LoProf, (std::vector<int>{0, 1, -1, -1}));
  EXPECT_EQ(r.t->Piece[0]->HiProf, (std::vector<int>{2, 7, -1, -1}));
  EXPECT_EQ(r.t->Piece[1]->LoProf, (std::vector<int>{-1, -1, -1, 0}));
  EXPECT_EQ(write(*r.t),
            "Columns 4\n\n"
            "Piece 1\nWeight 2\nColor #00ff00  \nLoProf  0 0 1 1\nHiProf  0 2 1 7\n\n"
            "Piece 2\nWeight 2\nColor #0000ff\nLoProf  3 0\nHiProf  3 0\n\n"
            "Piece 3\nWeight 0.250000\nColor #123456\nLoProf  2 0\nHiProf  2 1\n\n");
  EXPECT_EQ(r.msgs.out + r.msgs.err, "");
}

TEST(Tetris, InconsistentColumnsAndEmptyPieces) {
  Read r = read_tetris(
      "Columns 3\n"
      "Piece 4 Color #a\nLoProf 0 1 1 1 2 3\nHiProf 0 2 2 1\n"
      "Piece 5 Color #b\nLoProf 0 eps\nHiProf 0 1\n");
  ASSERT_TRUE(r.t);
  // Column 1 has a low height only; column 2 ends below its start.
  EXPECT_EQ(r.msgs.err,
            "Warning: inconsistency in profiles of piece 4 at column 1 (0|-1). Column ignored.\n"
            "Warning: inconsistency in profiles of piece 4 at column 2 (2|0). Column ignored.\n"
            "Warning: piece 5 is empty.\n");
  EXPECT_EQ(r.t->Piece[0]->LoProf, (std::vector<int>{0, -1, -1}));
  EXPECT_EQ(r.t->Piece[0]->HiProf, (std::vector<int>{1, -1, -1}));
  EXPECT_EQ(r.t->Piece[1]->LoProf, (std::vector<int>{-1, -1, -1}));
  EXPECT_EQ(r.t->Piece[1]->HiProf, (std::vector<int>{-1, -1, -1}));
}

TEST(Tetris, ScannerAndGrammarErrors) {
  struct Case {
    std::string text;
    std::string out;  // with @ for the line number of the error, counted from the read's start
    int line;
  };
  const std::string one = "Columns 2\nPiece 1\n";
  const std::vector<Case> cases = {
      // A colour line holding a tab is skipped, so the colour is missing.
      {one + "Color #ab\tcd\nLoProf 0 0\nHiProf 0 1\n", "---parse error---[LoProf] at line @\n", 3},
      {one + "Color #ab\nLoProf 0 0\nHiProf -0 1\n",
       "Illegal caracter: -\n", -1},
      // A plain "#" line is a colour token where none may stand.
      {"# a note\n" + one + "Color #ab\nLoProf 0 0\nHiProf 0 1\n",
       "---parse error---[# a note] at line @\n", 0},
      // Letters are no tokens: each is reported and skipped.
      {"columns 2\n", "Illegal caracter: c\nIllegal caracter: o\nIllegal caracter: l\n"
                      "Illegal caracter: u\nIllegal caracter: m\nIllegal caracter: n\n"
                      "Illegal caracter: s\n---parse error---[2] at line @\n", 0},
      {"Columns 2\n", "---parse error---[] at line @\n", 1},
      // A colour on a last line without its newline is no colour.
      {one + "Color #ab", "Illegal caracter: #\nIllegal caracter: a\nIllegal caracter: b\n"
                          "---parse error---[] at line @\n", 2},
      {one + "Color #ab\nLoProf 0 0\n", "---parse error---[] at line @\n", 4},
      {one + "Color #ab\nLoProf 0 1.5\nHiProf 0 2\n", "---parse error---[1.5] at line @\n", 3},
  };
  for (const Case& c : cases) {
    Read r = read_tetris(c.text);
    std::string want = c.out;
    if (auto at = want.find('@'); at != std::string::npos)
      want.replace(at, 1, std::to_string(r.first_line + c.line));
    if (c.line >= 0) {
      EXPECT_FALSE(r.t) << c.text;
      EXPECT_EQ(r.msgs.out, want) << c.text;
    } else {
      // The sign is skipped: "-0" reads as 0.
      ASSERT_TRUE(r.t) << c.text;
      EXPECT_EQ(r.msgs.out, want);
    }
  }
}

TEST(Tetris, ModelsRefused) {
  struct Case {
    std::string text;
    std::string err;
  };
  const std::vector<Case> cases = {
      {"Columns 0\nPiece 1 Color #a\nLoProf 0 0\nHiProf 0 1\n",
       "Error: illegal number of columns (0).\n"},
      {"Columns 2\nPiece 3 Color #a\nLoProf 0 0 2 0\nHiProf 0 1 2 1\n",
       "Error: column 2 of piece 3 is outside 0..1.\n"},
      {"Columns 2\nPiece 3 Color #a\nLoProf 0 0\nHiProf 0 1 99999999999 1\n",
       "Error: column 2147483647 of piece 3 is outside 0..1.\n"},
      // Both profiles of every piece span every column.
      {"Columns 99999999999\nPiece 3 Color #a\nLoProf 0 0\nHiProf 0 1\n",
       "Error: heap of pieces too large (2147483647 columns, piece 3).\n"},
      {"Columns 20000000\nPiece 1 Color #a\nLoProf 0 0\nHiProf 0 1\n"
       "Piece 2 Color #a\nLoProf 0 0\nHiProf 0 1\n",
       "Error: heap of pieces too large (20000000 columns, piece 2).\n"},
  };
  for (const Case& c : cases) {
    Read r = read_tetris(c.text);
    EXPECT_FALSE(r.t) << c.text;
    EXPECT_EQ(r.msgs.err, c.err);
    EXPECT_EQ(r.msgs.out, "");
  }
}

TEST(Tetris, LongColourKeepsItsFirst63Characters) {
  const std::string colour = "#" + std::string(99, 'a');
  Read r = read_tetris("Columns 1\nPiece 1 Color " + colour + "\nLoProf 0 0\nHiProf 0 1\n");
  ASSERT_TRUE(r.t);
  EXPECT_EQ(r.t->Color[0], colour.substr(0, 63));
}

TEST(Tetris, LineCounterRunsOn) {
  const int before = Tetris_lineno;
  read_tetris("Columns 1\n\nPiece 1 Color #a\n#\tskipped\nLoProf 0 0\nHiProf 0 1\n");
  EXPECT_EQ(Tetris_lineno, before + 6);
}

TEST(Tetris, ColoursAndComponents) {
  EXPECT_EQ(Num2Col(1.0), "ff");
  EXPECT_EQ(Num2Col(0.5), "80");
  EXPECT_EQ(Num2Col(0.0), "00");
  EXPECT_EQ(Num2Col(0.999), "ff");  // floor(255.744)
  EXPECT_EQ(Num2Col(0.25), "40");

  std::vector<Piece_Desc> list;
  for (int i = 0; i < 6; ++i) list.push_back(New_Piece(1));
  Tetris t = New_Tetris(1, 6, &list);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Color[3], "#dfdfdf");
  Set_Colors(*t);
  EXPECT_EQ(t->Color, (std::vector<std::string>{"#ff00ff", "#ff0000", "#ffff00", "#00ff00",
                                                "#00ffff", "#0000ff"}));
  // Four pieces: a = 0, 1.5, 3, 4.5.
  Tetris four = New_Tetris(1, 4, &list);
  Set_Colors(*four);
  EXPECT_EQ(four->Color, (std::vector<std::string>{"#ff00ff", "#ff8000", "#00ff00", "#0080ff"}));
}

TEST(Tetris, NewTetrisWithoutList) {
  mptest::Output o;
  Tetris t;
  o = mptest::capture([&] { t = New_Tetris(3, 2, nullptr); });
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Nb_Pieces, 0);
  EXPECT_EQ(o.err, "Tetris: warning error. No piece list supplied. Zero pieces assumed.\n");
}

TEST(Tetris, NormalizeWeights) {
  Read r = read_tetris("Columns 1\nPiece 1 Weight 1 Color #a\nLoProf 0 0\nHiProf 0 1\n"
                       "Piece 2 Weight 3 Color #a\nLoProf 0 0\nHiProf 0 1\n");
  ASSERT_TRUE(r.t);
  EXPECT_EQ(Normalize_Weights(*r.t), 1);
  EXPECT_EQ(r.t->Weight, (std::vector<double>{0.25, 0.75}));
  Read z = read_tetris("Columns 1\nPiece 1 Weight 0 Color #a\nLoProf 0 0\nHiProf 0 1\n");
  ASSERT_TRUE(z.t);
  EXPECT_EQ(Normalize_Weights(*z.t), 0);
  EXPECT_EQ(z.t->Weight, std::vector<double>{0.0});
}

TEST(Tetris, WrittenTextReadsBackToTheSameModel) {
  Read r = read_tetris(
      "Columns 5\n"
      "Piece 10 Weight 3.5 Color #102030\nLoProf 0 4 3 6 4 5\nHiProf 0 7 3 8 4 5\n"
      "Piece 11 Color #405060\nHiProf 1 2 2 2\nLoProf 1 1 2 0\n");
  ASSERT_TRUE(r.t);
  const std::string text = write(*r.t);
  Read back = read_tetris(text);
  ASSERT_TRUE(back.t) << text;
  EXPECT_EQ(write(*back.t), text);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(back.t->Piece[i]->LoProf, r.t->Piece[i]->LoProf);
    EXPECT_EQ(back.t->Piece[i]->HiProf, r.t->Piece[i]->HiProf);
  }
  EXPECT_EQ(back.t->Weight, r.t->Weight);
  EXPECT_EQ(back.t->Color, r.t->Color);
}

TEST(Tetris, DebugTrace) {
  Debug = 1;
  Read r = read_tetris("Columns 2\nPiece 3 Color #a\nLoProf 1 2 0 3\nHiProf 0 4 1 2\n");
  Debug = 0;
  ASSERT_TRUE(r.t);
  EXPECT_EQ(r.msgs.out, "Got Piece 3: 0[1-2] 1[0-0] \nInput ok\n");
}

TEST(Tetris, FileReading) {
  mptest::Output o = mptest::capture([] { EXPECT_FALSE(Read_Tetris(std::string("/nonexistent/h"))); });
  EXPECT_EQ(o.out, "Error: could not open file /nonexistent/h for reading.\n");
}

}  // namespace
