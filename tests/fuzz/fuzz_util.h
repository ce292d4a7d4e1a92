// Helpers shared by the fuzz harnesses.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace orv::fuzz {

inline std::string_view as_text(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A stream over the input, for the readers that take a FILE*.
inline FILE* open_text(const uint8_t* data, size_t size) {
  static char empty = 0;
  return size == 0 ? fmemopen(&empty, 1, "r")
                   : fmemopen(const_cast<uint8_t*>(data), size, "r");
}

// Each harness works in a folder of its own, so that files it writes (and
// files an input names) stay there. The corpus must then be named by
// absolute paths.
inline const std::string& work_dir() {
  static std::string dir = [] {
    std::string t = "/tmp/orv-fuzz-XXXXXX";
    if (mkdtemp(t.data()) == nullptr || chdir(t.c_str()) != 0) std::abort();
    return t;
  }();
  return dir;
}

}  // namespace orv::fuzz
