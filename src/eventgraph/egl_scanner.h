// The EGL scanner as the parser and the reader see it. The scanner state is
// global (one per program); Scanner_Input points it at one input for the
// time of a parse and puts the previous input back afterwards.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "egl_parser.hpp"

namespace orv::eg::egl {

// Returns the token kind; a token with a value leaves it in *value.
int EGL_lex(EGL_parser::value_type* value);

// Text of the last token scanned.
const char* EGL_current_text();

// The token scanned before the last one (k = 0), and those before it
// (k = 1, 2); 0 before the input's first tokens.
int EGL_token_before(int k);

// Laws nest only through IPP; deeper than this would exhaust the C stack in
// the recursive law code, so the scanner refuses it as a stack overflow.
inline constexpr int Max_Law_Nesting = 2500;
// An IPP law whose sub-laws have been read is closed.
void Close_Law();

class Scanner_Input {
 public:
  // text must outlive the object; its size must fit an int.
  explicit Scanner_Input(std::string_view text);
  // Scans text where it is, without a copy: two NULs are appended to it.
  explicit Scanner_Input(std::string& text);
  ~Scanner_Input();
  Scanner_Input(const Scanner_Input&) = delete;
  Scanner_Input& operator=(const Scanner_Input&) = delete;

 private:
  FILE* saved_;
  void* buffer_ = nullptr;
};

}  // namespace orv::eg::egl
