// The TGL scanner's entry points, for the reader. Internal.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string_view>

#include "taskgraph/tgl_parse.h"

namespace orv::tg {

struct Scan_Error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A scanner over a stream or over a copy of a text, reporting into rd.
class Scanner {
 public:
  Scanner(Reader& rd, FILE* in);
  Scanner(Reader& rd, std::string_view text);
  ~Scanner();
  Scanner(const Scanner&) = delete;
  Scanner& operator=(const Scanner&) = delete;

 private:
  void* scanner_ = nullptr;
};

}  // namespace orv::tg
