// Flattening: offsets in pre-order, names, bindings turned into arcs on both
// sides, routings and exports renumbered, and the invariants of a flat net.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "petri/flatten.h"
#include "petri/pnl_reader.h"

using namespace orv::pn;

namespace {

class Files {
 public:
  Files() {
    dir_ = std::filesystem::temp_directory_path() /
           ("flatten_unit_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
    std::filesystem::create_directories(dir_);
  }
  ~Files() { std::filesystem::remove_all(dir_); }
  std::string write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name) << text;
    return (dir_ / name).string();
  }
  NetPtr read(const std::string& name) {
    testing::internal::CaptureStdout();
    NetPtr net = Read_Network((dir_ / name).string());
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(net) << name;
    return net;
  }

 private:
  static inline int counter_ = 0;
  std::filesystem::path dir_;
};

int dest_of_first_output(const TR_DES& t) { return t.Outputs.empty() ? -9 : t.Outputs.front().Dest; }

}  // namespace

// Top: 2 transitions, 3 places; A (1, 2) holding C (1, 1); B (2, 2).
TEST(Flatten, OffsetsSizesAndNames) {
  Files f;
  std::string c = f.write("c.pnl", "Transitions <- 1\nPlaces <- 1\nT 1 \"r\" C 1.0 , 1 ;\nP 1 \"q\" C 0.0 0 , 1 ;\n");
  std::string a = f.write("a.pnl", "Transitions <- 1\nPlaces <- 2\nSubmodel 1 \"c\" FILE \"" + c +
                                       "\" ;\nT 1 \"u\" C 1.0 , 1 ;\nP 1 C 0.0 0 , 1 ;\nP 2 \"q\" C 0.0 0 ;\n");
  std::string b = f.write("b.pnl", "Transitions <- 2\nPlaces <- 2\nT 1 C 1.0 , 2 ;\nT 2 \"v\" C 1.0 , 1 ;\n"
                                   "P 1 \"q\" C 0.0 0 , 1 ;\nP 2 C 0.0 0 , 2 ;\n");
  // B declared first: S lists A first, so A is numbered right after the top.
  f.write("top.pnl", "Transitions <- 2\nPlaces <- 3\nSubmodel 2 FILE \"" + b + "\" ;\nSubmodel 1 \"a\" FILE \"" +
                         a + "\" ;\nT 1 \"t\" C 1.0 , 1 ;\nT 2 C 1.0 ;\nP 1 \"p\" C 0.0 0 , 1 ;\nP 2 C 0.0 0 ;\n"
                         "P 3 C 0.0 0 ;\n");
  for (int reset : {1, 0}) {
    NetPtr net = f.read("top.pnl");
    ASSERT_TRUE(net);
    ASSERT_EQ(net->S[0].Subm_Id, 1);
    Flatten_PN(*net, reset);
    EXPECT_EQ(net->S[0].First_Trans, 2);
    EXPECT_EQ(net->S[0].First_Place, 3);
    const SUBM_DES& sc = net->S[0].Submodel->S[0];
    EXPECT_EQ(sc.First_Trans, 3);
    EXPECT_EQ(sc.First_Place, 5);
    EXPECT_EQ(net->S[1].First_Trans, 4);
    EXPECT_EQ(net->S[1].First_Place, 6);
    EXPECT_EQ(net->Nb_Trans, 6);
    EXPECT_EQ(net->Nb_Places, 8);
    EXPECT_EQ(net->Nb_Submodels, 0);
    ASSERT_EQ(net->T.size(), 6u);
    ASSERT_EQ(net->P.size(), 8u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(net->T[i].Tr_Id, i);
    for (int j = 0; j < 8; ++j) EXPECT_EQ(net->P[j].Pl_Id, j);
    // Local arcs moved by their submodel's offsets, both directions.
    EXPECT_EQ(dest_of_first_output(net->T[2]), 3);  // A's T1 -> A's P1
    EXPECT_EQ(dest_of_first_output(net->T[3]), 5);  // C's T1 -> C's P1
    EXPECT_EQ(dest_of_first_output(net->T[4]), 7);  // B's T1 -> B's P2
    ASSERT_EQ(net->P[5].Inputs.size(), 1u);
    EXPECT_EQ(net->P[5].Inputs.front().Dest, 3);
    EXPECT_EQ(net->P[6].Outputs.front().Dest, 4);
    if (reset) {
      EXPECT_EQ(net->P[4].Name, "a/q");
      EXPECT_EQ(net->T[3].Name, "a/c/r");
      EXPECT_EQ(net->P[5].Name, "a/c/q");
      EXPECT_EQ(net->P[6].Name, "*/q");
      EXPECT_EQ(net->T[5].Name, "*/v");
      EXPECT_EQ(net->T[4].Name, "");  // unnamed objects stay unnamed
      EXPECT_EQ(net->T[0].Name, "t");  // the top's own keep theirs
    } else {
      EXPECT_EQ(net->P[5].Name, "q");
      EXPECT_EQ(net->T[3].Name, "r");
    }
  }
}

TEST(Flatten, BindingArcsStandOnBothSides) {
  Files f;
  std::string srv = f.write("srv.pnl",
                            "Transitions <- 1\nPlaces <- 1\nT 1 \"s\" C 1.0 ;\nP 1 \"w\" C 0.0 0 , 1 ;\n"
                            "Export\nIN 1 IS P 1 ;\nOUT 1 IS T 1 ;\nIN 2 IS T 1 ;\n");
  f.write("top.pnl",
          "Transitions <- 2\nPlaces <- 2\nSubmodel 1 FILE \"" + srv + "\" ;\n"
          "T 1 C 1.0 , S 1 / IN 1 3 \"d\" ;\n"
          "T 2 C 0.0 , 2 ;\n"
          "P 1 C 0.0 0 Cyclic [ T 2 S 1 / IN 2 ] , 2 , S 1 / IN 2 ;\n"
          "P 2 C 0.0 1 0.0 , 1 ;\n"
          "S 1 / OUT 1 , 1 2 I ;\n"
          "Export\nOUT 1 IS S 1 / OUT 1 ;\nIN 1 IS S 1 / IN 1 ;\n");
  NetPtr net = f.read("top.pnl");
  ASSERT_TRUE(net);
  EXPECT_EQ(net->T[0].Outdegree, 1);
  Flatten_PN(*net, 1);
  ASSERT_EQ(net->Nb_Trans, 3);
  ASSERT_EQ(net->Nb_Places, 3);
  // T1 -> S1/IN1 (the server's place, flat 2), weight and data kept.
  ASSERT_EQ(net->T[0].Outputs.size(), 1u);
  EXPECT_EQ(net->T[0].Outputs.front().Dest, 2);
  EXPECT_EQ(net->T[0].Outputs.front().Weight, 3);
  EXPECT_EQ(net->T[0].Outputs.front().Data, "d");
  EXPECT_FALSE(net->T[0].Outputs.front().A_Dest);
  ASSERT_EQ(net->P[2].Inputs.size(), 1u);
  EXPECT_EQ(net->P[2].Inputs.front().Dest, 0);
  EXPECT_EQ(net->P[2].Indegree, 1);
  // P1 -> S1/IN2 (the server's transition, flat 2).
  EXPECT_EQ(net->P[0].Outdegree, 2);
  EXPECT_EQ(net->P[0].Outputs.front().Dest, 2);
  EXPECT_EQ(net->T[2].Indegree, 2);
  // The binding statement: server's transition -> place 1, inhibitor, weight 2.
  // It was not declared with the server's transition: Outdegree follows it.
  ASSERT_EQ(net->T[2].Outputs.size(), 1u);
  EXPECT_EQ(net->T[2].Outdegree, 1);
  EXPECT_EQ(net->T[2].Outputs.front().Dest, 0);
  EXPECT_EQ(net->T[2].Outputs.front().Weight, 2);
  ASSERT_EQ(net->P[0].Inputs.size(), 1u);
  EXPECT_EQ(net->P[0].Inputs.front().Dest, 2);
  EXPECT_EQ(net->P[0].Inputs.front().Is_Inhibitor, 1);
  EXPECT_EQ(net->Has_Weights, 1);
  EXPECT_EQ(net->Has_Inhibitors, 1);
  // Routing entry through the port, and both exports, are flat now.
  const ROUTING& r = *net->P[0].Routing;
  ASSERT_EQ(r.Period, 2);
  EXPECT_EQ(r.Cycle[0]->Type, 'T');
  EXPECT_EQ(r.Cycle[0]->Number, 1);
  EXPECT_EQ(r.Cycle[1]->Type, 'T');
  EXPECT_EQ(r.Cycle[1]->Number, 2);
  EXPECT_FALSE(r.Cycle[1]->Next);
  ASSERT_EQ(net->Nb_Outputs, 1);
  EXPECT_EQ(net->Outputs[0]->Type, 'T');
  EXPECT_EQ(net->Outputs[0]->Number, 2);
  EXPECT_FALSE(net->Outputs[0]->Next);
  EXPECT_EQ(net->Inputs[0]->Type, 'P');
  EXPECT_EQ(net->Inputs[0]->Number, 2);
  EXPECT_TRUE(net->Binding_Table.empty());
}

TEST(Flatten, NetWithoutSubmodelsIsUnchanged) {
  Files f;
  f.write("n.pnl", "Transitions <- 1\nPlaces <- 1\nT 1 \"t\" C 1.0 , 1 ;\nP 1 \"p\" C 0.0 0 , 1 ;\n");
  NetPtr net = f.read("n.pnl");
  ASSERT_TRUE(net);
  Flatten_PN(*net, 1);
  EXPECT_EQ(net->Nb_Trans, 1);
  EXPECT_EQ(net->T[0].Name, "t");
  EXPECT_EQ(net->P[0].Name, "p");
  EXPECT_EQ(dest_of_first_output(net->T[0]), 0);
}

// An export given as a bare number names a top-net object: flattening keeps
// it quietly, beside a port export that it does renumber.
TEST(Flatten, BareNumberExportIsKept) {
  Files f;
  std::string sub = f.write("sub.pnl",
                            "Transitions <- 1\nPlaces <- 1\nT 1 C 1.0 , 1 ;\nP 1 C 0.0 0 , 1 ;\n"
                            "Export\nIN 1 IS T 1 ;\n");
  f.write("top.pnl", "Transitions <- 1\nPlaces <- 2\nSubmodel 1 FILE \"" + sub + "\" ;\n"
                     "T 1 C 1.0 , 1 ;\nP 1 C 0.0 1 0.0 , S 1 / IN 1 , 1 ;\nP 2 C 0.0 0 ;\n"
                     "Export\nIN 1 IS 2 ;\nIN 2 IS S 1 / IN 1 ;\n");
  NetPtr net = f.read("top.pnl");
  ASSERT_TRUE(net);
  testing::internal::CaptureStdout();
  Flatten_PN(*net, 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  ASSERT_EQ(net->Nb_Inputs, 2);
  EXPECT_EQ(net->Inputs[0]->Type, 'U');
  EXPECT_EQ(net->Inputs[0]->Number, 1);
  EXPECT_EQ(net->Inputs[1]->Type, 'T');
  EXPECT_EQ(net->Inputs[1]->Number, 1);
}

TEST(Flatten, FindNumberReportsBadAddresses) {
  PetriNet net;
  auto bad_sub = New_Address('S', 7, New_Address('T', 0));
  testing::internal::CaptureStdout();
  EXPECT_EQ(Find_Number_In_Submodel(net, 0, 0, bad_sub.get()), -1);
  auto bad_type = New_Address('I', 1);
  EXPECT_EQ(Find_Number_In_Submodel(net, 0, 0, bad_type.get()), -1);
  auto place = New_Address('P', 2);
  EXPECT_EQ(Find_Number_In_Submodel(net, 5, 9, place.get()), 7);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Flatten_PN: error: illegal submodel id found (7) when linking bindings.\n"
            "Flatten_PN: error: illegal address type found (I) when linking bindings.\n");
}

// Many arcs bound to one submodel object: each lands where it was written.
// (That their number costs time in proportion is bench/flatten's to show.)
TEST(Flatten, ManyArcsToOnePortKeepTheirOrder) {
  constexpr int n = 4000;
  Files f;
  std::string sub = f.write("sub.pnl", "Transitions <- 1\nPlaces <- 1\nT 1 C 1.0 , 1 ;\n"
                                       "P 1 C 0.0 0 , 1 ;\nExport\nIN 1 IS P 1 ;\nIN 2 IS T 1 ;\n");
  std::string top = "Transitions <- " + std::to_string(n) + "\nPlaces <- 1\nSubmodel 1 FILE \"" +
                    sub + "\" ;\n";
  for (int i = 1; i <= n; ++i) top += "T " + std::to_string(i) + " C 1.0 , S 1 / IN 1 ;\n";
  // The place's arcs alternate between the top net's transitions and the
  // submodel's.
  top += "P 1 C 0.0 0";
  for (int k = 0; k < n; ++k) top += k % 2 ? " , S 1 / IN 2" : " , " + std::to_string(k / 2 + 1);
  top += " ;\n";
  f.write("top.pnl", top);
  NetPtr net = f.read("top.pnl");
  ASSERT_TRUE(net);
  Flatten_PN(*net, 0);
  ASSERT_EQ(net->Nb_Trans, n + 1);
  ASSERT_EQ(net->Nb_Places, 2);
  // The submodel's place: every top transition in number order, then its
  // own transition.
  const PL_DES& q = net->P[1];
  ASSERT_EQ(q.Inputs.size(), static_cast<size_t>(n + 1));
  EXPECT_EQ(q.Indegree, n + 1);
  bool in_order = true;
  for (int i = 0; i <= n; ++i) in_order = in_order && q.Inputs[static_cast<size_t>(i)].Dest == i;
  EXPECT_TRUE(in_order);
  // The place's arcs as written, in list order (the last written first).
  const PL_DES& p = net->P[0];
  ASSERT_EQ(p.Outputs.size(), static_cast<size_t>(n));
  bool as_written = true;
  for (int k = 0; k < n; ++k)
    as_written = as_written &&
                 p.Outputs[static_cast<size_t>(n - 1 - k)].Dest == (k % 2 ? n : k / 2);
  EXPECT_TRUE(as_written);
  EXPECT_EQ(net->T[static_cast<size_t>(n)].Inputs.size(), static_cast<size_t>(n / 2 + 1));
}
