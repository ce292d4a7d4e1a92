#include "common/args.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// Runs a scan over words, capturing the messages.
struct Scan {
  std::vector<std::string> words;
  std::vector<char*> argv;
  char* buf = nullptr;
  size_t len = 0;
  FILE* msg = open_memstream(&buf, &len);
  explicit Scan(std::vector<std::string> w) : words(std::move(w)) {
    for (auto& s : words) argv.push_back(s.data());
  }
  ~Scan() {
    std::fclose(msg);
    free(buf);
  }
  std::string text() { std::fflush(msg); return std::string(buf, len); }
};

TEST(Args, TakesValuesAndSkipsUnknownWords) {
  Scan s({"prog", "-x", "-f", "net.pnl", "5", "-n", "12", "-r", "2.5"});
  orv::Args a(static_cast<int>(s.argv.size()), s.argv.data(), "prog", s.msg);
  std::string file;
  int n = 0;
  double r = 0;
  while (a.next()) {
    if (a.is("-f")) a.take_string(file);
    else if (a.is("-n")) a.take_int(n);
    else if (a.is("-r")) a.take_real(r);
  }
  EXPECT_FALSE(a.failed());
  EXPECT_EQ(file, "net.pnl");
  EXPECT_EQ(n, 12);
  EXPECT_DOUBLE_EQ(r, 2.5);
  EXPECT_EQ(s.text(), "");
}

struct ErrorCase {
  std::vector<std::string> words;
  std::string message;
};

TEST(Args, ErrorsEndTheScanWithTheirMessage) {
  const ErrorCase cases[] = {
      {{"prog", "-f"}, "prog: argument missing after -f\n"},
      {{"prog", "-n", "abc", "-f", "x"}, "prog: integer expected after -n\n"},
      {{"prog", "-n"}, "prog: integer expected after -n\n"},
      {{"prog", "-r", "x"}, "prog: real expected after -r\n"},
  };
  for (const auto& c : cases) {
    Scan s(c.words);
    orv::Args a(static_cast<int>(s.argv.size()), s.argv.data(), "prog", s.msg);
    std::string file;
    int n = 0;
    double r = 0;
    int seen = 0;
    while (a.next()) {
      ++seen;
      if (a.is("-f")) a.take_string(file);
      else if (a.is("-n")) a.take_int(n);
      else if (a.is("-r")) a.take_real(r);
    }
    EXPECT_TRUE(a.failed());
    EXPECT_EQ(seen, 1) << c.message;
    EXPECT_EQ(s.text(), c.message);
  }
}

// A missing integer and a word that is not one are two errors.
TEST(Args, PresentIntegerTellsMissingFromWrong) {
  const ErrorCase cases[] = {
      {{"prog", "-n"}, "prog: argument missing after -n\n"},
      {{"prog", "-n", "abc"}, "prog: integer expected after -n\n"},
      {{"prog", "-n", "12"}, ""},
  };
  for (const auto& c : cases) {
    Scan s(c.words);
    orv::Args a(static_cast<int>(s.argv.size()), s.argv.data(), "prog", s.msg);
    int n = 0;
    while (a.next()) {
      if (a.is("-n")) a.take_present_int(n);
    }
    EXPECT_EQ(a.failed(), !c.message.empty()) << c.message;
    EXPECT_EQ(s.text(), c.message);
    if (c.message.empty()) {
      EXPECT_EQ(n, 12);
    }
  }
}

TEST(Args, IntegersOutsideIntAreRefused) {
  int v = 7;
  EXPECT_TRUE(orv::read_int("12x", v));
  EXPECT_EQ(v, 12);
  EXPECT_TRUE(orv::read_int(" -2147483648", v));
  EXPECT_EQ(v, -2147483648);
  EXPECT_FALSE(orv::read_int("99999999999", v));
  EXPECT_FALSE(orv::read_int("2147483648", v));
  EXPECT_FALSE(orv::read_int("x1", v));
  EXPECT_FALSE(orv::read_int("", v));
}

TEST(Args, Version) {
  Scan s({"prog"});
  orv::Args a(1, s.argv.data(), "alvorn", s.msg);
  a.print_version();
  EXPECT_EQ(s.text(), "alvorn (Version ORV beta 0.2.2 (15/03/1999))\n");
}

// The standard words end the scan where they stand: words after them are not
// read, and an error before them still wins.
TEST(Args, StandardWordsEndTheScan) {
  struct Case {
    std::vector<std::string> words;
    bool help_word;
    const char* version;
    bool done, failed;
    int usages, n;
  };
  const Case cases[] = {
      {{"prog", "-h", "-n", "3"}, false, orv::ORV_VERSION, true, false, 1, 0},
      {{"prog", "-n", "3", "-?"}, false, orv::ORV_VERSION, true, false, 1, 3},
      {{"prog", "-help"}, false, orv::ORV_VERSION, false, false, 0, 0},
      {{"prog", "-help", "-n", "4"}, true, orv::ORV_VERSION, true, false, 1, 0},
      {{"prog", "-v", "-h"}, false, nullptr, true, false, 1, 0},
      {{"prog", "-n", "x", "-h"}, false, orv::ORV_VERSION, false, true, 0, 0},
  };
  for (const auto& c : cases) {
    Scan s(c.words);
    orv::Args a(static_cast<int>(s.argv.size()), s.argv.data(), "prog", s.msg);
    int usages = 0, n = 0;
    orv::Args::Standard std_words{[&] { ++usages; }, c.version, c.help_word};
    while (a.next()) {
      if (a.is("-n")) a.take_int(n);
      else a.standard(std_words);
    }
    EXPECT_EQ(a.done(), c.done) << c.words[1];
    EXPECT_EQ(a.failed(), c.failed) << c.words[1];
    EXPECT_EQ(usages, c.usages) << c.words[1];
    EXPECT_EQ(n, c.n) << c.words[1];
  }
}

// A program that reports every bad word goes on after an error, and a later
// value is still taken.
TEST(Args, KeepGoingReportsEveryError) {
  Scan s({"prog", "-n", "x", "-r", "y", "-n", "5", "-f"});
  orv::Args a(static_cast<int>(s.argv.size()), s.argv.data(), "prog", s.msg);
  a.keep_going();
  int n = 0;
  double r = 0;
  std::string file;
  while (a.next()) {
    if (a.is("-n")) a.take_int(n);
    else if (a.is("-r")) a.take_real(r);
    else if (a.is("-f")) a.take_string(file);
  }
  EXPECT_TRUE(a.failed());
  EXPECT_FALSE(a.done());
  EXPECT_EQ(n, 5);
  EXPECT_EQ(s.text(),
            "prog: integer expected after -n\nprog: real expected after -r\n"
            "prog: argument missing after -f\n");
}

TEST(Args, TakeInputReopensStandardInput) {
  char dir[] = "/tmp/args_testXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string file = std::string(dir) + "/in.txt";
  FILE* f = std::fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("42\n", f);
  std::fclose(f);
  const std::string missing = std::string(dir) + "/none";
  {
    Scan s({"prog", "-f", missing, "-n", "1"});
    orv::Args a(static_cast<int>(s.argv.size()), s.argv.data(), "prog", s.msg);
    std::string name;
    int n = 0;
    testing::internal::CaptureStderr();
    while (a.next()) {
      if (a.is("-f")) a.take_input(name, "%s: error opening file %s\n");
      else if (a.is("-n")) a.take_int(n);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "prog: error opening file " + missing + "\n");
    EXPECT_TRUE(a.failed());
    EXPECT_EQ(n, 0);
  }
  {
    Scan s({"prog", "-f"});
    orv::Args a(static_cast<int>(s.argv.size()), s.argv.data(), "prog", s.msg);
    std::string name;
    while (a.next()) a.take_input(name, "%s: file name expected after %s\n", "%s: %s\n");
    EXPECT_TRUE(a.failed());
    EXPECT_EQ(s.text(), "prog: file name expected after -f\n");
  }
  {
    Scan s({"prog", "-f", file});
    orv::Args a(static_cast<int>(s.argv.size()), s.argv.data(), "prog", s.msg);
    std::string name;
    while (a.next()) a.take_input(name);
    EXPECT_FALSE(a.failed());
    EXPECT_EQ(name, file);
    int v = 0;
    EXPECT_EQ(std::scanf("%d", &v), 1);
    EXPECT_EQ(v, 42);
  }
  std::remove(file.c_str());
  rmdir(dir);
}

}  // namespace
