#include "common/read_text.h"

#include <sys/stat.h>

namespace orv {

bool Read_Whole_Stream(FILE* in, std::string& text) {
  // A regular file's size is known: one allocation instead of doublings,
  // with room for the two end marks an in-place scanner appends.
  struct stat st;
  if (fstat(fileno(in), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    long at = std::ftell(in);
    if (at >= 0 && st.st_size > at) text.reserve(text.size() + static_cast<size_t>(st.st_size - at) + 2);
  }
  char chunk[1 << 16];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, n);
  return !std::ferror(in);
}

}  // namespace orv
