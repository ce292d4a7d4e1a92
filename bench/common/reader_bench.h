// What the reader benchmarks share: a plain tokenizer over a text in memory
// (the baseline a reader is measured against), heap use from mallinfo2, and
// medians of interleaved runs.
#pragma once

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/read_text.h"

namespace bench {

inline std::string slurp(const char* path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// The file read as the readers read it: a plain parser timed from the path
// pays for the read as the reader does.
inline std::string read_file(const char* path) {
  std::string text;
  FILE* f = std::fopen(path, "r");
  if (f == nullptr) return text;
  orv::Read_Whole_Stream(f, text);
  std::fclose(f);
  return text;
}

inline size_t heap_in_use() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

inline double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// Words, numbers, strings and one-character marks, comments skipped: the
// least any reader of these languages must do.
struct Tokens {
  const char* p;
  const char* end;
  enum Kind { End, Word, Int, Real, Str, Mark };
  Kind kind = End;
  const char* text = nullptr;
  size_t len = 0;
  long ival = 0;
  double rval = 0.0;

  explicit Tokens(const std::string& s) : p(s.data()), end(s.data() + s.size()) {}

  Kind next() {
    for (;;) {
      while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')) ++p;
      if (p < end && *p == '#') {
        while (p < end && *p != '\n') ++p;
        continue;
      }
      break;
    }
    if (p >= end) return kind = End;
    text = p;
    const char c = *p;
    if (c >= '0' && c <= '9') {
      while (p < end && *p >= '0' && *p <= '9') ++p;
      if (p < end && *p == '.') {
        char* e = nullptr;
        rval = std::strtod(text, &e);
        p = e;
        len = static_cast<size_t>(p - text);
        return kind = Real;
      }
      ival = std::strtol(text, nullptr, 10);
      len = static_cast<size_t>(p - text);
      return kind = Int;
    }
    if (c == '"') {
      ++p;
      text = p;
      while (p < end && *p != '"') ++p;
      len = static_cast<size_t>(p - text);
      if (p < end) ++p;
      return kind = Str;
    }
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      while (p < end && ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z') ||
                         (*p >= '0' && *p <= '9') || *p == '_'))
        ++p;
      len = static_cast<size_t>(p - text);
      return kind = Word;
    }
    if (c == '<' && p + 1 < end && p[1] == '-') {
      p += 2;
      len = 2;
      return kind = Mark;
    }
    ++p;
    len = 1;
    return kind = Mark;
  }
  bool is(char m) const { return kind == Mark && *text == m; }
};

struct Stats {
  double median, low, high;
};

inline Stats stats(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return {v[v.size() / 2], v.front(), v.back()};
}

// Runs plain and reader alternately `runs` times; prints each one's median
// and range, and the ratio of the medians. With `settle`, each run starts
// from a heap given back to the system (outside the time taken): what one
// side freed, and the pages it left mapped, would otherwise speed up or slow
// down the other side's next run.
template <class Plain, class Reader>
void compare(const char* what, int runs, Plain&& plain, Reader&& reader, bool settle = false) {
  std::vector<double> tp, tr, ratio;
  for (int i = 0; i < runs; ++i) {
    if (settle) malloc_trim(0);
    auto t = std::chrono::steady_clock::now();
    plain();
    tp.push_back(seconds_since(t));
    if (settle) malloc_trim(0);
    t = std::chrono::steady_clock::now();
    reader();
    tr.push_back(seconds_since(t));
    ratio.push_back(tr.back() / tp.back());
  }
  Stats p = stats(tp), r = stats(tr), q = stats(ratio);
  std::printf("%s: plain %.3f s [%.3f..%.3f], reader %.3f s [%.3f..%.3f], "
              "ratio %.2f (pairs %.2f..%.2f, %d runs)\n",
              what, p.median, p.low, p.high, r.median, r.low, r.high, r.median / p.median,
              q.low, q.high, runs);
}

template <class Plain, class Reader>
void compare_settled(const char* what, int runs, Plain&& plain, Reader&& reader) {
  compare(what, runs, plain, reader, true);
}

}  // namespace bench
