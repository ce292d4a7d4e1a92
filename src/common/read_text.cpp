#include "common/read_text.h"

namespace orv {

bool Read_Whole_Stream(FILE* in, std::string& text) {
  char chunk[1 << 16];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, n);
  return !std::ferror(in);
}

}  // namespace orv
