#include "eventgraph/egl_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "egl_test_util.h"
#include "eventgraph/topology.h"

namespace {

using egl_test::graph;
using egl_test::read_text;
using orv::EventGraph;
using orv::PLACE_DESC;

std::vector<int> downstream(const orv::TRANS_DESC& t) {
  std::vector<int> ids;
  for (const PLACE_DESC* p : t.Outputs) ids.push_back(p->Trans_Id);
  return ids;
}

TEST(EglReader, TransitionsWithoutPlaces) {
  auto g = graph("Size <- 3\n1 C 1.0 ;\n2 E 2.0 ;\n3 C 0.5 ;\n");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->Size, 3);
  EXPECT_EQ(g->Nb_Places, 0);
  EXPECT_TRUE(g->P.empty());
  EXPECT_EQ(g->Max_Pop_Init, 0);
  EXPECT_EQ(g->Nb_Layers, 0);
  ASSERT_EQ(g->T.size(), 3u);
  for (int k = 0; k < 3; ++k) {
    ASSERT_TRUE(g->T[k]);
    EXPECT_EQ(g->T[k]->Trans_Id, k + 1);
    EXPECT_EQ(g->T[k]->Outdegree, 0);
  }
  EXPECT_EQ(g->T[1]->Trans_Law->Name, 'E');
  EXPECT_EQ(g->T[1]->Trans_Law->Parameters, std::vector<double>{2.0});
}

// Lists are built by prepending: the last line's last place is place 0, and
// each Outputs list runs right to left.
TEST(EglReader, PlacesAreNumberedInListOrder) {
  auto g = graph(
      "Size <- 3\n"
      "1 C 1.0 , 2 C 2.0 0 , 3 E 1.0 1 0.5 ;\n"
      "2 C 1.0 , 1 U 1.0 2.0 0 ;\n"
      "3 C 1.0 ;\n");
  ASSERT_TRUE(g);
  ASSERT_EQ(g->Nb_Places, 3);
  ASSERT_EQ(g->P.size(), 3u);
  struct Want { int input, trans, pop; char law; };
  const Want want[] = {{2, 1, 0, 'U'}, {1, 3, 1, 'E'}, {1, 2, 0, 'C'}};
  for (int i = 0; i < 3; ++i) {
    const PLACE_DESC& p = *g->P[i];
    EXPECT_EQ(p.Place_Id, i);
    EXPECT_EQ(p.Input_Id, want[i].input) << i;
    EXPECT_EQ(p.Trans_Id, want[i].trans) << i;
    EXPECT_EQ(p.Init_Pop, want[i].pop) << i;
    EXPECT_EQ(p.Place_Law->Name, want[i].law) << i;
  }
  EXPECT_EQ(g->P[0]->Place_Law->Parameters, (std::vector<double>{1.0, 2.0}));
  EXPECT_EQ(g->P[1]->Lag_Times, std::vector<double>{0.5});
  EXPECT_TRUE(g->P[2]->Lag_Times.empty());
  EXPECT_EQ(downstream(*g->T[0]), (std::vector<int>{3, 2}));
  EXPECT_EQ(g->T[0]->Outputs[0], g->P[1].get());
  EXPECT_EQ(g->T[0]->Outdegree, 2);
  EXPECT_EQ(g->T[1]->Outdegree, 1);
  EXPECT_EQ(g->Max_Pop_Init, 1);
  for (const auto& t : g->T) EXPECT_TRUE(t->Inputs.empty());
}

TEST(EglReader, TwoLinePlaceOrder) {
  auto g = graph("Size <- 2\n1 C 1.0 , 2 C 1.0 0 ;\n2 C 1.0 , 1 C 1.0 1 0.0 ;\n");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->P[0]->Input_Id, 2);
  EXPECT_EQ(g->P[0]->Trans_Id, 1);
  EXPECT_EQ(g->P[1]->Input_Id, 1);
  EXPECT_EQ(g->P[1]->Trans_Id, 2);
}

TEST(EglReader, NamesAndData) {
  auto g = graph(
      "Taille <- 2\nDuree <- 500\n"
      "1 \"First one\" \"d_1.x!|\" E 1.0 , 2 \"pl\" \" a\" \"Z9\" C 1.0 0 ;\n"
      "2 \"Second\" C 1.0 , 1 \"back\" C 1.0 0 , 1 C 2.0 0 ;\n");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->T[0]->Name, "First one");
  EXPECT_EQ(g->T[0]->Data, "d_1.x!|");
  EXPECT_EQ(g->T[1]->Name, "Second");
  EXPECT_EQ(g->T[1]->Data, "");
  // Line 2 in list order: the unnamed place, then "back".
  EXPECT_EQ(g->P[0]->Name, "");
  EXPECT_EQ(g->P[1]->Name, "back");
  EXPECT_EQ(g->P[2]->Name, "pl");
  EXPECT_EQ(g->P[2]->Data1, " a");
  EXPECT_EQ(g->P[2]->Data2, "Z9");
}

TEST(EglReader, LawsReachTheLawBuilderInWrittenOrder) {
  auto g = graph(
      "Size <- 6\n"
      "1 R 3 6.0 ;\n"
      "2 D [ 10. 20. ] [ 0.25 0.75 ] ;\n"
      "3 H 0.3 1.0 0.7 5.0 ;\n"
      "4 IPP [ 2.0 , E 1.0 , C 3.0 ] ;\n"
      "5 O 1.0 2.0 3.0 ;\n"
      "6 p 1.0 2.0 ;\n");
  ASSERT_TRUE(g);
  const auto& l1 = *g->T[0]->Trans_Law;
  EXPECT_EQ(l1.Name, 'R');
  EXPECT_EQ(l1.Parameters, (std::vector<double>{3.0, 6.0}));
  // Values and probabilities both stay in list order, so they still pair up.
  EXPECT_EQ(g->T[1]->Trans_Law->Parameters, (std::vector<double>{2, 20, 10, 0.75, 0.25}));
  EXPECT_EQ(g->T[2]->Trans_Law->Parameters, (std::vector<double>{4, 0.3, 1.0, 0.7, 5.0}));
  const auto& ipp = *g->T[3]->Trans_Law;
  EXPECT_EQ(ipp.Name, 'P');
  EXPECT_EQ(ipp.Parameters, std::vector<double>{2.0});
  ASSERT_EQ(ipp.Law_Parameters.size(), 2u);
  EXPECT_EQ(ipp.Law_Parameters[0]->Name, 'C');  // the last sub-law written
  EXPECT_EQ(ipp.Law_Parameters[1]->Name, 'E');
  EXPECT_EQ(g->T[4]->Trans_Law->Parameters, (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(g->T[5]->Trans_Law->Name, 'p');
}

// The number lists of laws within laws are kept apart while read.
TEST(EglReader, NestedLawsKeepTheirNumbers) {
  auto g = graph(
      "Size <- 1\n"
      "1 IPP [ 1.0 2.0 , D [ 1.0 2.0 ] [ 0.25 0.75 ] , IPP [ 3.0 , E 4.0 , C 5.0 ] ]"
      " , 1 R 2 6.0 2 7.0 8.0 ;\n");
  ASSERT_TRUE(g);
  const auto& ipp = *g->T[0]->Trans_Law;
  ASSERT_EQ(ipp.Law_Parameters.size(), 2u);
  const auto& inner = *ipp.Law_Parameters[0];
  EXPECT_EQ(inner.Name, 'P');
  EXPECT_EQ(inner.Parameters, std::vector<double>{3.0});
  ASSERT_EQ(inner.Law_Parameters.size(), 2u);
  EXPECT_EQ(inner.Law_Parameters[0]->Parameters, std::vector<double>{5.0});
  EXPECT_EQ(inner.Law_Parameters[1]->Parameters, std::vector<double>{4.0});
  EXPECT_EQ(ipp.Law_Parameters[1]->Parameters, (std::vector<double>{2, 2, 1, 0.75, 0.25}));
  EXPECT_EQ(g->P[0]->Place_Law->Parameters, (std::vector<double>{2.0, 6.0}));
  EXPECT_EQ(g->P[0]->Lag_Times, (std::vector<double>{7.0, 8.0}));
}

// Reals read as the C library reads them, to the last bit, out to the
// ends of the double range; beyond it the read stops.
TEST(EglReader, RealsRoundAsWritten) {
  const std::string tiny = "0." + std::string(323, '0') + "5";  // below the least subnormal
  const std::string subnormal = "0." + std::string(320, '0') + "123456789";
  const std::string top = "17976931348623157" + std::string(292, '0') + ".0";
  const std::string texts[] = {"0.1", "1.", "0.30000000000000004441",
                               "123456789012345678901234567890.5", "2.2250738585072011", tiny,
                               subnormal, top};
  for (const std::string& number : texts) {
    auto g = graph("Size <- 1\n1 C " + number + " ;\n");
    ASSERT_TRUE(g) << number;
    EXPECT_EQ(g->T[0]->Trans_Law->Parameters,
              std::vector<double>{std::strtod(number.c_str(), nullptr)})
        << number;
  }
  auto r = read_text("Size <- 1\n1 C 1" + std::string(309, '0') + ".0 ;\n");
  EXPECT_FALSE(r.g);
  EXPECT_NE(r.out.find("---real number out of range---"), std::string::npos) << r.out;
}

TEST(EglReader, InitialLags) {
  struct Case { const char* pop; std::vector<double> lags; int missing; bool surplus; };
  const Case cases[] = {
      {"2 0.5", {0.5, 0.0}, 1, false},
      {"1 0.5 0.7", {0.5}, 0, true},
      {"1 0.5 0.7 0.9", {0.5}, 0, true},
      {"3 0.1 0.2 0.3", {0.1, 0.2, 0.3}, 0, false},
      {"3 0.4", {0.4, 0.0, 0.0}, 2, false},
      {"3", {0.0, 0.0, 0.0}, 3, false},
      {"0", {}, 0, false},
      {"0 0.5", {}, 0, true},
      // Beyond three missing lags of one place, one line says how many more.
      {"4 0.4", {0.4, 0.0, 0.0, 0.0}, 3, false},
      {"6 0.4", {0.4, 0.0, 0.0, 0.0, 0.0, 0.0}, 5, false},
  };
  for (const Case& c : cases) {
    auto r = read_text(std::string("Size <- 2\n1 C 1.0 , 2 C 1.5 ") + c.pop + " ;\n2 C 1.0 ;\n");
    ASSERT_TRUE(r.g) << c.pop;
    const PLACE_DESC& p = *r.g->P[0];
    EXPECT_EQ(p.Init_Pop, static_cast<int>(c.lags.size())) << c.pop;
    EXPECT_EQ(p.Lag_Times, c.lags) << c.pop;
    std::string err;
    for (int i = 0; i < c.missing && i < 3; ++i)
      err += "Warning: not enough initial lags (0.0 assumed)\n";
    if (c.missing > 3)
      err += "Warning: " + std::to_string(c.missing - 3) + " more initial lags missing (0.0 assumed)\n";
    if (c.surplus) err += "Warning: too many initial lags (ignored)\n";
    EXPECT_EQ(r.err, err) << c.pop;
    EXPECT_EQ(r.out, "") << c.pop;
  }
}

TEST(EglReader, IdentifiersBeyondTheSizeAreLeftOut) {
  auto r = read_text(
      "Size <- 5\n"
      "1 C 1.0 , 7 C 1.0 2 0.1 0.2 , 2 C 1.0 0 ;\n"
      "2 C 1.0 ; 3 C 1.0 ; 4 C 1.0 ; 5 C 1.0 ;\n"
      "6 C 1.0 , 1 C 1.0 0 ;\n");
  ASSERT_TRUE(r.g);
  EXPECT_EQ(r.err,
            "Number of Transition (6) > Network Size (5). Transition '6' ignored.\n"
            "Number of Transition (7) > Network Size (5). Place '1->7' ignored.\n");
  EXPECT_EQ(r.g->Nb_Places, 1);
  EXPECT_EQ(r.g->P[0]->Trans_Id, 2);
  EXPECT_EQ(r.g->T[0]->Outdegree, 1);
  EXPECT_EQ(downstream(*r.g->T[0]), std::vector<int>{2});
  // The dropped place's tokens do not count either.
  EXPECT_EQ(r.g->Max_Pop_Init, 0);
}

// A byte that would not show is named, and DOS line endings told once.
TEST(EglReader, InvisibleCharactersAreNamed) {
  auto r = read_text("Size <- 1\r\n1 C 1.0 ;\x01\r\n");
  ASSERT_TRUE(r.g);
  EXPECT_EQ(r.out,
            "Illegal character: \\r\n"
            "The file has DOS line endings (a carriage return before each newline).\n"
            "Illegal character: \\x01\n"
            "Illegal character: \\r\n");
}

// 2^24 tokens without lags once printed one line per token (789 MB), and
// 40 such places asked for 5 GB of lags: the warning stops after a few, and
// the graph's tokens are bounded as a whole, not only per place.
TEST(EglReader, HugeTokenCountsAreBounded) {
  auto r = read_text("Size <- 1\n1 C 1.0 , 1 C 1.0 16777216 ;\n");
  ASSERT_TRUE(r.g);
  EXPECT_EQ(r.err, "Warning: not enough initial lags (0.0 assumed)\n"
                   "Warning: not enough initial lags (0.0 assumed)\n"
                   "Warning: not enough initial lags (0.0 assumed)\n"
                   "Warning: 16777213 more initial lags missing (0.0 assumed)\n");
  r.g.reset();
  const long saved = orv::eg::Max_Read_Tokens;
  orv::eg::Max_Read_Tokens = 100;
  // The third place would pass the bound: the read stops there.
  r = read_text("Size <- 1\n1 C 1.0 , 1 C 1.0 60 0.0 ,\n1 C 1.0 40 , 1 C 1.0 1 ;\n");
  orv::eg::Max_Read_Tokens = saved;
  EXPECT_FALSE(r.g);
  // The line counter runs on across reads; only the text is fixed here.
  const size_t at = r.err.find("Error: more than 100 initial tokens in the graph (line ");
  ASSERT_NE(at, std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\n', at) + 1, r.err.size()) << r.err;  // nothing read after it
  EXPECT_NE(r.err.find("). Graph refused.\n", at), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  // Within the bound, the count is per read: a second read starts afresh.
  orv::eg::Max_Read_Tokens = 100;
  r = read_text("Size <- 1\n1 C 1.0 , 1 C 1.0 60 ;\n");
  EXPECT_TRUE(r.g);
  r = read_text("Size <- 1\n1 C 1.0 , 1 C 1.0 60 ;\n");
  EXPECT_TRUE(r.g);
  orv::eg::Max_Read_Tokens = saved;
}

// The graph is built after the whole parse, so its messages follow the lag
// warnings of every line.
TEST(EglReader, GraphMessagesFollowLagWarnings) {
  auto r = read_text("Size <- 1\n2 C 1.0 ;\n1 C 1.0 , 1 C 1.0 1 ;\n");
  ASSERT_TRUE(r.g);
  EXPECT_EQ(r.err,
            "Warning: not enough initial lags (0.0 assumed)\n"
            "Number of Transition (2) > Network Size (1). Transition '2' ignored.\n");
}

TEST(EglReader, LexicalRules) {
  // A sign is no part of a number: reported, then the number reads as 1.0.
  auto r = read_text("Size <- 1\n1 C -1.0 ;\n");
  ASSERT_TRUE(r.g);
  EXPECT_EQ(r.out, "Illegal character: -\n");
  EXPECT_EQ(r.g->T[0]->Trans_Law->Parameters, std::vector<double>{1.0});

  // Comments, tabs, "Length" against L, "1." as a real.
  auto g = graph("# head\nSize\t<- 1 # size\nLength <- 9\n1 L 1. 2.50 ;\n");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->T[0]->Trans_Law->Name, 'L');
  EXPECT_EQ(g->T[0]->Trans_Law->Parameters, (std::vector<double>{1.0, 2.5}));

  // Unknown letters are skipped without ending the read.
  r = read_text("Size <- 1\n1 x C 1.0 ;$\n");
  ASSERT_TRUE(r.g);
  EXPECT_EQ(r.out, "Illegal character: x\nIllegal character: $\n");

  // An empty pair of quotes is no string: two illegal characters.
  r = read_text("Size <- 1\n1 \"\" C 1.0 ;\n");
  ASSERT_TRUE(r.g);
  EXPECT_EQ(r.out, "Illegal character: \"\nIllegal character: \"\n");
  EXPECT_EQ(r.g->T[0]->Name, "");
}

// Each case ends in a syntax error: the yyerror line (with the text of the
// token at fault and the running line count), then what would have been read
// there, and no graph.
TEST(EglReader, SyntaxErrors) {
  struct Case {
    const char* text;
    const char* token;
    int line;
    const char* illegal;
    const char* expected;
  };
  const Case cases[] = {
      {"Size <- 1\n1 E 2 ;\n", "2", 2, "",  // integer where a real is due
       "a real number such as 2.0"},
      {"Size <- 1\n1 N 2.0 ;\n", "2.0", 2, "Illegal character: N\n",  // no normal law
       "a name in double quotes or a law such as \"C 1.0\""},
      {"size <- 1\n1 C 1.0 ;\n", "<-", 1,
       "Illegal character: s\nIllegal character: i\nIllegal character: z\nIllegal character: e\n",
       "\"Size\""},
      {"Size <- 1\n1 \"1a\" C 1.0 ;\n", "1", 2, "Illegal character: \"\n",
       "a name in double quotes or a law such as \"C 1.0\""},
      {"Size <- 1\n\n\n1 C .5 ;\n", "5", 4, "Illegal character: .\n", "a real number such as 5.0"},
      {"Size <- 2\n1 C 1.0 , 2 C 1.0 ;\n", ";", 2, "",  // token count missing
       "a whole number such as 2"},
      {"Size <- 1\n1 C 1.0\n", "", 3, "", "\",\" or \";\""},  // end of file before ";"
      {"Size <- 1\n", "", 2, "", "a whole number such as 2"},  // no transition at all
      // A whole number among the lags, after the list of reals was closed.
      {"Size <- 1\n1 C 1.0 , 1 C 0.0 1 0.5 1 ;\n", "1", 2, "",
       "a real number such as 1.0, \",\" or \";\""},
  };
  for (const Case& c : cases) {
    const int before = EGL_lineno;
    auto r = read_text(c.text);
    EXPECT_FALSE(r.g) << c.text;
    char line[256];
    std::snprintf(line, sizeof line, "---parse error---[%s] at line %d\nExpected here: %s.\n",
                  c.token, before + c.line - 1, c.expected);
    EXPECT_EQ(r.out, std::string(c.illegal) + line) << c.text;
    EXPECT_EQ(r.err, "") << c.text;
  }
}

// Unchecked identifiers used to corrupt memory; now the file is refused.
TEST(EglReader, BadIdentifiersGiveNoGraph) {
  struct Case { const char* text; const char* err; };
  const Case cases[] = {
      {"Size <- 2\n0 C 1.0 ;\n1 C 1.0 ;\n2 C 1.0 ;\n",
       "Error: illegal transition number (0).\n"},
      {"Size <- 2\n1 C 1.0 , 0 C 1.0 0 ;\n2 C 1.0 ;\n",
       "Error: illegal transition number (0) in place '1->0'.\n"},
      {"Size <- 2\n1 C 1.0 , 2 C 1.0 0 ;\n1 C 2.0 ;\n2 C 1.0 ;\n",
       "Error: transition 1 declared twice.\n"},
      {"Size <- 4\n1 C 1.0 ;\n3 C 1.0 ;\n", "Error: transition 2 not declared.\n"},
      {"Size <- 2000000000\n1 C 1.0 ;\n", "Error: transition 2 not declared.\n"},
      // Numbers are checked off in a table when the size is near the count
      // of lines, in a hash set when it is far above it.
      {"Size <- 3\n2 C 1.0 ;\n1 C 1.0 ;\n", "Error: transition 3 not declared.\n"},
      {"Size <- 100000\n1 C 1.0 ;\n2 C 1.0 ;\n1 C 1.0 ;\n",
       "Error: transition 1 declared twice.\nError: transition 3 not declared.\n"},
      {"Size <- 0\n1 C 1.0 ;\n",
       "Number of Transition (1) > Network Size (0). Transition '1' ignored.\n"
       "Error: illegal network size (0).\n"},
      {"Size <- 1\n99999999999 C 1.0 ;\n",
       "Number of Transition (2147483647) > Network Size (1). Transition '2147483647' ignored.\n"
       "Error: transition 1 not declared.\n"},
  };
  for (const Case& c : cases) {
    auto r = read_text(c.text);
    EXPECT_FALSE(r.g) << c.text;
    EXPECT_EQ(r.err, c.err) << c.text;
    EXPECT_EQ(r.out, "") << c.text;
  }
}

TEST(EglReader, LongStringsAreKeptWhole) {
  const std::string name(20000, 'a');
  auto g = graph("Size <- 1\n1 \"" + name + "\" C 1.0 ;\n");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->T[0]->Name, name);
}

TEST(EglReader, DebugTrace) {
  orv::eg::Debug = 1;
  auto r = read_text(
      "Size <- 3\nLength <- 5\n1 C 1.0 ;\n2 \"b\" C 1.0 ;\n3 \"c\" \"x\" C 1.0 ;\n");
  orv::eg::Debug = 0;
  ASSERT_TRUE(r.g);
  EXPECT_EQ(r.out,
            "Warning: obsolete duration declaration.\n"
            "Transition 1 recognized\n"
            "Transition b [2] recognized\n"
            "Transition c [3][x] recognized\n"
            "Reseau ok\n");
}

std::string temp_file(const std::string& text) {
  char name[] = "/tmp/egl_test_XXXXXX";
  int fd = mkstemp(name);
  EXPECT_GE(fd, 0);
  FILE* f = fdopen(fd, "w");
  std::fputs(text.c_str(), f);
  std::fclose(f);
  return name;
}

TEST(EglReader, ReadsFilesAndStreamsRepeatedly) {
  const std::string bad = temp_file("Size <- 1\n\n1 E 2 ;\n");
  const std::string good = temp_file("Size <- 2\n1 C 1.0 , 2 C 1.0 1 0.5 ;\n2 C 1.0 ;\n");

  // A syntax error leaves unread input behind; the next read must not see it.
  const int before = EGL_lineno;
  auto r1 = egl_test::capture([&] { EXPECT_FALSE(orv::eg::Read_Network(bad)); });
  EXPECT_EQ(r1.out, "---parse error---[2] at line " + std::to_string(before + 2) +
                        "\nExpected here: a real number such as 2.0.\n");
  for (int round = 0; round < 2; ++round) {
    orv::EventGraphPtr g;
    auto r = egl_test::capture([&] { g = orv::eg::Read_Network(good); });
    ASSERT_TRUE(g);
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(g->P[0]->Lag_Times, std::vector<double>{0.5});
  }
  // The lines of every file read so far are counted.
  EXPECT_EQ(EGL_lineno, before + 2 + 2 * 3);

  FILE* in = std::fopen(good.c_str(), "r");
  ASSERT_NE(in, nullptr);
  orv::EventGraphPtr g;
  egl_test::capture([&] { g = orv::eg::Read_Network(in); });
  EXPECT_TRUE(g);
  std::fclose(in);

  auto r2 = egl_test::capture([&] { EXPECT_FALSE(orv::eg::Read_Network("/nonexistent/x.egl")); });
  EXPECT_EQ(r2.out, "Error: could not open file /nonexistent/x.egl for reading.\n");
  EXPECT_EQ(r2.err, "");
  std::remove(bad.c_str());
  std::remove(good.c_str());
}

TEST(EglReader, DumpAfterAnalysis) {
  auto r = read_text(
      "Size <- 3\n"
      "1 C 1.0 , 2 E 1.0 0 , 3 C 2.0 12 ;\n"
      "2 U 1.0 2.0 , 3 C 1.0 0 ;\n"
      "3 E 2.0 , 1 B 0.5 1 0.5 ;\n");
  ASSERT_TRUE(r.g);
  EventGraph& g = *r.g;
  std::string out = egl_test::capture([&] {
    EXPECT_EQ(orv::eg::topological_analysis(g), 1);
    orv::eg::dumpe_network(g);
  }).out;
  EXPECT_EQ(out,
            "Network of size 3 transitions and 4 places\n"
            "      .........\n"
            "  1[C]. EC. 0+.\n"
            "  2[U].  C.  0.\n"
            "  3[E].B  .1  .\n"
            "      .........\n\n"
            "Maximal initial population: 12\n\n"
            "Level 1 :  1\n"
            "Level 2 :  2\n"
            "Level 3 :  3\n"
            "\n"
            "Transitions input of 1:  3\n"
            "Transitions input of 2:  1\n"
            "Transitions input of 3:  2 1\n");
}

// Two places on one pair share a cell of the dump; the one last in Outputs
// order (the first written) shows.
TEST(EglReader, DumpOfParallelPlaces) {
  auto g = graph("Size <- 2\n1 C 1.0 , 2 C 1.0 0 , 2 E 1.0 3 0.1 0.2 0.3 ;\n2 C 1.0 ;\n");
  ASSERT_TRUE(g);
  std::string out = egl_test::capture([&] { orv::eg::dumpe_network(*g); }).out;
  EXPECT_NE(out.find("  1[C]. C. 0.\n"), std::string::npos) << out;
}

}  // namespace

namespace {

// What every later user of a graph relies on.
void expect_sound(const EventGraph& g) {
  ASSERT_GE(g.Size, 1);
  ASSERT_EQ(g.T.size(), static_cast<size_t>(g.Size));
  ASSERT_EQ(g.P.size(), static_cast<size_t>(g.Nb_Places));
  int places = 0;
  for (int k = 0; k < g.Size; ++k) {
    ASSERT_TRUE(g.T[k]);
    EXPECT_EQ(g.T[k]->Trans_Id, k + 1);
    EXPECT_TRUE(g.T[k]->Trans_Law);
    EXPECT_EQ(g.T[k]->Outdegree, static_cast<int>(g.T[k]->Outputs.size()));
    for (const PLACE_DESC* p : g.T[k]->Outputs) {
      EXPECT_EQ(p->Input_Id, k + 1);
      EXPECT_GE(p->Trans_Id, 1);
      EXPECT_LE(p->Trans_Id, g.Size);
      ++places;
    }
  }
  EXPECT_EQ(places, g.Nb_Places);
  for (int i = 0; i < g.Nb_Places; ++i) {
    EXPECT_EQ(g.P[i]->Place_Id, i);
    EXPECT_EQ(g.P[i]->Lag_Times.size(), static_cast<size_t>(g.P[i]->Init_Pop));
    EXPECT_LE(g.P[i]->Init_Pop, g.Max_Pop_Init);
  }
}

// Damaged files get messages and either no graph or a sound one, never a
// crash (the sanitizer build runs this too).
TEST(EglReader, DamagedFilesNeverGiveAnUnsoundGraph) {
  const std::string base =
      "Size <- 4\n"
      "1 \"a\" E 1.0 , 2 \"p\" C 1.0 0 , 3 U 1.0 2.0 2 0.5 ;\n"
      "2 R 2 3.0 , 4 D [ 1. 2. ] [ 0.5 0.5 ] 1 0.1 ;\n"
      "3 IPP [ 1.0 , E 1.0 , C 2.0 ] , 1 H 0.5 1.0 0.5 2.0 1 ;\n"
      "4 C 1.0 , 1 C 1.0 1 0.0 , 4 C 0.0 1 0.0 ;\n";
  const char alphabet[] = "0123456789 .,;[]\"<-#\nSizeLengthRBgGUCDOIPPHLpWx";
  unsigned seed = 7;
  auto rnd = [&](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  int sound = 0;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  for (int round = 0; round < 1500; ++round) {
    std::string text = base;
    const unsigned edits = 1 + rnd(4);
    for (unsigned e = 0; e < edits; ++e) {
      const size_t at = rnd(static_cast<unsigned>(text.size()));
      switch (rnd(3)) {
        case 0: text[at] = alphabet[rnd(sizeof alphabet - 1)]; break;
        case 1: text.erase(at, 1 + rnd(3)); break;
        default: text.insert(at, 1, alphabet[rnd(sizeof alphabet - 1)]); break;
      }
    }
    orv::EventGraphPtr g = orv::eg::Read_Network_Text(text);
    if (!g) continue;
    ++sound;
    expect_sound(*g);
    orv::eg::topological_analysis(*g);
    orv::eg::dumpe_network(*g);
  }
  testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  EXPECT_GT(sound, 0);
}

}  // namespace

namespace {
std::string nested_ipp(int depth) {
  std::string law;
  for (int i = 0; i < depth; ++i) law += "IPP [ 1.0 , C 1.0 , ";
  law += "C 1.0";
  for (int i = 0; i < depth; ++i) law += " ]";
  return "Size <- 1\n1 C 1.0, 1 " + law + " 1 0.0;\n";
}
}  // namespace

// Laws nested without bound used to overflow the C stack; the nesting is
// capped and reported as a parser stack overflow.
TEST(EglReader, LawNestingIsBounded) {
  auto ok = egl_test::read_text(nested_ipp(2500));
  EXPECT_TRUE(ok.g);
  for (int depth : {2501, 300000}) {
    const int line = EGL_lineno + 1;
    auto r = egl_test::read_text(nested_ipp(depth));
    EXPECT_FALSE(r.g);
    EXPECT_EQ(r.out, "---parser stack overflow---[IPP] at line " + std::to_string(line) + "\n");
  }
  // Laws side by side are not nested.
  std::string wide = "Size <- 1\n1 C 1.0, 1 IPP [ 1.0 , C 1.0";
  for (int i = 0; i < 5000; ++i) wide += " , IPP [ 1.0 , C 1.0 , C 2.0 ]";
  wide += " ] 1 0.0;\n";
  EXPECT_TRUE(egl_test::read_text(wide).g);
}

// See the PNL reader: a long token read from a stream must not cost
// quadratic time.
TEST(EglReader, ALongCommentInAStreamReadsInLinearTime) {
  std::string text = "# " + std::string(8 << 20, 'x') + "\nSize <- 1\n1 C 1.0, 1 C 0.0 1 0.0;\n";
  FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  std::fwrite(text.data(), 1, text.size(), f);
  std::rewind(f);
  const auto start = std::chrono::steady_clock::now();
  orv::EventGraphPtr g = orv::eg::Read_Network(f);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fclose(f);
  ASSERT_TRUE(g);
  EXPECT_EQ(g->Size, 1);
  EXPECT_LT(seconds, 20.0);
}
