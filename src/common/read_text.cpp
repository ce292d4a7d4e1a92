#include "common/read_text.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>

namespace orv {

Read_Result Read_Whole_Stream(FILE* in, std::string& text, size_t limit) {
  // A regular file's size is known: one allocation instead of doublings,
  // with room for the two end marks an in-place scanner appends.
  struct stat st;
  if (fstat(fileno(in), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    long at = std::ftell(in);
    if (at >= 0 && st.st_size > at) {
      size_t left = static_cast<size_t>(st.st_size - at);
      if (left > limit) return Read_Result::Too_Long;
      text.reserve(text.size() + left + 2);
    }
  }
  char chunk[1 << 16];
  size_t n;
  size_t total = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
    total += n;
    if (total > limit) {
      text.append(chunk, n - std::min(n, total - limit));
      return Read_Result::Too_Long;
    }
    text.append(chunk, n);
  }
  return std::ferror(in) ? Read_Result::Read_Error : Read_Result::Ok;
}

void Print_Illegal_Character(FILE* out, const char* what, char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u == '\r')
    std::fprintf(out, "%s\\r\n", what);
  else if (u == 0)
    std::fprintf(out, "%s\\0\n", what);
  else if (u < 0x20 || u >= 0x7f)
    std::fprintf(out, "%s\\x%02x\n", what, u);
  else
    std::fprintf(out, "%s%c\n", what, c);
}

void Print_Dos_Note(FILE* out) {
  std::fputs("The file has DOS line endings (a carriage return before each newline).\n", out);
}

int Scan_Digits(const char* s, size_t n) {
  std::uint64_t v = 0;
  for (size_t i = 0; i < n; ++i) {
    v = v * 10 + static_cast<unsigned>(s[i] - '0');
    if (v > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(v);
}

double Scan_Real(const char* s, size_t n) {
  double v;
  auto [end, ec] = std::from_chars(s, s + n, v);
  if (ec == std::errc() && end == s + n) return v;
  return std::strtod(s, nullptr);
}

}  // namespace orv
