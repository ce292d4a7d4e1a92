// Streams for the max-plus tests: text in, text out, and the library's
// messages on stdout and stderr caught at the descriptor level.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace mptest {

struct Output {
  std::string out;  // what went to stdout
  std::string err;  // what went to stderr
};

inline std::string slurp(FILE* f) {
  std::string s;
  std::rewind(f);
  int c;
  while ((c = std::getc(f)) != EOF) s.push_back(static_cast<char>(c));
  return s;
}

// Runs body with stdout and stderr sent to temporary files.
inline Output capture(const std::function<void()>& body) {
  std::fflush(stdout);
  std::fflush(stderr);
  FILE* out = std::tmpfile();
  FILE* err = std::tmpfile();
  const int saved_out = dup(1);
  const int saved_err = dup(2);
  dup2(fileno(out), 1);
  dup2(fileno(err), 2);
  body();
  std::fflush(stdout);
  std::fflush(stderr);
  dup2(saved_out, 1);
  dup2(saved_err, 2);
  close(saved_out);
  close(saved_err);
  Output o{slurp(out), slurp(err)};
  std::fclose(out);
  std::fclose(err);
  return o;
}

// A stream reading text; the caller closes it.
inline FILE* text_stream(const std::string& text) {
  FILE* f = std::tmpfile();
  std::fputs(text.c_str(), f);
  std::rewind(f);
  return f;
}

// Everything the stream still holds.
inline std::string rest(FILE* f) {
  std::string s;
  int c;
  while ((c = std::getc(f)) != EOF) s.push_back(static_cast<char>(c));
  return s;
}

// What write(stream) writes.
inline std::string written(const std::function<void(FILE*)>& write) {
  FILE* f = std::tmpfile();
  write(f);
  std::fflush(f);
  std::string s = slurp(f);
  std::fclose(f);
  return s;
}

}  // namespace mptest
