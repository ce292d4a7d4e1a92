// The heap-of-pieces scanner as the parser and the reader see it. The
// scanner state is global; Tetris_Input points it at one stream for the
// time of a parse and puts the previous input back afterwards.
#pragma once

#include <cstdio>

#include "tetris_parser.hpp"

namespace orv::mp::tetris {

Tetris_parser::symbol_type Tetris_lex();

// Text of the last token scanned.
const char* Tetris_current_text();

class Tetris_Input {
 public:
  explicit Tetris_Input(FILE* in);
  ~Tetris_Input();
  Tetris_Input(const Tetris_Input&) = delete;
  Tetris_Input& operator=(const Tetris_Input&) = delete;

 private:
  FILE* saved_;
};

}  // namespace orv::mp::tetris
