// Reading TGL text in tests, with what the reader printed on each stream.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "taskgraph/tgl_reader.h"

namespace tg_test {

struct Run {
  std::string out;
  std::string err;
};

template <typename F>
Run capture(F&& f) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  f();
  std::fflush(stdout);
  std::fflush(stderr);
  Run r;
  r.out = testing::internal::GetCapturedStdout();
  r.err = testing::internal::GetCapturedStderr();
  return r;
}

struct Read : Run {
  orv::tg::GraphPtr g;
};

inline Read read_text(const std::string& text) {
  Read r;
  static_cast<Run&>(r) = capture([&] { r.g = orv::tg::Read_Network_Buffer(text); });
  return r;
}

// A graph that must read without any message.
inline orv::tg::GraphPtr graph(const std::string& text) {
  Read r = read_text(text);
  EXPECT_TRUE(r.g) << text << "\nstdout: " << r.out << "\nstderr: " << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  return std::move(r.g);
}

}  // namespace tg_test
