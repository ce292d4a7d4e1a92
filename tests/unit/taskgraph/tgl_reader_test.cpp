#include "taskgraph/tgl_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "taskgraph/sample.h"
#include "tg_test_util.h"

namespace {

using orv::tg::DATA;
using orv::tg::PROGRAM;
using tg_test::graph;
using tg_test::read_text;

std::string task(const std::string& name, const std::string& law = "CST(1.0)") {
  return "TASK " + name + " DURATION " + law + " END\n";
}

std::string data(const std::string& name, const std::string& from, const std::string& to,
                 const std::string& law = "CST(1.0)", const std::string& sync = "NECESSARY") {
  return "LINK " + name + " TYPE DATA IS " + sync + " FROM " + from + " TO " + to +
         " DURATION " + law + " END\n";
}

std::string program(const std::string& name, const std::string& from, const std::string& to,
                    int depth, const std::string& sync = "NECESSARY") {
  return "LINK " + name + " TYPE PROGRAM IS " + sync + " FROM " + from + " TO " + to +
         " DEPTH " + std::to_string(depth) + " END\n";
}

std::vector<std::string> neighbor_names(const orv::tg::TASK& t) {
  std::vector<std::string> names;
  for (const auto& l : t.Neighbors) names.push_back(l->Link_Name);
  return names;
}

// A link written before the tasks it joins numbers FROM, then TO.
TEST(TglReader, NamesAreNumberedByFirstAppearance) {
  auto g = graph(data("l", "b", "a") + task("a") + task("c") + task("b"));
  ASSERT_TRUE(g);
  ASSERT_EQ(g->Size, 3);
  EXPECT_EQ(g->T[0].Task_Name, "b");
  EXPECT_EQ(g->T[1].Task_Name, "a");
  EXPECT_EQ(g->T[2].Task_Name, "c");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(g->T[i].Task_Id, i);
  ASSERT_EQ(g->T[0].Neighbors.size(), 1u);
  const auto& l = *g->T[0].Neighbors[0];
  EXPECT_EQ(l.Task_From, 0);
  EXPECT_EQ(l.Task_To, 1);
  EXPECT_EQ(l.Link_Type, DATA);
  EXPECT_EQ(l.Link_Id, 0);
  EXPECT_EQ(g->Nb_Layers, 0);  // left to the topology
  EXPECT_FALSE(g->T[0].Prev);
}

// Each task's links run from the last written to the first; links are
// numbered by first appearance of their names.
TEST(TglReader, NeighborsRunInReverseTextOrder) {
  auto g = graph(task("a") + task("b") + task("c") + data("x", "a", "b") +
                 program("y", "a", "c", 3, "OPTIONAL") + data("z", "a", "b", "EXP(2.0)") +
                 data("w", "b", "c"));
  ASSERT_TRUE(g);
  EXPECT_EQ(neighbor_names(g->T[0]), (std::vector<std::string>{"z", "y", "x"}));
  EXPECT_EQ(neighbor_names(g->T[1]), (std::vector<std::string>{"w"}));
  EXPECT_TRUE(g->T[2].Neighbors.empty());
  const auto& y = *g->T[0].Neighbors[1];
  EXPECT_EQ(y.Link_Type, PROGRAM);
  EXPECT_EQ(y.Synchro_Type, orv::tg::OPTIONAL);
  EXPECT_EQ(y.Depth, 3);
  EXPECT_FALSE(y.Link_Law);
  EXPECT_EQ(y.Link_Id, 1);
  EXPECT_EQ(g->T[0].Neighbors[0]->Link_Id, 2);
  EXPECT_EQ(g->T[0].Neighbors[0]->Link_Law->Name, 'E');
  EXPECT_EQ(g->T[0].Neighbors[0]->Synchro_Type, orv::tg::NECESSARY);
}

TEST(TglReader, GivenNameIsKept) {
  auto g = graph("TASK a Alpha DURATION CST(1.0) END\n" + task("b"));
  ASSERT_TRUE(g);
  EXPECT_EQ(g->T[0].Task_Given_Name, std::optional<std::string>("Alpha"));
  EXPECT_FALSE(g->T[1].Task_Given_Name);
}

// Each law keyword, its letter and its parameter slots (the reals arrive
// prepended, which the law builder undoes).
TEST(TglReader, LawsAndTheirParameters) {
  struct Case {
    std::string text;
    char letter;
    std::vector<double> params;
  } cases[] = {
      {"EXP(1)", 'E', {1.0}},
      {"CST(2.5)", 'C', {2.5}},
      {"BER(0.25)", 'B', {0.25}},
      {"GEOM(0.5)", 'g', {0.5}},
      {"GEOSHIFT(0.5)", 'G', {0.5}},
      {"ERL(3, 6.0)", 'R', {3.0, 6.0}},
      {"ERL(3, 6)", 'R', {3.0, 6.0}},
      {"UNIF(1, 2.0)", 'U', {1.0, 2.0}},
      {"UNIF(1., 2.)", 'U', {1.0, 2.0}},
      {"PARETO(1.0, 3.0)", 'p', {1.0, 3.0}},
      {"LOGNORMAL(2.0, 0.5)", 'L', {2.0, 0.5}},
      {"WEIBULL(2.0, 1.5)", 'W', {2.0, 1.5}},
      // The common builder keeps D's lists in list order, pairs together.
      {"DISC(1.0, 2.0)(0.25, 0.75)", 'D', {2.0, 2.0, 1.0, 0.75, 0.25}},
      {"HEXP(0.3, 1.0, 0.7, 5.0)", 'H', {4.0, 0.3, 1.0, 0.7, 5.0}},
      {"ONOFF(1.0, 2.0, 3.0)", 'O', {1.0, 2.0, 3.0}},
  };
  for (const Case& c : cases) {
    auto g = graph(task("a", c.text));
    ASSERT_TRUE(g) << c.text;
    const auto& law = *g->T[0].Task_Law;
    EXPECT_EQ(law.Name, c.letter) << c.text;
    EXPECT_EQ(law.Parameters, c.params) << c.text;
  }
}

TEST(TglReader, IppHoldsItsRateAndTwoSubLaws) {
  auto g = graph(task("a", "IPP(0.5, EXP(1.0), CST(2.0))"));
  ASSERT_TRUE(g);
  const auto& law = *g->T[0].Task_Law;
  EXPECT_EQ(law.Name, 'P');
  EXPECT_EQ(law.Parameters, std::vector<double>{0.5});
  ASSERT_EQ(law.Law_Parameters.size(), 2u);
  // Sub-law 0 is the last one written.
  EXPECT_EQ(law.Law_Parameters[0]->Name, 'C');
  EXPECT_EQ(law.Law_Parameters[1]->Name, 'E');
}

// The lists of laws nested in an IPP and of the laws around it share one
// array of values while they are read: each law gets its own.
TEST(TglReader, NestedLawsKeepTheirOwnValues) {
  auto g = graph(task("a", "IPP(0.5, DISC(1.0, 2.0)(0.25, 0.75), IPP(0.1, ERL(2, 3.0), HEXP(0.3, "
                           "1.0, 0.7, 5.0)))") +
                 task("b", "UNIF(1, 2.0)") + data("l", "a", "b", "ERL(4, 1.5)"));
  ASSERT_TRUE(g);
  const auto& ipp = *g->T[0].Task_Law;
  EXPECT_EQ(ipp.Parameters, std::vector<double>{0.5});
  ASSERT_EQ(ipp.Law_Parameters.size(), 2u);
  const auto& inner = *ipp.Law_Parameters[0];
  EXPECT_EQ(inner.Name, 'P');
  EXPECT_EQ(inner.Parameters, std::vector<double>{0.1});
  ASSERT_EQ(inner.Law_Parameters.size(), 2u);
  EXPECT_EQ(inner.Law_Parameters[0]->Parameters, (std::vector<double>{4.0, 0.3, 1.0, 0.7, 5.0}));
  EXPECT_EQ(inner.Law_Parameters[1]->Parameters, (std::vector<double>{2.0, 3.0}));
  EXPECT_EQ(ipp.Law_Parameters[1]->Parameters, (std::vector<double>{2.0, 2.0, 1.0, 0.75, 0.25}));
  EXPECT_EQ(g->T[1].Task_Law->Parameters, (std::vector<double>{1.0, 2.0}));
  EXPECT_EQ(g->T[0].Neighbors[0]->Link_Law->Parameters, (std::vector<double>{4.0, 1.5}));
}

// Names of up to 7 bytes are held apart from longer ones; names that share
// a beginning or differ in length only are different names.
TEST(TglReader, NamesOfEveryLengthAreTold) {
  const std::vector<std::string> names = {"abcdefg", "abcdefgh", "abcdef", "abcdefg1",
                                          "abcdefgh1", "a", "A", "a_much_longer_name_of_a_task"};
  std::string text;
  for (const std::string& n : names) text += task(n);
  for (size_t i = 0; i < names.size(); ++i)
    text += data("l" + names[i], names[i], names[(i + 1) % names.size()]);
  auto g = graph(text);
  ASSERT_TRUE(g);
  ASSERT_EQ(g->Size, static_cast<int>(names.size()));
  for (size_t i = 0; i < names.size(); ++i) {
    const auto& t = g->T[i];
    EXPECT_EQ(t.Task_Name, names[i]);
    ASSERT_EQ(t.Neighbors.size(), 1u) << names[i];
    EXPECT_EQ(t.Neighbors[0]->Link_Name, "l" + names[i]);
    EXPECT_EQ(t.Neighbors[0]->Task_To, static_cast<int>((i + 1) % names.size()));
  }
}

// Enough names for the table to grow many times, every one written again
// long after it was learnt.
TEST(TglReader, ManyNamesAreFoundAgain) {
  const int n = 5000;
  std::string text;
  auto name = [](int i) { return (i % 2 ? "t" : "task_number_") + std::to_string(i); };
  for (int i = n - 1; i >= 0; --i)
    text += data("l" + std::to_string(i), name(i), name((i * 7 + 1) % n));
  for (int i = 0; i < n; ++i) text += task(name(i));
  auto g = graph(text);
  ASSERT_TRUE(g);
  ASSERT_EQ(g->Size, n);
  int links = 0;
  for (const auto& t : g->T) {
    for (const auto& l : t.Neighbors) {
      const int i = std::stoi(l->Link_Name.substr(1));
      EXPECT_EQ(g->T[l->Task_From].Task_Name, name(i));
      EXPECT_EQ(g->T[l->Task_To].Task_Name, name((i * 7 + 1) % n));
      ++links;
    }
  }
  EXPECT_EQ(links, n);
}

// Syntax errors: the message names the token and the line, and nothing is
// returned.
TEST(TglReader, SyntaxErrors) {
  struct Case {
    std::string text;
    std::string out;
  } cases[] = {
      // Only the first real of a list may be an integer.
      {task("a", "UNIF(1, 2)"), "---parse error---[2] at line 1\n"},
      // ERL wants a whole number of stages.
      {task("a", "ERL(3.0, 6.0)"), "---parse error---[3.0] at line 1\n"},
      // The IPP rate is a real.
      {task("a", "IPP(1, EXP(1.0), EXP(2.0))"), "---parse error---[1] at line 1\n"},
      // Keywords are upper case only.
      {"Task a DURATION CST(1.0) END\n", "---parse error---[Task] at line 1\n"},
      // There are no signs, and a real needs digits before its point.
      {task("a", "CST(-1.0)"), "Illegal caracter: -\n---parse error---[-] at line 1\n"},
      {task("a", "CST(.5)"), "Illegal caracter: .\n---parse error---[.] at line 1\n"},
      // A comment ends before its newline, which is still counted.
      {task("a") + "# note\nTASK b END\n", "---parse error---[END] at line 3\n"},
      {task("a") + "TASK b DURATION CST(1.0) # note\nEND END\n",
       "---parse error---[END] at line 3\n"},
      // An empty text has no object.
      {"", "---parse error---[] at line 1\n"},
      {"# only a comment\n", "---parse error---[] at line 2\n"},
      // A PROGRAM link has a depth, not a law.
      {task("a") + "LINK l TYPE PROGRAM IS NECESSARY FROM a TO a DURATION CST(1.0) END\n",
       "---parse error---[DURATION] at line 2\n"},
  };
  for (const Case& c : cases) {
    auto r = read_text(c.text);
    EXPECT_FALSE(r.g) << c.text;
    EXPECT_EQ(r.out, c.out) << c.text;
    EXPECT_EQ(r.err, "") << c.text;
  }
}

// A "#" with no newline after it is no comment: the "#" is illegal and the
// rest of the line is read as words.
TEST(TglReader, HashAtTheVeryEnd) {
  auto r = read_text(task("a") + "#END");
  EXPECT_FALSE(r.g);
  EXPECT_EQ(r.out, "Illegal caracter: #\n---parse error---[END] at line 2\n");
  auto ok = read_text(task("a") + "#");
  EXPECT_TRUE(ok.g);
  EXPECT_EQ(ok.out, "Illegal caracter: #\n");
}

TEST(TglReader, CarriageReturnsAreReportedAndSkipped) {
  auto r = read_text("TASK a DURATION CST(1.0) END\r\nTASK b DURATION CST(1.0) END\r\n");
  ASSERT_TRUE(r.g);
  EXPECT_EQ(r.g->Size, 2);
  // Named, since the byte itself would not show, and the cause said once.
  EXPECT_EQ(r.out,
            "Illegal caracter: \\r\n"
            "The file has DOS line endings (a carriage return before each newline).\n"
            "Illegal caracter: \\r\n");
}

// Laws nested deeper than the parser stack holds are refused, not recursed
// into until the C stack ends.
TEST(TglReader, DeeplyNestedIppIsRefused) {
  std::string law;
  for (int i = 0; i < 3000; ++i) law += "IPP(1.0, ";
  law += "EXP(1.0)";
  for (int i = 0; i < 3000; ++i) law += ", EXP(1.0))";
  auto r = read_text(task("a", law));
  EXPECT_FALSE(r.g);
  EXPECT_EQ(r.out, "---parser stack overflow---[IPP] at line 1\n");
  std::string ok;
  for (int i = 0; i < 100; ++i) ok += "IPP(1.0, ";
  ok += "EXP(1.0)";
  for (int i = 0; i < 100; ++i) ok += ", EXP(1.0))";
  EXPECT_TRUE(read_text(task("a", ok)).g);
}

// Links to tasks that are never declared, and names declared twice, are
// refused instead of leaving empty tasks or writing outside the graph.
TEST(TglReader, UndeclaredAndDuplicateTasksAreRefused) {
  struct Case {
    std::string text;
    std::string err;
  } cases[] = {
      // ghost takes number 1, so b (number 2) is beyond the size.
      {task("a") + data("l", "a", "ghost") + task("b"),
       "Task number > Size. Task '2' ignored.\n"
       "Error: task ghost of link l is not declared.\n"
       "Error: task graph refused.\n"},
      // ghost takes the last number: the size is not reached.
      {task("a") + task("b") + data("l", "ghost", "a") + data("m", "b", "ghost"),
       "Error: task ghost of link l is not declared.\n"
       "Error: task graph refused.\n"},
      {task("a") + task("b") + task("a") + data("l", "a", "b"),
       "Error: task a declared twice.\n"
       "Error: task graph refused.\n"},
      // Only links: nothing is declared at all.
      {program("p", "a", "b", 1),
       "Error: task a of link p is not declared.\n"
       "Error: task b of link p is not declared.\n"
       "Error: task graph refused.\n"},
  };
  for (const Case& c : cases) {
    auto r = read_text(c.text);
    EXPECT_FALSE(r.g) << c.text;
    EXPECT_EQ(r.out, "") << c.text;
    EXPECT_EQ(r.err, c.err) << c.text;
  }
}

// Each read numbers its names afresh.
TEST(TglReader, ASecondReadStartsFromZero) {
  auto first = graph(task("a") + task("b"));
  auto second = graph(task("c") + task("d"));
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->T[0].Task_Name, "c");
  EXPECT_EQ(second->T[1].Task_Name, "d");
  auto r = read_text(task("e") + "TASK f DURATION\n\nCST(1.0) ENDX\n");
  EXPECT_EQ(r.out, "---parse error---[ENDX] at line 4\n");
}

// The trace: names as they are learnt, objects as they are recognised,
// then the links as stored; a refused graph still shows them.
TEST(TglReader, TraceOfTheReader) {
  orv::tg::Parse_Debug = 1;
  auto r = read_text(data("l", "b", "a") + task("a") + program("m", "a", "b", 2) +
                     data("l", "a", "b"));
  orv::tg::Parse_Debug = 0;
  EXPECT_FALSE(r.g);  // b is never declared
  EXPECT_EQ(r.out,
            "Learning about task #0 (b)\n"
            "Learning about task #1 (a)\n"
            "Learning about link #0 (l)\n"
            "Link l recognized\n"
            "- a is task number 1\n"
            "Task a recognized\n"
            "- a is task number 1\n"
            "- b is task number 0\n"
            "Learning about link #1 (m)\n"
            "Link m recognized\n"
            "- a is task number 1\n"
            "- b is task number 0\n"
            "Link l recognized\n"
            "Link number 0 name=l from 0 to 1\n"
            "Link number 1 name=m from 1 to 0\n"
            "Link number 0 name=l from 1 to 0\n");
  EXPECT_EQ(r.err,
            "Task number > Size. Task '1' ignored.\n"
            "Error: task b of link l is not declared.\n"
            "Error: task graph refused.\n");
}

TEST(TglReader, UnreadableFiles) {
  EXPECT_FALSE(orv::tg::Read_Network(std::string("/nonexistent/graph.tgl")));
  EXPECT_FALSE(orv::tg::Read_Network(std::string("/")));
}

TEST(TglSample, GeoshiftCountsFromOne) {
  orv::LAW_DESC g;
  g.Name = 'G';
  g.Parameters = {0.5};
  orv::LAW_DESC g0;
  g0.Name = 'g';
  g0.Parameters = {0.5};
  for (int i = 0; i < 50; ++i) {
    srandom(static_cast<unsigned>(i + 1));
    const double shifted = orv::tg::Sample(g);
    srandom(static_cast<unsigned>(i + 1));
    const double plain = orv::tg::Sample(g0);
    EXPECT_EQ(shifted, plain + 1.0);
    EXPECT_GE(shifted, 1.0);
  }
  orv::LAW_DESC c;
  c.Name = 'C';
  c.Parameters = {4.25};
  EXPECT_EQ(orv::tg::Sample(c), 4.25);
}

}  // namespace
