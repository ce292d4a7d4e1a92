#include "common/law.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using orv::LAW_DESC;
using orv::LawPtr;
using orv::REAL_LIST;

// The list a reader builds from values in written order (it prepends).
REAL_LIST written(std::vector<double> values) {
  REAL_LIST l;
  for (double v : values) orv::Append_Real(l, v);
  return l;
}

LawPtr make(char id, std::vector<double> params) {
  LawPtr l = orv::New_Law();
  l->Name = id;
  l->Parameters = std::move(params);
  return l;
}

LawPtr ipp(double rate, LawPtr sub0, LawPtr sub1) {
  LawPtr l = make('P', {rate});
  l->Law_Parameters.push_back(std::move(sub0));
  l->Law_Parameters.push_back(std::move(sub1));
  return l;
}

// Captures what the law functions print on both streams.
struct Streams {
  Streams() {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
  }
  void stop() {
    std::fflush(stdout);
    std::fflush(stderr);
    out = testing::internal::GetCapturedStdout();
    err = testing::internal::GetCapturedStderr();
  }
  std::string out, err;
};

std::string write_text(const LAW_DESC& law) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  orv::Write_Law(f, law);
  std::fclose(f);
  std::string s(buf, len);
  std::free(buf);
  return s;
}

struct ParseCase {
  char id;
  std::vector<double> first;   // written order
  std::vector<double> second;  // written order
  std::vector<double> params;
  std::string out, err;
};

TEST(ParseLaw, SlotsWarningsAndDefaults) {
  const std::string extra = "Warning: extra parameters for ";
  const std::string missing = "Warning: missing parameters for ";
  const ParseCase cases[] = {
      {'C', {3.0}, {}, {3.0}, "", ""},
      {'E', {}, {}, {0.0}, "", missing + "E. Default 0.0.\n"},
      {'E', {1.0, 2.0}, {}, {2.0}, "", extra + "E (ignored)\n"},
      {'g', {0.25}, {}, {0.25}, "", ""},
      {'L', {1.0, 2.0}, {}, {1.0, 2.0}, "", ""},
      {'U', {1.0, 2.0, 3.0}, {}, {2.0, 3.0}, "", extra + "U (ignored)\n"},
      {'W', {1.0}, {}, {0.0, 0.0}, "", missing + "W. Default 0.0.\n"},
      {'h', {1.0, 2.0, 3.0}, {}, {2.0, 3.0}, "", extra + "h (ignored)\n"},
      {'p', {2.0, 3.0}, {}, {2.0, 3.0}, "", ""},
      // The reader adds the stage count last, in front of the mean.
      {'R', {2.0, 3.0}, {}, {3.0, 2.0}, "", ""},
      {'R', {3.0}, {}, {0.0, 0.0}, "", missing + "R. Default 0.0.\n"},
      {'R', {1.0, 2.0, 3.0}, {}, {3.0, 2.0}, "", extra + "R (ignored)\n"},
      {'O', {1.0, 2.0, 3.0}, {}, {1.0, 2.0, 3.0}, "", ""},
      {'O', {1.0, 2.0}, {}, {0.0, 0.0, 0.0}, "", missing + "O. Default 0.0.\n"},
      {'O', {1.0, 2.0, 3.0, 4.0}, {}, {2.0, 3.0, 4.0}, "", extra + "O (ignored)\n"},
      // Discrete lists stay in list order, so both come out reversed, paired.
      {'D', {1.0, 2.0}, {0.25, 0.75}, {2.0, 2.0, 1.0, 0.75, 0.25}, "", ""},
      {'D', {1.0, 2.0, 3.0}, {0.2, 0.3}, {3.0, 3.0, 2.0, 1.0, 0.3, 0.2, 0.0},
       "Warning! Probability list too short. 0.0 assumed\n", ""},
      {'D', {1.0, 2.0}, {0.1, 0.2, 0.7}, {2.0, 2.0, 1.0, 0.7, 0.2},
       "Warning! Probability list too long (ignored)\n", ""},
      {'H', {0.5, 1.0, 0.5, 2.0}, {}, {4.0, 0.5, 1.0, 0.5, 2.0}, "", ""},
      {'H', {0.5, 1.0, 0.5, 2.0, 9.0}, {}, {4.0, 0.5, 1.0, 0.5, 2.0},
       "Warning: odd number of parameters for HEXP. Last ignored.\n", ""},
      {'H', {7.0}, {}, {0.0},
       "Warning: odd number of parameters for HEXP. Last ignored.\n"
       "Error: not enough parameters for HEXP.\n",
       ""},
      {'H', {}, {}, {0.0}, "Error: not enough parameters for HEXP.\n", ""},
      {'X', {1.0}, {}, {0.0}, "Warning! Law 'X' ID not recognized\n", ""},
  };
  // The readers' entry without lists must build the very same laws.
  for (bool from_lists : {true, false}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(1, c.id) + (from_lists ? " from lists" : " written order"));
      Streams s;
      LawPtr law = from_lists ? orv::Parse_Law(c.id, written(c.first), written(c.second), {})
                              : orv::Parse_Law_Written(c.id, c.first, c.second);
      s.stop();
      ASSERT_TRUE(law);
      EXPECT_EQ(law->Name, c.id);
      EXPECT_EQ(law->Parameters, c.params);
      EXPECT_TRUE(law->Law_Parameters.empty());
      EXPECT_EQ(s.out, c.out);
      EXPECT_EQ(s.err, c.err);
    }
  }
}

// Sub-laws in written order, as the reader hands them over (prepended).
orv::LAW_LIST written_laws(std::vector<double> means) {
  orv::LAW_LIST l;
  for (double m : means) orv::Append_Law(l, make('E', {m}));
  return l;
}

TEST(ParseLaw, IppKeepsExactlyTwoSubLaws) {
  struct Case {
    std::vector<double> subs;
    double sub0, sub1;
    std::string err;
  };
  const Case cases[] = {
      {{1.0, 2.0}, 2.0, 1.0, ""},
      {{1.0, 2.0, 4.0}, 4.0, 2.0, "Warning: extra sub-laws for IPP (ignored)\n"},
      {{5.0}, 5.0, 0.0, "Warning: missing sub-laws for IPP. C 0.0 assumed.\n"},
      {{}, 0.0, 0.0, "Warning: missing sub-laws for IPP. C 0.0 assumed.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.subs.size());
    Streams s;
    LawPtr law = orv::Parse_Law('P', written({3.0}), {}, written_laws(c.subs));
    s.stop();
    ASSERT_EQ(law->Law_Parameters.size(), 2u);
    EXPECT_EQ(law->Parameters[0], 3.0);
    EXPECT_DOUBLE_EQ(orv::Mean(*law->Law_Parameters[0]), c.sub0);
    EXPECT_DOUBLE_EQ(orv::Mean(*law->Law_Parameters[1]), c.sub1);
    EXPECT_EQ(s.err, c.err);
    EXPECT_EQ(s.out, "");
    // Every operation must work on the result (index 1 is always there).
    s = Streams();
    orv::Write_Law(stdout, *law);
    LawPtr copy = orv::Copy_Law(*law);
    s.stop();
    EXPECT_TRUE(copy);
  }
}

TEST(WriteLaw, ExactText) {
  struct Case {
    LawPtr law;
    std::string text;
  };
  Case cases[] = {
      {make('B', {0.5}), "B   0.5000 "},
      {make('g', {0.25}), "g   0.2500 "},
      {make('U', {1.0, 2.0}), "U   1.0000   2.0000 "},
      {make('N', {1.0, 12.5}), "N   1.0000  12.5000 "},
      {make('R', {3.0, 2.0}), "R    3   2.0000 "},
      {make('O', {1.0, 2.0, 3.0}), "O   1.0000   2.0000   3.0000 "},
      {make('D', {2.0, 1.0, 2.0, 0.25, 0.75}), "D [   1.0000   2.0000 ] [   0.2500   0.7500 ] "},
      // A blank after each number, so a following token count stays apart.
      {make('H', {4.0, 0.5, 1.0, 0.5, 2.0}), "H   0.5000   1.0000   0.5000   2.0000 "},
      // No branch: "H" alone would not read; one lone value reads back as
      // the same empty law.
      {make('H', {0.0}), "H   0.0000 "},
  };
  for (auto& c : cases) {
    EXPECT_EQ(write_text(*c.law), c.text);
  }
}

TEST(WriteLaw, IppReadsBackAsTheSameLaw) {
  // Written "IPP [ 3.0 , E 1.0 , E 2.0 ]": the writer must give the sub-laws
  // in that same order, or a re-read swaps them and changes the mean.
  orv::LAW_LIST subs = written_laws({1.0, 2.0});
  LawPtr law = orv::Parse_Law('P', written({3.0}), {}, std::move(subs));
  EXPECT_DOUBLE_EQ(orv::Mean(*law), 3.0 * 2.0 / 3.0);
  EXPECT_EQ(write_text(*law), "IPP [ 3.000000, E   1.0000 , E   2.0000  ] ");
}

TEST(WriteLaw, LettersWithoutWriterForm) {
  for (char id : {'h', 'l', 'X'}) {
    LawPtr law = make(id, {1.0, 2.0});
    Streams s;
    std::string text = write_text(*law);
    s.stop();
    EXPECT_EQ(text, "");
    EXPECT_EQ(s.err, std::string("LawPackage: error (Print): unexpected law id (") + id + ")\n");
  }
}

struct ValueCase {
  char id;
  std::vector<double> params;
  double arg;
  double expected;
};

void check_values(const char* what, std::function<double(const LAW_DESC&, double)> f,
                  const std::vector<ValueCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(what) + " " + c.id + " at " + std::to_string(c.arg));
    LawPtr law = make(c.id, c.params);
    Streams s;
    double v = f(*law, c.arg);
    s.stop();
    if (std::isinf(c.expected))
      EXPECT_EQ(v, c.expected);
    else
      EXPECT_NEAR(v, c.expected, 1e-9 * (1.0 + std::fabs(c.expected)));
    EXPECT_EQ(s.err, "");
    EXPECT_EQ(s.out, "");
  }
}

const std::vector<double> kDisc = {2.0, 1.0, 2.0, 0.25, 0.75};
const std::vector<double> kHyper = {4.0, 0.5, 1.0, 0.5, 2.0};
const double kHalfSqrtPi = 0.886226925452758;  // Gamma(3/2)

TEST(LawValues, Mean) {
  check_values("mean", [](const LAW_DESC& l, double) { return orv::Mean(l); },
               {
                   {'B', {0.3}, 0, 0.3},
                   {'C', {2.5}, 0, 2.5},
                   {'E', {4.0}, 0, 4.0},
                   {'L', {1.5, 9.0}, 0, 1.5},
                   {'N', {-1.0, 2.0}, 0, -1.0},
                   {'O', {1.0, 2.0, 3.0}, 0, 1.0},
                   {'D', kDisc, 0, 0.25 + 1.5},
                   {'G', {0.5}, 0, 2.0},
                   {'g', {0.5}, 0, 1.0},
                   {'H', kHyper, 0, 0.5 + 1.0},
                   {'R', {3.0, 2.0}, 0, 2.0},
                   {'U', {1.0, 3.0}, 0, 2.0},
                   {'W', {1.0, 1.0}, 0, 1.0},
                   {'W', {1.0, 2.0}, 0, kHalfSqrtPi},
                   {'W', {4.0, 2.0}, 0, kHalfSqrtPi / 2.0},
                   {'l', {3.0}, 0, 6.0},
                   {'p', {2.0, 3.0}, 0, 1.0},
                   {'p', {2.0, 1.0}, 0, HUGE_VAL},
               });
  LawPtr p = ipp(3.0, make('E', {1.0}), make('C', {3.0}));
  EXPECT_DOUBLE_EQ(orv::Mean(*p), 3.0 * 1.0 / 4.0);
}

TEST(LawValues, Moment) {
  auto m = [](int n) {
    return [n](const LAW_DESC& l, double) { return orv::Moment(l, n); };
  };
  // Second moments from variance + mean^2 of each law.
  check_values("moment 2", m(2),
               {
                   {'B', {0.3}, 0, 0.3},
                   {'C', {2.0}, 0, 4.0},
                   {'D', kDisc, 0, 0.25 + 0.75 * 4.0},
                   {'E', {2.0}, 0, 8.0},
                   {'G', {0.5}, 0, 0.5 / 0.25 + 4.0},
                   {'g', {0.5}, 0, 0.5 / 0.25 + 1.0},
                   {'H', kHyper, 0, 2.0 * (0.5 * 1.0 + 0.5 * 4.0)},
                   {'R', {2.0, 2.0}, 0, 4.0 / 2.0 + 4.0},
                   {'U', {1.0, 3.0}, 0, 4.0 / 12.0 + 4.0},
                   {'U', {2.0, 2.0}, 0, 4.0},
                   {'U', {0.0, 0.0}, 0, 0.0},
               });
  check_values("moment 3", m(3),
               {
                   {'C', {2.0}, 0, 8.0},
                   {'E', {2.0}, 0, 6.0 * 8.0},
                   // Erlang(k=2, mean 2) is Gamma(2, scale 1): E[X^3] = 2*3*4.
                   {'R', {2.0, 2.0}, 0, 24.0},
                   {'U', {0.0, 2.0}, 0, 2.0},
               });
  check_values("moment 0", m(0), {{'W', {1.0, 2.0}, 0, 1.0}, {'X', {}, 0, 1.0}});
  check_values("moment 1", m(1), {{'U', {1.0, 3.0}, 0, 2.0}});
}

TEST(LawValues, Laplace) {
  const double e1 = std::exp(-1.0), e2 = std::exp(-2.0), e3 = std::exp(-3.0);
  const double ln2 = std::log(2.0);
  check_values("laplace", [](const LAW_DESC& l, double s) { return orv::Laplace(l, s); },
               {
                   {'B', {0.3}, 1.0, 0.7 + 0.3 * e1},
                   {'C', {2.0}, 1.0, e2},
                   {'D', kDisc, 1.0, 0.25 * e1 + 0.75 * e2},
                   {'E', {2.0}, 0.5, 0.5},
                   // P(k) = 2^-k on 1, 2, ...: sum 4^-k = 1/3.
                   {'G', {0.5}, ln2, 1.0 / 3.0},
                   {'g', {0.5}, ln2, 2.0 / 3.0},
                   {'H', kHyper, 1.0, 0.5 / 2.0 + 0.5 / 3.0},
                   {'R', {2.0, 2.0}, 1.0, 0.25},
                   {'U', {1.0, 3.0}, 1.0, (e1 - e3) / 2.0},
                   {'U', {1.0, 3.0}, 0.0, 1.0},
                   {'U', {2.0, 2.0}, 1.0, e2},
               });
}

TEST(LawValues, DLaplaceIsTheDerivative) {
  const std::vector<std::pair<char, std::vector<double>>> laws = {
      {'B', {0.3}}, {'C', {2.0}}, {'D', kDisc},       {'E', {2.0}},      {'G', {0.4}},
      {'g', {0.4}}, {'H', kHyper}, {'R', {3.0, 2.0}}, {'U', {1.0, 3.0}}, {'U', {2.0, 2.0}},
  };
  const double h = 1e-5;
  for (const auto& [id, params] : laws) {
    LawPtr law = make(id, params);
    for (double s : {0.3, 1.0, 2.5}) {
      SCOPED_TRACE(std::string(1, id) + " at " + std::to_string(s));
      double numeric = (orv::Laplace(*law, s + h) - orv::Laplace(*law, s - h)) / (2 * h);
      EXPECT_NEAR(orv::DLaplace(*law, s), numeric, 1e-6);
    }
  }
  // At 0 the derivative is minus the mean.
  EXPECT_DOUBLE_EQ(orv::DLaplace(*make('U', {1.0, 4.0}), 0.0), -2.5);
  EXPECT_DOUBLE_EQ(orv::DLaplace(*make('E', {3.0}), 0.0), -3.0);
}

TEST(LawValues, Tail) {
  // Lognormal with mu = 0 and sigma = 1: P(X > 1) = 1/2.
  const double lmean = std::exp(0.5), lsd = lmean * std::sqrt(std::exp(1.0) - 1.0);
  check_values("cdf", [](const LAW_DESC& l, double x) { return orv::CDF(l, x); },
               {
                   {'C', {3.0}, 3.0, 1.0},
                   {'C', {3.0}, 3.5, 0.0},
                   {'C', {3.0}, 2.0, 1.0},
                   {'D', kDisc, 0.5, 1.0},
                   {'D', kDisc, 1.0, 0.75},
                   {'D', kDisc, 2.0, 0.0},
                   {'E', {2.0}, 2.0, std::exp(-1.0)},
                   {'E', {0.0}, 1.0, 0.0},
                   {'E', {0.0}, -1.0, 1.0},
                   {'H', kHyper, 1.0, 0.5 * std::exp(-1.0) + 0.5 * std::exp(-0.5)},
                   {'H', kHyper, -1.0, 1.0},
                   {'H', {2.0, 1.0, 0.0}, 0.0, 0.0},
                   {'L', {lmean, lsd}, 1.0, 0.5},
                   {'L', {lmean, lsd}, 0.0, 1.0},
                   {'L', {2.0, 0.0}, 1.0, 1.0},
                   {'L', {2.0, 0.0}, 3.0, 0.0},
                   {'L', {0.0, 0.0}, 1.0, 0.0},
                   {'N', {0.0, 1.0}, 0.0, 0.5},
                   {'N', {1.0, 2.0}, 1.0 + 2.0 * 1.959963984540054, 0.025},
                   {'N', {1.0, 0.0}, 1.0, 1.0},
                   {'N', {1.0, 0.0}, 1.5, 0.0},
                   {'U', {1.0, 2.0}, 1.0, 1.0},
                   {'U', {1.0, 2.0}, 1.25, 0.75},
                   {'U', {1.0, 2.0}, 2.5, 0.0},
                   {'W', {2.0, 2.0}, 1.0, std::exp(-2.0)},
                   {'W', {2.0, 2.0}, -1.0, 1.0},
                   {'p', {1.0, 2.0}, 1.0, 0.25},
                   {'p', {1.0, 2.0}, -1.0, 1.0},
               });
}

struct WarnCase {
  std::function<double()> f;
  double expected;
  std::string err;
};

TEST(LawValues, UnsupportedLettersWarnAndDefault) {
  LawPtr b = make('B', {0.5}), w = make('W', {1.0, 2.0}), g = make('G', {0.5});
  LawPtr gz = make('g', {0.5}), h = make('h', {1.0, 2.0}), pa = make('p', {1.0, 2.0});
  LawPtr bad_ipp = make('P', {1.0});
  const std::string tag = "LawPackage: warning: ";
  const WarnCase cases[] = {
      {[&] { return orv::CDF(*b, 0.5); }, 0.0, tag + "cannot compute CDF of law `B`. 0.0 assumed.\n"},
      {[&] { return orv::Mean(*h); }, 0.0, tag + "cannot compute mean of law `h`. Zero assumed.\n"},
      {[&] { return orv::Mean(*bad_ipp); }, 0.0,
       tag + "cannot compute mean of law `P`. Zero assumed.\n"},
      {[&] { return orv::Moment(*g, 3); }, 0.0,
       tag + "cannot compute moment of order > 1for law `G`. 0.0 assumed.\n"},
      {[&] { return orv::Moment(*gz, 4); }, 0.0,
       tag + "cannot compute moment of order > 1for law `g`. 0.0 assumed.\n"},
      {[&] { return orv::Moment(*w, 2); }, 0.0,
       tag + "cannot compute 2-th moment of law `W`. Zero assumed.\n"},
      {[&] { return orv::Moment(*b, -1); }, 0.0,
       tag + "cannot compute -1-th moment of law `B`. Zero assumed.\n"},
      {[&] { return orv::Moment(*h, 1); }, 0.0, tag + "cannot compute mean of law `h`. Zero assumed.\n"},
      {[&] { return orv::Laplace(*w, 1.0); }, 1.0,
       tag + "cannot compute Laplace transform of law `W`. 1.0 assumed.\n"},
      {[&] { return orv::DLaplace(*pa, 1.0); }, 1.0,
       tag + "cannot compute Laplace transform of law `p`. 1.0 assumed.\n"},
  };
  for (const auto& c : cases) {
    Streams s;
    double v = c.f();
    s.stop();
    EXPECT_EQ(v, c.expected) << c.err;
    EXPECT_EQ(s.err, c.err);
    EXPECT_EQ(s.out, "");
  }
}

TEST(RescaleLaw, MultipliesTimeValues) {
  struct Case {
    char id;
    std::vector<double> params, scaled;
  };
  const Case cases[] = {
      {'C', {2.0}, {6.0}},
      {'E', {1.5}, {4.5}},
      {'D', kDisc, {2.0, 3.0, 6.0, 0.25, 0.75}},
      {'H', kHyper, {4.0, 0.5, 3.0, 0.5, 6.0}},
      {'O', {1.0, 2.0, 3.0}, {3.0, 6.0, 9.0}},
      {'R', {3.0, 2.0}, {3.0, 6.0}},
      {'U', {1.0, 2.0}, {3.0, 6.0}},
      {'W', {2.0, 2.0}, {2.0 / 9.0, 2.0}},
      {'p', {1.0, 2.0}, {3.0, 2.0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, c.id));
    LawPtr law = make(c.id, c.params);
    Streams s;
    LawPtr r = orv::Rescale_Law(*law, 3.0);
    s.stop();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Name, c.id);
    ASSERT_EQ(r->Parameters.size(), c.scaled.size());
    for (size_t i = 0; i < c.scaled.size(); ++i) EXPECT_DOUBLE_EQ(r->Parameters[i], c.scaled[i]);
    EXPECT_EQ(s.err, "");
  }
  // The scaled law is the law of 3X: its tail at 3x is the old tail at x.
  LawPtr w = make('W', {2.0, 1.7});
  LawPtr w3 = orv::Rescale_Law(*w, 3.0);
  EXPECT_NEAR(orv::CDF(*w3, 3.0 * 0.8), orv::CDF(*w, 0.8), 1e-12);
}

TEST(RescaleLaw, GeometricAndUnscalableLetters) {
  const std::string tag = "LawPackage: ";
  for (char id : {'G', 'g'}) {
    Streams s;
    LawPtr r = orv::Rescale_Law(*make(id, {0.4}), 2.0);
    s.stop();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Parameters, std::vector<double>{0.4});
    EXPECT_EQ(s.err, tag + "warning: geometric distributions cannotbe rescaled. No change.\n");
  }
  for (char id : {'B', 'L', 'N'}) {
    Streams s;
    LawPtr r = orv::Rescale_Law(*make(id, {0.4, 1.0}), 2.0);
    s.stop();
    EXPECT_FALSE(r);
    EXPECT_EQ(s.err, tag + "error: don't know how to rescale law `" + id + "`.\n");
  }
  for (char id : {'h', 'l', 'X'}) {
    Streams s;
    LawPtr r = orv::Rescale_Law(*make(id, {0.4, 1.0}), 2.0);
    LawPtr c = orv::Copy_Law(*make(id, {0.4, 1.0}));
    s.stop();
    EXPECT_FALSE(r);
    EXPECT_FALSE(c);
    EXPECT_EQ(s.err, tag + "error: unknown law `" + id + "`. No rescaling.\n" + tag +
                         "error: unknown law `" + id + "`. No copy.\n");
  }
}

TEST(RescaleLaw, Ipp) {
  LawPtr law = ipp(2.0, make('E', {1.0}), make('U', {1.0, 2.0}));
  LawPtr r = orv::Rescale_Law(*law, 2.0);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Parameters[0], 4.0);
  ASSERT_EQ(r->Law_Parameters.size(), 2u);
  EXPECT_EQ(r->Law_Parameters[0]->Parameters, std::vector<double>{2.0});
  EXPECT_EQ(r->Law_Parameters[1]->Parameters, (std::vector<double>{2.0, 4.0}));
  // A sub-law that cannot be scaled fails the whole law, never half of it.
  LawPtr with_b = ipp(2.0, make('E', {1.0}), make('B', {0.5}));
  Streams s;
  EXPECT_FALSE(orv::Rescale_Law(*with_b, 2.0));
  s.stop();
  EXPECT_EQ(s.err, "LawPackage: error: don't know how to rescale law `B`.\n");
}

TEST(CopyLaw, CopiesEveryKnownLetter) {
  std::vector<LawPtr> laws;
  laws.push_back(make('B', {0.5}));
  laws.push_back(make('L', {1.0, 0.5}));
  laws.push_back(make('N', {1.0, 0.5}));
  laws.push_back(make('D', kDisc));
  laws.push_back(make('H', kHyper));
  laws.push_back(make('W', {2.0, 3.0}));
  laws.push_back(make('R', {3.0, 2.0}));
  laws.push_back(make('O', {1.0, 2.0, 3.0}));
  for (const auto& l : laws) {
    Streams s;
    LawPtr c = orv::Copy_Law(*l);
    s.stop();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Name, l->Name);
    EXPECT_EQ(c->Parameters, l->Parameters);
    EXPECT_EQ(s.err, "");
  }
  // Copies of geometric laws go through rescaling and say so.
  Streams s;
  LawPtr g = orv::Copy_Law(*make('G', {0.3}));
  s.stop();
  ASSERT_TRUE(g);
  EXPECT_EQ(g->Parameters, std::vector<double>{0.3});
  EXPECT_EQ(s.err, "LawPackage: warning: geometric distributions cannotbe rescaled. No change.\n");
}

TEST(CopyLaw, IppWithUnscalableSubLawsIsComplete) {
  LawPtr law = ipp(2.0, make('B', {0.5}), make('N', {1.0, 0.1}));
  Streams s;
  LawPtr c = orv::Copy_Law(*law);
  s.stop();
  ASSERT_TRUE(c);
  EXPECT_EQ(s.err, "");
  ASSERT_EQ(c->Law_Parameters.size(), 2u);
  ASSERT_TRUE(c->Law_Parameters[0] && c->Law_Parameters[1]);
  EXPECT_EQ(c->Law_Parameters[0]->Name, 'B');
  EXPECT_EQ(c->Law_Parameters[1]->Parameters, (std::vector<double>{1.0, 0.1}));
  EXPECT_EQ(write_text(*c), write_text(*law));
}

TEST(Law, MalformedLawsAreNeverReadPastTheirEnd) {
  // Built by hand with counts that promise more than the array holds.
  LawPtr d = make('D', {5.0});
  LawPtr hx = make('H', {8.0, 0.5});
  LawPtr p = make('P', {1.0});
  Streams s;
  EXPECT_EQ(orv::Mean(*d), 0.0);
  EXPECT_EQ(orv::CDF(*hx, 1.0), 0.0);
  EXPECT_EQ(write_text(*d), "D [ ] [ ] ");
  EXPECT_EQ(write_text(*hx), "H   0.0000 ");
  EXPECT_EQ(write_text(*p), "");
  EXPECT_FALSE(orv::Copy_Law(*p));
  s.stop();
}

TEST(Law, NewLawAndAppendLaw) {
  LawPtr l = orv::New_Law();
  EXPECT_EQ(l->Parameters, std::vector<double>{0.0});
  EXPECT_TRUE(l->Law_Parameters.empty());
  orv::LAW_LIST list = written_laws({1.0, 2.0, 3.0});
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.front()->Parameters[0], 3.0);
  EXPECT_EQ(list.back()->Parameters[0], 1.0);
}

}  // namespace

// Parameters that give no finite, non-negative draw are named; sound ones
// pass.
TEST(Law, ParameterErrors) {
  struct Case {
    char id;
    std::vector<double> first;
    bool bad;
  };
  const Case cases[] = {
      {'R', {0, 1.0}, true},          {'R', {2.5, 1.0}, true},
      {'R', {3e9, 1.0}, true},        {'R', {2e9, 1.0}, false},
      {'R', {3, -1.0}, true},         {'p', {0.0, 0.0}, true},
      {'p', {1.0, 2.0}, false},       {'G', {1.0}, true},
      {'g', {0.5}, false},            {'E', {-1.0}, true},
      {'E', {2.0}, false},            {'C', {NAN}, true},
      {'C', {INFINITY}, true},        {'U', {2.0, 1.0}, true},
      {'U', {1.0, 2.0}, false},       {'B', {1.5}, true},
      {'L', {0.0, 1.0}, true},        {'H', {0.3, 1.0, 0.7, 5.0}, false},
      {'H', {1.3, 1.0, 0.7, 5.0}, true},
  };
  for (const Case& c : cases) {
    orv::LAW_DESC law;
    law.Name = c.id;
    law.Parameters = c.first;
    // H keeps its count of reals in slot 0.
    if (c.id == 'H') law.Parameters.insert(law.Parameters.begin(), double(c.first.size()));
    EXPECT_EQ(!orv::Law_Parameter_Error(law).empty(), c.bad) << c.id << " " << c.first[0];
  }
}
