// What wembric writes must read back, with the EGL reader, as the event
// graph the Petri net was: same transitions and laws, one place per place of
// the net joining the same transitions, with its law, tokens and lags.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "eventgraph/egl_reader.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"
#include "wembric.h"

namespace pn = orv::pn;
namespace eg = orv::eg;

namespace {

std::string egl_of(const pn::PetriNet& net) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  pn::dump_egl_code(f, net, "wembric");
  std::fclose(f);
  std::string text(buf, len);
  std::free(buf);
  return text;
}

orv::EventGraphPtr read_egl(const std::string& text) {
  testing::internal::CaptureStderr();
  orv::EventGraphPtr g = eg::Read_Network_Text(text);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "") << text;
  return g;
}

void same_law(const orv::LAW_DESC* a, const orv::LAW_DESC* b, const std::string& where) {
  ASSERT_TRUE(a && b) << where;
  EXPECT_EQ(a->Name, b->Name) << where;
  ASSERT_EQ(a->Parameters.size(), b->Parameters.size()) << where;
  for (size_t k = 0; k < a->Parameters.size(); ++k)
    EXPECT_NEAR(a->Parameters[k], b->Parameters[k], 5e-5) << where << " parameter " << k;
}

// The place text EGL carries: the data, else the name.
std::string place_text(const pn::PL_DES& p) { return p.Data.empty() ? p.Name : p.Data; }

void same_graph(const pn::PetriNet& net, const orv::EventGraph& g, const std::string& text) {
  ASSERT_EQ(g.Size, net.Nb_Trans) << text;
  ASSERT_EQ(g.Nb_Places, net.Nb_Places) << text;
  std::vector<int> seen(net.Nb_Places, 0);
  for (int t = 0; t < net.Nb_Trans; ++t) {
    const pn::TR_DES& tr = net.T[t];
    const orv::TRANS_DESC* et = g.T[t].get();
    ASSERT_TRUE(et) << text;
    std::string where = "transition " + std::to_string(t + 1) + "\n" + text;
    EXPECT_EQ(et->Name, tr.Name) << where;
    EXPECT_EQ(et->Data, tr.Data) << where;
    same_law(tr.Tr_Law.get(), et->Trans_Law.get(), where);
    // The EGL line lists the arcs in the net's list order, and the EGL
    // reader keeps a line's places last written first.
    ASSERT_EQ(et->Outputs.size(), tr.Outputs.size()) << where;
    size_t n = tr.Outputs.size();
    for (size_t k = 0; k < n; ++k) {
      const pn::LINK_LIST& arc = tr.Outputs[k];
      const pn::PL_DES& p = net.P[arc.Dest];
      const orv::PLACE_DESC* ep = et->Outputs[n - 1 - k];
      std::string at = "place " + std::to_string(arc.Dest + 1) + " of " + where;
      ++seen[arc.Dest];
      EXPECT_EQ(ep->Input_Id, t + 1) << at;
      EXPECT_EQ(ep->Trans_Id, p.Outputs.front().Dest + 1) << at;
      EXPECT_EQ(ep->Name, place_text(p)) << at;
      EXPECT_EQ(ep->Data1, arc.Data) << at;
      EXPECT_EQ(ep->Data2, arc.Data.empty() ? std::string() : std::string(p.Outputs.front().Data)) << at;
      same_law(p.Pl_Law.get(), ep->Place_Law.get(), at);
      ASSERT_EQ(ep->Init_Pop, p.Init_Pop) << at;
      ASSERT_EQ(ep->Lag_Times.size(), p.Lag_Times.size()) << at;
      // Stored last written first in the net, in file order in the graph.
      for (size_t l = 0; l < p.Lag_Times.size(); ++l)
        EXPECT_NEAR(ep->Lag_Times[l], p.Lag_Times[p.Lag_Times.size() - 1 - l], 5e-5) << at;
    }
  }
  for (int p = 0; p < net.Nb_Places; ++p) EXPECT_EQ(seen[p], 1) << "place " << p + 1;
}

pn::NetPtr read_pnl(const std::string& text) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  pn::NetPtr net = pn::Read_Network_Buffer(text, "random.pnl");
  std::string out = testing::internal::GetCapturedStdout();
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(net) << text << out << err;
  return net;
}

std::string word(std::mt19937& rng) {
  static const char* const words[] = {"a", "press", "Buffer two", "x_1", "go.on", "Q|r", "w!"};
  return words[rng() % 7];
}

std::string real(std::mt19937& rng) {
  char b[32];
  std::snprintf(b, sizeof b, "%.4f", static_cast<double>(rng() % 4000) / 16.0);
  return b;
}

std::string law(std::mt19937& rng) {
  switch (rng() % 6) {
    case 0: return "C " + real(rng);
    case 1: return "E " + real(rng);
    case 2: return "U " + real(rng) + " " + real(rng);
    case 3: return "W " + real(rng) + " " + real(rng);
    case 4: return "R " + std::to_string(1 + rng() % 5) + " " + real(rng);
    default: return "H " + real(rng) + " " + real(rng) + " " + real(rng) + " " + real(rng);
  }
}

// A random PNL event graph: every place gets one upstream and one downstream
// transition, texts on some objects and arcs, tokens with lags.
std::string random_net(std::mt19937& rng) {
  int nt = 1 + rng() % 7, np = rng() % 12;
  std::vector<std::vector<int>> outs(nt);
  std::vector<int> down(np);
  for (int p = 0; p < np; ++p) {
    outs[rng() % nt].push_back(p);
    down[p] = rng() % nt;
  }
  std::string s = "Transitions <- " + std::to_string(nt) + "\nPlaces <- " + std::to_string(np) + "\n";
  for (int t = 0; t < nt; ++t) {
    s += "T " + std::to_string(t + 1) + " ";
    int texts = rng() % 3;
    if (texts >= 1) s += "\"" + word(rng) + "\" ";
    if (texts == 2) s += "\"" + word(rng) + "\" ";
    s += law(rng);
    bool named = rng() % 2;
    for (int p : outs[t]) {
      s += " , " + std::to_string(p + 1);
      if (named && rng() % 2) s += " \"" + word(rng) + "\"";
    }
    s += " ;\n";
  }
  for (int p = 0; p < np; ++p) {
    s += "P " + std::to_string(p + 1) + " ";
    // Arc texts need a place text ahead of them in EGL: every place here has
    // a name, and some data too.
    s += "\"" + word(rng) + "\" ";
    if (rng() % 2) s += "\"" + word(rng) + "\" ";
    s += law(rng);
    int tokens = rng() % 4;
    s += " " + std::to_string(tokens);
    for (int k = 0; k < tokens; ++k) s += " " + real(rng);
    s += " , " + std::to_string(down[p] + 1);
    if (rng() % 2) s += " \"" + word(rng) + "\"";
    s += " ;\n";
  }
  return s;
}

}  // namespace

TEST(WembricRoundTrip, RandomEventGraphsReadBackAlike) {
  std::mt19937 rng(2026);
  for (int i = 0; i < 300; ++i) {
    std::string text = random_net(rng);
    pn::NetPtr net = read_pnl(text);
    ASSERT_TRUE(net);
    ASSERT_EQ(pn::Check_Event_Graph(*net), pn::Egl_Refusal::None) << text;
    std::string egl = egl_of(*net);
    orv::EventGraphPtr g = read_egl(egl);
    ASSERT_TRUE(g) << text << egl;
    same_graph(*net, *g, text + egl);
  }
}

// Every accepted net of the program's tests and the example, hierarchical
// ones flattened as the program does.
TEST(WembricRoundTrip, FixturesReadBackAlike) {
  namespace fs = std::filesystem;
  fs::path root = fs::path(ORV_TEST_DATA).parent_path().parent_path().parent_path().parent_path();
  std::vector<fs::path> files = {root / "examples" / "press.pnl", root / "examples" / "tandem.pnl"};
  for (const auto& e : fs::directory_iterator(root / "tests" / "cli" / "wembric" / "fixtures"))
    if (e.path().extension() == ".pnl") files.push_back(e.path());
  int accepted = 0;
  for (const fs::path& f : files) {
    fs::path cwd = fs::current_path();
    fs::current_path(f.parent_path());  // submodel files are found beside the net
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    pn::NetPtr net = pn::Read_Network(f.filename().string());
    if (net) pn::Flatten_PN(*net, 0);
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    fs::current_path(cwd);
    if (!net || pn::Check_Event_Graph(*net) != pn::Egl_Refusal::None) continue;
    ++accepted;
    std::string egl = egl_of(*net);
    orv::EventGraphPtr g = read_egl(egl);
    ASSERT_TRUE(g) << f << "\n" << egl;
    same_graph(*net, *g, f.string() + "\n" + egl);
  }
  EXPECT_GE(accepted, 2);
}
