// The TGL scanner's entry points, for the reader. Internal.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

#include "taskgraph/tgl_parse.h"

namespace orv::tg {

struct Scan_Error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A scanner over a copy of a text, or over a text where it is (two NULs are
// appended to it and it must outlive the scanner), reporting into rd.
class Scanner {
 public:
  Scanner(Reader& rd, std::string& text);
  Scanner(Reader& rd, std::string_view text);
  ~Scanner();
  Scanner(const Scanner&) = delete;
  Scanner& operator=(const Scanner&) = delete;

 private:
  void* scanner_ = nullptr;
};

}  // namespace orv::tg
