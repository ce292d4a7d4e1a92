// Word-level reading shared by the max-plus text readers.
#pragma once

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace orv::mp::text {

// As fscanf "%s" reads a word, without a length limit: leading white space
// is skipped and the delimiter stays in the stream.
inline bool read_word(FILE* in, std::string& word) {
  word.clear();
  int c = std::getc(in);
  while (c != EOF && std::isspace(c)) c = std::getc(in);
  if (c == EOF) return false;
  while (c != EOF && !std::isspace(c)) {
    word.push_back(static_cast<char>(c));
    c = std::getc(in);
  }
  if (c != EOF) std::ungetc(c, in);
  return true;
}

// The whole word is a decimal integer within int.
inline bool word_int(const std::string& word, int& value) {
  if (word.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(word.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

// The whole word is a finite real.
inline bool word_real(const std::string& word, double& value) {
  if (word.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(word.c_str(), &end);
  if (*end != '\0' || !std::isfinite(v)) return false;
  value = v;
  return true;
}

inline bool read_int(FILE* in, int& value) {
  std::string word;
  return read_word(in, word) && word_int(word, value);
}

inline bool read_real(FILE* in, double& value) {
  std::string word;
  return read_word(in, word) && word_real(word, value);
}

// A weight is written as an integer when it is one.
inline bool whole(double w) { return w == std::floor(w) && w >= INT_MIN && w <= INT_MAX; }

}  // namespace orv::mp::text
