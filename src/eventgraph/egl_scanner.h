// The EGL scanner as the parser and the reader see it. The scanner state is
// global (one per program); Scanner_Input points it at one input for the
// time of a parse and puts the previous input back afterwards.
#pragma once

#include <cstdio>
#include <string_view>

#include "egl_parser.hpp"

namespace orv::eg::egl {

EGL_parser::symbol_type EGL_lex();

// Text of the last token scanned.
const char* EGL_current_text();

class Scanner_Input {
 public:
  explicit Scanner_Input(FILE* in);
  // text must outlive the object; its size must fit an int.
  explicit Scanner_Input(std::string_view text);
  ~Scanner_Input();
  Scanner_Input(const Scanner_Input&) = delete;
  Scanner_Input& operator=(const Scanner_Input&) = delete;

 private:
  FILE* saved_;
  void* buffer_ = nullptr;
};

}  // namespace orv::eg::egl
