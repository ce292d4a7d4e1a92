// The heap-of-pieces scanner as the parser and the reader see it. The
// scanner state is global; Tetris_Input points it at one text for the time
// of a parse and puts the previous input back afterwards.
#pragma once

#include <cstdio>
#include <string_view>

#include "tetris_parser.hpp"

namespace orv::mp::tetris {

Tetris_parser::symbol_type Tetris_lex();

// Text of the last token scanned.
const char* Tetris_current_text();

class Tetris_Input {
 public:
  // text must outlive the object; its size must fit an int.
  explicit Tetris_Input(std::string_view text);
  ~Tetris_Input();
  Tetris_Input(const Tetris_Input&) = delete;
  Tetris_Input& operator=(const Tetris_Input&) = delete;

 private:
  FILE* saved_;
  void* buffer_ = nullptr;
};

}  // namespace orv::mp::tetris
