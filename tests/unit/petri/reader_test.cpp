// What the dump cannot show: fields of the built net, list orders, the start
// rule's effect on the run length, line counting, and robustness on
// arbitrary input.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>

#include "common/address_write.h"
#include "petri/pnl_reader.h"

using namespace orv::pn;

namespace {

NetPtr read(const std::string& text) { return Read_Network_Buffer(text, "test.pnl"); }

std::string address_text(const ADDRESS* a) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  orv::Write_Address(f, a);
  std::fclose(f);
  std::string s(buf, len);
  std::free(buf);
  return s;
}

// A scratch directory made current for the test, for submodel files.
class InDir {
 public:
  InDir() : old_(std::filesystem::current_path()) {
    dir_ = std::filesystem::temp_directory_path() /
           ("pnl_unit_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }
  ~InDir() {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
  }
  void write(const std::string& name, const std::string& text) { std::ofstream(dir_ / name) << text; }

 private:
  static inline int counter_ = 0;
  std::filesystem::path old_, dir_;
};

const char* kHead = "Transitions <- 2\nPlaces <- 2\n";

}  // namespace

TEST(PnlReader, FieldsOfASimpleNet) {
  auto net = read(std::string(kHead) +
                  "T 1 \"a\" \"da\" E 1.5 , 1 2 \"w\" , 2 ;\n"
                  "T 2 C 2.0 , 1 ;\n"
                  "P 1 \"p\" C 0.0 2 0.5 1.5 , 1 3 I , T 2 ;\n"
                  "P 2 C 0.0 0 , 2 ;\n");
  ASSERT_TRUE(net);
  EXPECT_EQ(net->Nb_Trans, 2);
  EXPECT_EQ(net->Nb_Places, 2);
  EXPECT_EQ(net->File_Name, "test.pnl");
  EXPECT_EQ(net->T[0].Tr_Id, 0);
  EXPECT_EQ(net->T[1].Tr_Id, 1);
  EXPECT_EQ(net->P[1].Pl_Id, 1);
  EXPECT_EQ(net->T[0].Name, "a");
  EXPECT_EQ(net->T[0].Data, "da");
  EXPECT_EQ(net->T[0].Tr_Law->Name, 'E');
  // Arcs in list order: the last written first.
  ASSERT_EQ(net->T[0].Outputs.size(), 2u);
  EXPECT_EQ(net->T[0].Outputs[0].Dest, 1);
  EXPECT_EQ(net->T[0].Outputs[1].Dest, 0);
  EXPECT_EQ(net->T[0].Outputs[1].Weight, 2);
  EXPECT_EQ(net->T[0].Outputs[1].Data, "w");
  EXPECT_EQ(net->T[0].Outputs[1].Link_Type, 0);
  EXPECT_EQ(net->P[0].Outputs[0].Link_Type, 1);
  EXPECT_EQ(net->T[0].Outdegree, 2);
  // Lags in list order too.
  ASSERT_EQ(net->P[0].Lag_Times.size(), 2u);
  EXPECT_DOUBLE_EQ(net->P[0].Lag_Times[0], 1.5);
  EXPECT_DOUBLE_EQ(net->P[0].Lag_Times[1], 0.5);
  EXPECT_EQ(net->Max_Pop_Init, 2);
  // Only place-to-transition arcs set the flags and carry the inhibitor mark.
  EXPECT_EQ(net->Has_Weights, 1);
  EXPECT_EQ(net->Has_Inhibitors, 1);
  ASSERT_EQ(net->T[0].Inputs.size(), 1u);
  EXPECT_EQ(net->T[0].Inputs[0].Dest, 0);
  EXPECT_EQ(net->T[0].Inputs[0].Weight, 3);
  EXPECT_EQ(net->T[0].Inputs[0].Is_Inhibitor, 1);
  EXPECT_EQ(net->T[0].Indegree, 1);
  // P 1 is fed by T 2 then by T 1 (inverted in number order, prepended).
  ASSERT_EQ(net->P[0].Inputs.size(), 2u);
  EXPECT_EQ(net->P[0].Inputs[0].Dest, 1);
  EXPECT_EQ(net->P[0].Inputs[1].Dest, 0);
  EXPECT_EQ(net->P[0].Inputs[1].Weight, 2);
  EXPECT_EQ(net->P[0].Inputs[1].Data, "w");
  EXPECT_EQ(net->P[1].Inputs[0].Is_Inhibitor, 0);
}

TEST(PnlReader, RunLengthReachesTheNetOnlyUnderTheTaggedStart) {
  std::string body = "T 1 C 1.0 , 1 ;\nT 2 C 1.0 , 2 ;\nP 1 C 0.0 0 , 1 ;\nP 2 C 0.0 0 , 2 ;\n";
  auto tagged = read(std::string(kHead) + "Length <- 7\n[3] " + body);
  auto plain = read(std::string(kHead) + "Duree <- 7\n" + body);
  ASSERT_TRUE(tagged);
  ASSERT_TRUE(plain);
  EXPECT_EQ(tagged->Sim_Params->Nb_Firings, 7);
  EXPECT_EQ(plain->Sim_Params->Nb_Firings, 0);
  EXPECT_EQ(tagged->T[0].Tag, 0);  // tags are read and dropped
}

TEST(PnlReader, RoutingOrders) {
  auto net = read("Transitions <- 3\nPlaces <- 2\n"
                  "T 1 C 1.0 , 1 ;\nT 2 C 1.0 , 1 ;\nT 3 C 1.0 , 2 ;\n"
                  "P 1 C 0.0 0 Random [ 0.2 0.8 ] , 1 , 2 ;\n"
                  "P 2 C 0.0 0 Cyclic [ 3 T 1 3 T 2 ] , 1 , 2 , 3 ;\n");
  ASSERT_TRUE(net);
  const ROUTING& r = *net->P[0].Routing;
  EXPECT_EQ(r.Type, 'R');
  ASSERT_EQ(r.Probas.size(), 2u);
  EXPECT_DOUBLE_EQ(r.Probas[0], 0.8);  // belongs to Outputs[0], the arc to T 2
  EXPECT_EQ(net->P[0].Outputs[0].Dest, 1);
  const ROUTING& c = *net->P[1].Routing;
  EXPECT_EQ(c.Type, 'D');
  ASSERT_EQ(c.Period, 4);
  // The cycle reads as written, bare numbers turned into transitions.
  const int want[] = {2, 0, 2, 1};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(c.Cycle[static_cast<size_t>(k)]->Type, 'T');
    EXPECT_EQ(c.Cycle[static_cast<size_t>(k)]->Number, want[k]);
  }
}

TEST(PnlReader, ErlangAndDiscreteAndIppLaws) {
  auto net = read("Transitions <- 3\nPlaces <- 1\n"
                  "T 1 R 3 2.0 , 1 ;\nT 2 D [ 1.0 2.0 ] [ 0.5 0.5 ] , 1 ;\n"
                  "T 3 IPP [ 0.5 , E 1.0 , C 2.0 ] , 1 ;\nP 1 C 0.0 0 , 1 ;\n");
  ASSERT_TRUE(net);
  EXPECT_EQ(net->T[0].Tr_Law->Name, 'R');
  EXPECT_EQ(net->T[1].Tr_Law->Name, 'D');
  EXPECT_EQ(net->T[2].Tr_Law->Name, 'P');
  EXPECT_EQ(net->T[2].Tr_Law->Law_Parameters.size(), 2u);
}

// Reals are read bit for bit as strtod reads them, including where the fast
// conversion gives way to it (subnormals, underflow), and integers saturate.
TEST(PnlReader, NumbersReadAsWritten) {
  const std::string reals[] = {
      "0.1", "1.", "0.30000000000000004", "3.14159265358979323846264338327950288",
      "123456789012345678901234567890.5", "9007199254740993.0",
      "0." + std::string(310, '0') + "5",   // subnormal
      "0." + std::string(400, '0') + "1",   // below the subnormals: 0
      "17976931348623157" + std::string(292, '0') + ".0",  // the largest double
  };
  for (const std::string& r : reals) {
    auto net = read("Transitions <- 1\nPlaces <- 1\nT 1 C " + r + " , 1 ;\nP 1 C 0.0 0 , 1 ;\n");
    ASSERT_TRUE(net) << r;
    const double want = std::strtod(r.c_str(), nullptr);
    const double got = net->T[0].Tr_Law->Parameters[0];
    EXPECT_EQ(std::memcmp(&want, &got, sizeof want), 0) << r;
  }
  const std::pair<std::string, double> stages[] = {
      {"0000000000000000000003", 3.0}, {"2147483647", 2147483647.0},
      {"2147483648", 2147483647.0}, {"99999999999999999999999", 2147483647.0}};
  for (const auto& [text, want] : stages) {
    auto net = read("Transitions <- 1\nPlaces <- 1\nT 1 R " + text +
                    " 1.0 , 1 ;\nP 1 C 0.0 0 , 1 ;\n");
    ASSERT_TRUE(net) << text;
    EXPECT_EQ(net->T[0].Tr_Law->Parameters[0], want) << text;
  }
}

// Nested IPP laws deeper than the parser's stack allows are refused with the
// stack-overflow report instead of exhausting the C stack later.
TEST(PnlReader, LawNestingIsBounded) {
  auto nested = [](int depth) {
    std::string law;
    for (int i = 0; i < depth; ++i) law += "IPP [ 0.5 , E 2.0 , ";
    law += "E 1.0";
    for (int i = 0; i < depth; ++i) law += " ]";
    return "Transitions <- 1\nPlaces <- 1\nT 1 " + law + " , 1 ;\nP 1 C 0.0 0 , 1 ;\n";
  };
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  NetPtr deepest = read(nested(Max_Law_Nesting));
  NetPtr too_deep = read(nested(Max_Law_Nesting + 1));
  // Side by side, the counter must not leak from one IPP to the next.
  std::string wide = "Transitions <- 1\nPlaces <- 1\nT 1 IPP [ 0.5 , " ;
  for (int i = 0; i < Max_Law_Nesting + 10; ++i) wide += "IPP [ 0.5 , E 1.0 , E 1.0 ] , ";
  wide += "E 1.0 ] , 1 ;\nP 1 C 0.0 0 , 1 ;\n";
  NetPtr side_by_side = read(wide);
  testing::internal::GetCapturedStderr();
  std::string out = testing::internal::GetCapturedStdout();
  ASSERT_TRUE(deepest);
  EXPECT_EQ(deepest->T[0].Tr_Law->Name, 'P');
  EXPECT_FALSE(too_deep);
  EXPECT_NE(out.find("---parser stack overflow---[IPP] at line 3\n"), std::string::npos);
  EXPECT_TRUE(side_by_side);
}

TEST(PnlReader, RefusalsLeaveNoNet) {
  const char* bad[] = {
      "Transitions <- 1\nPlaces <- 1\nT 1 C 1.0 , 2 ;\nP 1 C 0.0 0 , 1 ;\n",  // arc to no place
      "Transitions <- 1\nPlaces <- 1\nT 1 C 1.0 , P 1 ;\nP 1 C 0.0 0 , P 1 ;\n",      // wrong kind
      "Transitions <- 1\nPlaces <- 1\nT 1 C 1.0 , T 1 ;\nP 1 C 0.0 0 , 1 ;\n",  // the same
      "Transitions <- 2\nPlaces <- 1\nT 1 C 1.0 , 1 ;\nP 1 C 0.0 0 , 1 ;\n",   // T 2 missing
      "Transitions <- 1\nPlaces <- 1\nT 1 C 1.0 , 1 ;\nP 1 C 0.0 0 , 1 ;\nP 1 C 0.0 0 - 1 ;\n",
      "Transitions <- 1\nPlaces <- 1\nT 1 C 1.0 , 1 ;\n",                       // P 1 missing
      "",
  };
  for (const char* text : bad) EXPECT_FALSE(read(text)) << text;
}

TEST(PnlReader, SubmodelsExportsAndExpandedBindings) {
  InDir dir;
  dir.write("inner.pnl",
            "Transitions <- 1\nPlaces <- 1\nT 1 E 1.0 ;\nP 1 C 0.0 0 , 1 ;\n"
            "Export\nIN 1 IS P 1 ;\nOUT 1 IS T 1 ;\n");
  dir.write("mid.pnl",
            "Transitions <- 1\nPlaces <- 1\nSubmodel 4 FILE \"inner.pnl\" ;\n"
            "T 1 C 0.0 ;\nP 1 C 0.0 0 , 1 ;\n"
            "Export\nIN 1 IS S 4 / IN 1 ;\nOUT 1 IS T 1 ;\n");
  auto net = read("Transitions <- 1\nPlaces <- 1\n"
                  "Submodel 1 \"m\" FILE \"mid.pnl\" ;\nSubmodel 2 FILE \"inner.pnl\" ;\n"
                  "T 1 C 1.0 , S 1 / IN 1 2 \"x\" ;\nP 1 C 0.0 0 , 1 ;\n"
                  "S 2 / OUT 1 , 1 , 1 ;\n");
  ASSERT_TRUE(net);
  ASSERT_EQ(net->Nb_Submodels, 2);
  // Submodels in list order: the last declared first.
  EXPECT_EQ(net->S[0].Subm_Id, 2);
  EXPECT_EQ(net->S[1].Subm_Id, 1);
  EXPECT_EQ(net->S[1].Name, "m");
  EXPECT_EQ(net->S[1].Father, net.get());
  EXPECT_EQ(net->S[1].Submodel->File_Name, "mid.pnl");
  EXPECT_EQ(net->S[1].Submodel->Nb_Inputs, 1);
  // The arc to the port left Outputs for the bindings.
  EXPECT_TRUE(net->T[0].Outputs.empty());
  EXPECT_EQ(net->T[0].Outdegree, 1);
  ASSERT_EQ(net->Binding_Table.size(), 3u);
  const BINDING& arc = net->Binding_Table[0];
  EXPECT_EQ(address_text(arc.From.get()), "T1");
  EXPECT_EQ(address_text(arc.To.get()), "S1/S4/P1");  // expanded through two levels
  ASSERT_TRUE(arc.Link);
  EXPECT_EQ(arc.Link->Weight, 2);
  EXPECT_EQ(arc.Link->Data, "x");
  // One binding statement with two arcs: each binding has its own port copy.
  const BINDING& b1 = net->Binding_Table[1];
  const BINDING& b2 = net->Binding_Table[2];
  EXPECT_EQ(address_text(b1.From.get()), "S2/T1");
  EXPECT_EQ(address_text(b1.To.get()), "P1");
  EXPECT_NE(b1.From->Next.get(), b2.From->Next.get());
}

// A cyclic or priority routing may name a submodel's transition only when
// the place feeds it through a port; each such arc must be listed, as a
// local output must. Otherwise flattening would route tokens to an object
// the place is not joined to.
TEST(PnlReader, RoutingEntriesThroughPortsMatchThePlacesArcs) {
  InDir dir;
  dir.write("a.pnl",
            "Transitions <- 2\nPlaces <- 1\nT 1 C 1.0 , 1 ;\nT 2 C 1.0 , 1 ;\nP 1 C 0.0 0 , 1 ;\n"
            "Export\nIN 1 IS T 1 ;\nIN 2 IS T 2 ;\nIN 3 IS P 1 ;\n");
  struct Case {
    const char* place;  // routing and arcs of the top net's place
    const char* out;    // what the reader prints; null when the net reads
  } cases[] = {
      {"Cyclic [ T 1 S 9 / IN 1 T 2 ] , 1 , S 9 / IN 1 , 2", nullptr},
      {"Competition Priority [ S 9 / IN 2 T 1 S 9 / IN 1 T 2 ] , 1 , S 9 / IN 1 , 2 , S 9 / IN 2",
       nullptr},
      {"Cyclic [ T 1 S 9 / IN 1 S 9 / IN 1 T 2 ] , 1 , S 9 / IN 1 , 2", nullptr},
      // The place has no arc to the port.
      {"Cyclic [ T 1 S 9 / IN 1 T 2 ] , 1 , 2",
       "PN parse: Inconsistency detected in routing of place 0 \n"},
      // An arc through a port that the routing leaves out.
      {"Cyclic [ T 1 T 2 T 1 ] , 1 , S 9 / IN 1 , 2",
       "PN parse: Inconsistency detected in routing of place 0 \n"},
      // Another port of the same submodel than the arc's.
      {"Cyclic [ T 1 S 9 / IN 2 T 2 ] , 1 , S 9 / IN 1 , 2",
       "PN parse: Inconsistency detected in routing of place 0 \n"},
      // A port that leads to a place.
      {"Cyclic [ T 1 S 9 / IN 3 T 2 ] , 1 , 2",
       "PN parse: Inconsistency detected in routing of place 0 \n"},
      // One port listed for two arcs to it in a priority order.
      {"Competition Priority [ T 1 S 9 / IN 1 T 2 ] , 1 , S 9 / IN 1 , 2 , S 9 / IN 1",
       "PN parse: Inconsistency detected in routing of place 0 \n"},
      {"Cyclic [ T 1 S 8 / IN 1 T 2 ] , 1 , 2",
       "PN parse: error: illegal submodel number (8) found in file test.pnl.\n"
       "PN parse: Inconsistency detected in routing of place 0 \n"},
      {"Cyclic [ T 1 S 9 / IN 4 T 2 ] , 1 , 2",
       "PN parse: error: illegal input number (4) found in file a.pnl.\n"
       "PN parse: Inconsistency detected in routing of place 0 \n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.place);
    testing::internal::CaptureStdout();
    NetPtr net = read(std::string("Transitions <- 2\nPlaces <- 1\nSubmodel 9 FILE \"a.pnl\" ;\n"
                                  "T 1 C 1.0 ;\nT 2 C 1.0 ;\nP 1 C 0.0 1 0.0 ") +
                      c.place + " ;\n");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, c.out ? c.out : "");
    EXPECT_EQ(net != nullptr, c.out == nullptr);
  }
}

// After the syntax error's line, one line says what would have been read
// there; a real list the parser had closed counts as well.
TEST(PnlReader, SyntaxErrorSaysWhatWasExpected) {
  struct Case {
    const char* items;  // after the two size lines
    const char* out;
  } cases[] = {
      {"T 1 E 2 ;\n",
       "---parse error---[2] at line 3\nExpected here: a real number such as 2.0, \",\" or \";\".\n"},
      {"T 1 R 2 3 ;\n",
       "---parse error---[3] at line 3\nExpected here: a real number such as 3.0, \",\" or \";\".\n"},
      {"T 1 C 1.0 ;\nP 1 C 0.0 2 0.5 1 ;\n",
       "---parse error---[1] at line 4\nExpected here: a real number such as 1.0, \",\" or \";\".\n"},
      {"T 1 C 1.0 ;\nP 1 C 0.0 1 Cyclik [ 1 ] ;\n",
       "---parse error---[C] at line 4\nExpected here: a real number such as 1.0, \"Random\", "
       "\"Cyclic\", \"Competition\", \",\" or \";\".\n"},
      {"T 1 ;\n",
       "---parse error---[;] at line 3\nExpected here: a law such as \"C 1.0\" or a string in "
       "double quotes.\n"},
      {"T 1 C 1.0 , 1 ;\nP 1 C 0.0 0 ,\n",
       "---parse error---[] at line 5\nExpected here: \"T\", \"P\", \"S\" or a whole number "
       "such as 2.\n"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    NetPtr net = read(std::string(kHead) + c.items);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out) << c.items;
    EXPECT_FALSE(net);
  }
  testing::internal::CaptureStdout();
  EXPECT_FALSE(read("Transitons <- 1\nPlaces <- 1\n"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "---parse error---[T] at line 1\nExpected here: \"Transitions\".\n");
}

TEST(PnlReader, LineNumbersCountPerFile) {
  InDir dir;
  dir.write("broken.pnl", "Transitions <- 1\nPlaces <- 1\nT 1 C 1.0 ,, 1 ;\n");
  std::string top = "# a\n# b\n# c\n# d\nTransitions <- 1\nPlaces <- 1\n"
                    "Submodel 1 FILE \"broken.pnl\" ;\nT 1 C 1.0 , 1 ;\nP 1 C 0.0 0 , 1 ;\n";
  dir.write("top.pnl", top);
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  auto net = Read_Network("top.pnl");
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_FALSE(net);
  EXPECT_NE(out.find("---parse error---[,] at line 3\n"), std::string::npos) << out;
  EXPECT_NE(out.find("PN parse: fatal error: Could not get submodel in file broken.pnl.\n"),
            std::string::npos);
}

TEST(PnlReader, MutatedInputsNeverCrash) {
  const std::string flat =
      "Transitions <- 2\nPlaces <- 2\n"
      "T 1 \"a\" E 1.0 , 1 2 \"d\" , 2 ;\nT 2 IPP [ 0.5 , E 1.0 , C 2.0 ] , 2 ;\n"
      "P 1 C 0.0 2 [ 0.5 REP 2 ] Cyclic [ 1 2 ] , 1 , 2 I ;\n"
      "P 2 \"q\" U 0.0 1.0 1 Competition Priority [ T 2 ] , 2 ;\n"
      "Export\nIN 1 IS P 1 ;\nOUT 1 IS T 2 ;\n";
  const std::string nested =
      "Transitions <- 1\nPlaces <- 1\nSubmodel 1 FILE \"nofile.pnl\" ;\n"
      "T 1 E 1.0 , 1 , S 1 / IN 1 ;\nP 1 C 0.0 0 , 1 ;\nS 1 / OUT 1 , 1 ;\n";
  const std::string alphabet = "TPSI0123456789.,;[]/<-\"# \nECRDUgp";
  std::mt19937 gen(12345);
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  ASSERT_TRUE(read(flat));
  for (int round = 0; round < 600; ++round) {
    std::string text = round % 4 == 3 ? nested : flat;
    int edits = 1 + static_cast<int>(gen() % 6);
    for (int e = 0; e < edits; ++e) {
      size_t at = gen() % (text.size() + 1);
      switch (gen() % 3) {
        case 0: if (at < text.size()) text.erase(at, 1); break;
        case 1: text.insert(at, 1, alphabet[gen() % alphabet.size()]); break;
        default: if (at < text.size()) text[at] = alphabet[gen() % alphabet.size()]; break;
      }
    }
    NetPtr net = read(text);
    if (net) {
      for (const auto& t : net->T) EXPECT_TRUE(t.Tr_Law);
      for (const auto& p : net->P) EXPECT_TRUE(p.Pl_Law);
    }
  }
  testing::internal::GetCapturedStderr();
  testing::internal::GetCapturedStdout();
}

TEST(PnlReader, ReadFailureIsReportedNotFatal) {
  FILE* dir = std::fopen("/", "r");
  ASSERT_NE(dir, nullptr);
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  NetPtr net = Read_Network_Stream(dir, "/");
  std::string out = testing::internal::GetCapturedStdout();
  std::fclose(dir);
  EXPECT_FALSE(net);
  EXPECT_NE(out.find("PN parse: error: "), std::string::npos) << out;
}

// A scanner fed from a stream rescanned a long token at every refill: a
// 10 MiB comment took most of a minute. Read from a file, it must cost what
// the text in memory costs.
TEST(PnlReader, ALongCommentInAFileReadsInLinearTime) {
  InDir dir;
  {
    std::ofstream f("long.pnl");
    f << "# " << std::string(8 << 20, 'x') << "\nTransitions <- 1\nPlaces <- 1\n"
      << "T 1 C 1.0 , 1 ;\nP 1 C 0.0 1 , 1 ;\n";
  }
  const auto start = std::chrono::steady_clock::now();
  NetPtr net = Read_Network("long.pnl");
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_TRUE(net);
  EXPECT_EQ(net->Nb_Trans, 1);
  EXPECT_LT(seconds, 20.0);
}

// Submodel files naming the next one: a long chain once overflowed the stack,
// and files naming the next one twice grew without bound. Both are refused
// with a message; a chain within the bound still reads.
TEST(PnlReader, SubmodelNestingAndInstancesAreBounded) {
  InDir dir;
  auto level = [](int i, int last, int copies) {
    std::string text = "Transitions <- 1\nPlaces <- 1\n";
    if (i < last)
      for (int c = 1; c <= copies; ++c)
        text += "Submodel " + std::to_string(c) + " FILE \"f" + std::to_string(i + 1) +
                ".pnl\" ;\n";
    return text + "T 1 C 0.0 ;\nP 1 C 0.0 0 , 1 ;\n";
  };
  struct Case {
    int files, copies;
    long max_instances;
    const char* message;  // null: the net reads
  } cases[] = {
      {20, 1, 100000, nullptr},
      {150, 1, 100000, "PN parse: error: submodel files nested deeper than 100 levels (f101.pnl).\n"},
      {12, 2, 1000, "PN parse: error: more than 1000 submodel instances (f"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.files);
    for (int i = 0; i < c.files; ++i)
      dir.write("f" + std::to_string(i) + ".pnl", level(i, c.files - 1, c.copies));
    Max_Submodel_Instances = c.max_instances;
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    NetPtr net = Read_Network("f0.pnl");
    std::string out = testing::internal::GetCapturedStdout();
    Max_Submodel_Instances = 100000;
    if (c.message == nullptr) {
      EXPECT_TRUE(net) << out;
    } else {
      EXPECT_FALSE(net);
      EXPECT_NE(out.find(c.message), std::string::npos) << out.substr(0, 400);
    }
  }
}

// A small text must not claim gigabytes: tokens (each carries a lag) and
// "REP" values are bounded over the whole read, not only per place; a
// diamond of submodel files multiplies its leaf's objects past the
// instance bound; a device such as /dev/zero never ends. Each bound stops
// the read at once, with one message, whatever is nested around it.
TEST(PnlReader, WholeReadIsBounded) {
  InDir dir;
  auto repeat = [](const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
  };
  // Each level names the next one twice: 2^levels leaf instances.
  auto diamond = [&](int levels, int leaf_places) {
    for (int i = 0; i < levels; ++i)
      dir.write("d" + std::to_string(i) + ".pnl",
                "Transitions <- 1\nPlaces <- 1\nSubmodel 1 FILE \"d" + std::to_string(i + 1) +
                    ".pnl\" ;\nSubmodel 2 FILE \"d" + std::to_string(i + 1) +
                    ".pnl\" ;\nT 1 C 0.0 ;\nP 1 C 0.0 0 , 1 ;\n");
    std::string leaf = "Transitions <- 1\nPlaces <- " + std::to_string(leaf_places) + "\nT 1 C 0.0 ;\n";
    for (int p = 1; p <= leaf_places; ++p) leaf += "P " + std::to_string(p) + " C 0.0 0 , 1 ;\n";
    dir.write("d" + std::to_string(levels) + ".pnl", leaf);
  };
  diamond(6, 50);  // 64 leaves of 101 objects, 126 inner nets of 3
  dir.write("zero.pnl", "Transitions <- 1\nPlaces <- 1\nSubmodel 1 \"x\" FILE \"/dev/zero\" ;\n"
                        "T 1 C 0.0 ;\nP 1 C 0.0 0 , 1 ;\n");
  struct Case {
    const char* name;
    std::string text;  // read from a file of that name, or the named file
    long* bound;
    long value;
    const char* message;  // null: reads
  } cases[] = {
      {"tokens.pnl", std::string(kHead) + "T 1 C 0.0 , 1 ;\nT 2 C 0.0 , 2 ;\n"
                         "P 1 C 0.0 600 , 1 ;\nP 2 C 0.0 600 , 2 ;\n",
       &Max_Read_Values, 1000,
       "PN parse: error: more than 1000 initial tokens and repeated values, submodels included "
       "(line 6 of file tokens.pnl); net not read.\n"},
      {"tokens_ok.pnl", std::string(kHead) + "T 1 C 0.0 , 1 ;\nT 2 C 0.0 , 2 ;\n"
                            "P 1 C 0.0 400 , 1 ;\nP 2 C 0.0 400 , 2 ;\n",
       &Max_Read_Values, 1000, nullptr},
      {"rep.pnl", std::string(kHead) + "T 1 C [ 1.0 REP 900 ] , 1 ;\nT 2 C [ 1.0 REP 900 ] , 2 ;\n"
                      "P 1 C 0.0 0 , 1 ;\nP 2 C 0.0 0 , 2 ;\n",
       &Max_Read_Values, 1000,
       "PN parse: error: more than 1000 initial tokens and repeated values, submodels included "
       "(line 4 of file rep.pnl); net not read.\n"},
      {"d0.pnl", "", &Max_Read_Objects, 5000,
       // 3 + 3325 (d1's first subtree) + 3 + 1661 + 3 + 3 + 3 passes 5000 at d4.
       "PN parse: error: more than 5000 transitions, places and arcs to build, submodels "
       "included (at file d4.pnl); net not read.\n"},
      {"d0.pnl", "", &Max_Read_Objects, 7000, nullptr},  // 6653 in all
      {"d0.pnl", "", &Max_Read_Bytes, 40000,
       "PN parse: error: more than 40000 bytes of model text to read, submodels included "
       "(at file d6.pnl); net not read.\n"},
      {"/dev/zero", "", &Max_Read_Bytes, 1 << 20,
       "PN parse: error: more than 1048576 bytes of model text to read, submodels included "
       "(at file /dev/zero); net not read.\n"},
      // Objects count as they are read: the bound is met before the syntax
      // error at the end of each file is reached.
      {"arcs.pnl", "Transitions <- 1\nPlaces <- 1\nP 1 C 0.0 0" + repeat(" , 1", 1200) +
                       " ;\nT 1 C 1 ;\n",
       &Max_Read_Objects, 1000,
       "PN parse: error: more than 1000 transitions, places and arcs to build, submodels "
       "included (at file arcs.pnl); net not read.\n"},
      {"items.pnl", "Transitions <- 1\nPlaces <- 1\n" + repeat("T 1 C 0.0 ;\n", 1200) + "T 1 C 1 ;\n",
       &Max_Read_Objects, 1000,
       "PN parse: error: more than 1000 transitions, places and arcs to build, submodels "
       "included (at file items.pnl); net not read.\n"},
      {"zero.pnl", "", &Max_Read_Bytes, 1 << 20,
       "PN parse: error: more than 1048576 bytes of model text to read, submodels included "
       "(at file /dev/zero); net not read.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.value));
    if (!c.text.empty()) dir.write(c.name, c.text);
    const long saved = *c.bound;
    *c.bound = c.value;
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    NetPtr net = Read_Network(c.name);
    std::string out = testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    *c.bound = saved;
    if (c.message == nullptr) {
      EXPECT_TRUE(net) << out;
      EXPECT_EQ(out, "");
    } else {
      EXPECT_FALSE(net);
      // The one message, and nothing else: not a line per enclosing file.
      EXPECT_EQ(out, c.message);
    }
  }
}

// A file that cannot be opened is named, with the cause, whether or not
// the trace is on.
TEST(PnlReader, MissingFileIsNamedWithItsCause) {
  InDir dir;
  struct Case {
    const char* path_env;  // null: PNL_PATH unset
    const char* second;
  } cases[] = {
      {nullptr, "PN parse: No such file or directory.\n"},
      {"a:b", "PN parse: No such file or directory, and not found along PNL_PATH.\n"},
  };
  for (const Case& c : cases) {
    if (c.path_env) setenv("PNL_PATH", c.path_env, 1);
    else unsetenv("PNL_PATH");
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    NetPtr net = Read_Network("absent.pnl");
    std::string out = testing::internal::GetCapturedStdout();
    unsetenv("PNL_PATH");
    EXPECT_FALSE(net);
    EXPECT_EQ(out, std::string("PN parse: error: could not open file absent.pnl for reading.\n") +
                       c.second);
  }
}
