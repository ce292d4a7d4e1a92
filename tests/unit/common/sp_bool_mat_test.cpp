#include "common/sp_bool_mat.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

TEST(SpBoolMat, EntriesKeepInsertionOrderAndDuplicates) {
  orv::SP_BOOL_MAT a(3);
  a.Add_Entry(0, 2);
  a.Add_Entry(0, 1);
  a.Add_Entry(0, 2);
  a.Add_Entry(2, 2);
  a.Add_Entry(5, 0);   // no such row
  a.Add_Entry(-1, 0);
  EXPECT_EQ(a.Size, 3);
  EXPECT_EQ(a.Nb_Elts, (std::vector<int>{3, 0, 1}));
  EXPECT_EQ(a.Elts[0], (std::vector<int>{2, 1, 2}));
  EXPECT_TRUE(a.Elts[1].empty());

  struct Case { int from, to, want; };
  const Case cases[] = {{0, 2, 1}, {0, 1, 1}, {0, 0, 0}, {1, 0, 0}, {2, 2, 1},
                        {3, 0, 0}, {-1, 2, 0}, {0, 7, 0}};
  for (const Case& c : cases) EXPECT_EQ(orv::Is_Adj(a, c.from, c.to), c.want) << c.from << "," << c.to;
  EXPECT_EQ(orv::SP_BOOL_MAT(-4).Size, 0);
}

TEST(SpBoolMat, Dump) {
  orv::SP_BOOL_MAT a(3);
  a.Add_Entry(0, 1);
  a.Add_Entry(0, 1);
  a.Add_Entry(2, 0);
  a.Add_Entry(2, 2);
  char* buf = nullptr;
  size_t len = 0;
  FILE* out = open_memstream(&buf, &len);
  orv::dumpe_adj(a, 3, out);
  std::fclose(out);
  EXPECT_EQ(std::string(buf, len), "010\n000\n101\n");
  free(buf);
}

}  // namespace
