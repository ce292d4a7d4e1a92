// The shipped examples and the examples of the format pages are accepted by
// the readers and hold what their pages say.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "io_helpers.h"
#include "maxplus/interaction_graph.h"
#include "maxplus/tetris.h"

namespace {

using namespace orv::mp;

// ORV_TEST_DATA is tests/unit/maxplus/data, which need not exist.
std::string top_dir() {
  std::string d = ORV_TEST_DATA;
  return d.substr(0, d.rfind('/')) + "/../../../";
}

std::string file_text(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The ```text blocks of a page.
std::vector<std::string> text_blocks(const std::string& page) {
  std::vector<std::string> blocks;
  const std::string open = "```text\n";
  for (auto at = page.find(open); at != std::string::npos; at = page.find(open, at)) {
    at += open.size();
    const auto end = page.find("```", at);
    blocks.push_back(page.substr(at, end - at));
    at = end + 3;
  }
  return blocks;
}

template <class Reader>
auto read_text(const std::string& text, Reader reader) {
  FILE* in = mptest::text_stream(text);
  decltype(reader(in)) result;
  mptest::Output o = mptest::capture([&] { result = reader(in); });
  std::fclose(in);
  EXPECT_EQ(o.out + o.err, "") << text;
  return result;
}

TEST(Examples, InteractionGraphs) {
  const std::string kite = top_dir() + "examples/kite.ig";
  auto g = read_text(file_text(kite), Read_Interaction_Graph);
  ASSERT_TRUE(g);
  EXPECT_EQ(mptest::written([&](FILE* f) { Write_Boolean_Matrix(g->A, f); }),
            "1110\n1110\n1111\n0011\n");
  EXPECT_EQ(Is_Uniform(*g), 1);
  const auto blocks = text_blocks(file_text(top_dir() + "docs/formats/interaction-graph.md"));
  ASSERT_EQ(blocks.size(), 2u);
  for (const std::string& b : blocks) {
    auto d = read_text(b, Read_Interaction_Graph);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->A.Nb_Elts, g->A.Nb_Elts);
  }
}

TEST(Examples, BernoulliProducts) {
  auto p = read_text(file_text(top_dir() + "examples/two_machines.bp"), Read_Bernoulli_Product);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Proba, (std::vector<double>{0.25, 0.75}));
  EXPECT_EQ(Get_SP_Matrix_Entry(*p->A[0], 1, 0), 3.0);
  EXPECT_EQ(Get_SP_Matrix_Entry(*p->A[1], 0, 1), 2.0);
  const auto blocks = text_blocks(file_text(top_dir() + "docs/formats/bernoulli-product.md"));
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_TRUE(read_text(blocks[0], Read_Bernoulli_Product));
}

TEST(Examples, HeapsOfPieces) {
  auto read_heap = [](FILE* in) { return Read_Tetris(in); };
  auto t = read_text(file_text(top_dir() + "examples/stairs.heap"), read_heap);
  ASSERT_TRUE(t);
  ASSERT_EQ(t->Nb_Pieces, 3);
  EXPECT_EQ(t->Piece[1]->LoProf, (std::vector<int>{-1, 1, 0}));
  EXPECT_EQ(t->Piece[1]->HiProf, (std::vector<int>{-1, 2, 1}));
  EXPECT_EQ(t->Piece[2]->HiProf, (std::vector<int>{-1, -1, 3}));
  EXPECT_EQ(t->Weight, (std::vector<double>{2, 1, 0.5}));
  const auto blocks = text_blocks(file_text(top_dir() + "docs/formats/heap-of-pieces.md"));
  ASSERT_EQ(blocks.size(), 2u);
  for (const std::string& b : blocks) EXPECT_TRUE(read_text(b, read_heap));
  EXPECT_EQ(blocks[1], file_text(top_dir() + "examples/stairs.heap"));
}

}  // namespace

namespace {

// What orvillan writes (its expected heaps) is read back by the heap reader.
TEST(Examples, HeapsWrittenFromGraphsReadBack) {
  int seen = 0;
  for (const auto& e : std::filesystem::directory_iterator(top_dir() + "tests/cli/orvillan/expected")) {
    if (e.path().extension() != ".heap") continue;
    ++seen;
    auto t = read_text(file_text(e.path().string()), [](FILE* in) { return orv::mp::Read_Tetris(in); });
    ASSERT_TRUE(t) << e.path();
    for (const auto& p : t->Piece) {
      int columns = 0;
      for (int lo : p->LoProf) columns += lo == 0;
      EXPECT_GT(columns, 0) << e.path();
    }
  }
  EXPECT_GT(seen, 0);
}

}  // namespace
