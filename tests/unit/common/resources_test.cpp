#include "common/resources.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "scratch.h"

namespace {

using orv::Is_Available;
using orv::Resource_Value;
using orv::test::Capture;
using orv::test::Env;
using orv::test::Scratch;
namespace fs = std::filesystem;

struct Row {
  std::string name;
  int access;
  int essential;
  std::string value;
};

// A table laid out like the generated arrays, null entries included.
class Table {
 public:
  Table(std::initializer_list<Row> rows) : rows_(rows) {
    for (Row& r : rows_) {
      names_.push_back(r.name.data());
      defaults_.push_back(r.value.data());
      access_.push_back(r.access);
      essential_.push_back(r.essential);
    }
    names_.push_back(nullptr);
    defaults_.push_back(nullptr);
    table_ = {static_cast<int>(rows_.size()), names_.data(), access_.data(), defaults_.data(),
              essential_.data()};
  }
  const orv::RESOURCE_TABLE& operator*() const { return table_; }

 private:
  std::vector<Row> rows_;
  std::vector<char*> names_, defaults_;
  std::vector<int> access_, essential_;
  orv::RESOURCE_TABLE table_;
};

// Every case starts from an environment without the test's resource names.
class Lookup : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* n : {"C_COMPILER", "C_SOURCE_FILE", "TMP_DIR", "TMP_PNL_FILE", "ORVHOME"})
      env.unset(n);
  }
  // Runs get_resources, returning what it wrote on stdout and stderr.
  std::pair<std::string, std::string> run(const Table& t, int checking, bool debug = false) {
    Capture out(stdout, dir.path("stdout.txt"));
    Capture err(stderr, dir.path("stderr.txt"));
    orv::get_resources(*t, "quanter", checking, debug);
    return {out.text(), err.text()};
  }
  Scratch dir;
  Env env;
};

TEST_F(Lookup, VariableReplacesDefault) {
  const std::string cc = dir.program("local/bin/mycc");
  Table t{{"C_COMPILER", X_OK, 1, "no-such-compiler"}};
  env.set("PATH", dir.path("local"));
  env.set("C_COMPILER", cc);
  run(t, 0);
  EXPECT_EQ(Resource_Value[0], cc);
  EXPECT_EQ(Is_Available[0], 1);

  // Set but empty still counts as set: the empty name would test "dir/",
  // a directory, which is no program.
  env.set("C_COMPILER", "");
  auto [out, err] = run(t, 1);
  EXPECT_EQ(Is_Available[0], 0);
  EXPECT_EQ(Resource_Value[0], "");
  EXPECT_EQ(err, "quanter:  not accessible (C_COMPILER)\n");
}

TEST_F(Lookup, AtIsRelativeToOrvhome) {
  const std::string skel = dir.file("lib/quanter/skeletton.c", fs::perms::owner_read);
  Table t{{"C_SOURCE_FILE", R_OK, 1, "@lib/quanter/skeletton.c"}};
  env.set("ORVHOME", dir.path());
  auto [out, err] = run(t, 1, true);
  EXPECT_EQ(Resource_Value[0], dir.path() + "/lib/quanter/skeletton.c");
  EXPECT_EQ(Is_Available[0], 1);
  EXPECT_EQ(out, "quanter: testing dir <NULL>\n");
  EXPECT_EQ(err, "quanter: " + dir.path() + "/lib/quanter/skeletton.c found (C_SOURCE_FILE)\n");

  // A variable may use "@" too.
  dir.file("src/x.c", fs::perms::owner_read);
  env.set("C_SOURCE_FILE", "@src/x.c");
  run(t, 0);
  EXPECT_EQ(Resource_Value[0], dir.path() + "/src/x.c");
  EXPECT_EQ(Is_Available[0], 1);
}

TEST_F(Lookup, MissingUnderOrvhomeKeepsTheOrvhomePath) {
  Table t{{"C_SOURCE_FILE", R_OK, 1, "@lib/quanter/skeletton.c"}};
  env.set("ORVHOME", dir.path());
  auto [out, err] = run(t, 1);
  const std::string where = dir.path() + "/lib/quanter/skeletton.c";
  EXPECT_EQ(Resource_Value[0], where);
  EXPECT_EQ(Is_Available[0], 0);
  EXPECT_EQ(err, "quanter: " + where + " not accessible (C_SOURCE_FILE)\n");

  // Without ORVHOME the "@" alone becomes the root.
  env.unset("ORVHOME");
  run(t, 0);
  EXPECT_EQ(Resource_Value[0], "/lib/quanter/skeletton.c");
}

TEST_F(Lookup, RelativeNameSearchedAlongPath) {
  dir.folder("a/cc");                                     // a directory is no program
  dir.file("b/cc", fs::perms::owner_read | fs::perms::owner_write);  // not executable
  const std::string cc = dir.program("c/cc");
  dir.program("d/cc");
  Table t{{"C_COMPILER", X_OK, 1, "cc"}};
  env.set("PATH", dir.path("a") + "::" + dir.path("b") + ":" + dir.path("c") + ":" +
                      dir.path("d"));
  auto [out, err] = run(t, 1, true);
  EXPECT_EQ(Resource_Value[0], cc);
  EXPECT_EQ(Is_Available[0], 1);
  // The empty element is skipped and the search stops at the first hit.
  EXPECT_EQ(out, "quanter: testing dir " + dir.path("a") + "\nquanter: testing dir " +
                     dir.path("b") + "\nquanter: testing dir " + dir.path("c") + "\n");
  EXPECT_EQ(err, "quanter: " + cc + " found (C_COMPILER)\n");
}

TEST_F(Lookup, RelativeNameNeverTriedInCurrentFolder) {
  dir.program("cc");
  env.chdir(dir.path());
  env.set("PATH", dir.folder("empty"));
  Table t{{"C_COMPILER", X_OK, 1, "cc"}};
  run(t, 0);
  EXPECT_EQ(Is_Available[0], 0);
  EXPECT_EQ(Resource_Value[0], "cc");
}

TEST_F(Lookup, AbsoluteNameTestedOnce) {
  const std::string cc = dir.program("opt/cc");
  env.set("PATH", dir.path("bin"));
  env.set("C_COMPILER", cc);
  Table t{{"C_COMPILER", X_OK, 1, "gcc"}};
  auto [out, err] = run(t, 0, true);
  EXPECT_EQ(Resource_Value[0], cc);
  EXPECT_EQ(Is_Available[0], 1);
  EXPECT_EQ(out, "quanter: testing dir <NULL>\n");

  // Not looked for under PATH, where it would be found.
  dir.program("bin/no-such/cc");
  env.set("C_COMPILER", "/no-such/cc");
  run(t, 0);
  EXPECT_EQ(Is_Available[0], 0);
  EXPECT_EQ(Resource_Value[0], "/no-such/cc");
}

TEST_F(Lookup, WithoutPathRelativeNameTestedAsIs) {
  dir.program("tools/cc");
  env.chdir(dir.path());
  env.unset("PATH");
  Table t{{"C_COMPILER", X_OK, 1, "tools/cc"}};
  auto [out, err] = run(t, 1, true);
  EXPECT_EQ(Resource_Value[0], "tools/cc");
  EXPECT_EQ(Is_Available[0], 1);
  EXPECT_EQ(out, "quanter: testing dir <NULL>\n");
  EXPECT_EQ(err, "quanter: tools/cc found (C_COMPILER)\n");
}

TEST_F(Lookup, CheckingListsFoundAndMissingEssentials) {
  const std::string tmp = dir.folder("tmp");
  env.set("PATH", dir.folder("bin"));
  Table t{{"C_COMPILER", X_OK, 1, "cc"},
          {"TMP_DIR", W_OK, 0, tmp},
          {"TMP_PNL_FILE", W_OK, 0, tmp + "/quanter.pnl"},
          {"C_SOURCE_FILE", R_OK, 1, tmp + "/skeletton.c"}};
  auto [out, err] = run(t, 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "quanter: cc not accessible (C_COMPILER)\n"
                 "quanter: " + tmp + " found (TMP_DIR)\n"
                 "quanter: " + tmp + "/skeletton.c not accessible (C_SOURCE_FILE)\n");
  // A file still to be written keeps its path for the driver to create.
  EXPECT_EQ(Resource_Value[2], tmp + "/quanter.pnl");
  EXPECT_EQ((std::vector<int>{0, 1, 0, 0}), Is_Available);

  auto [out2, err2] = run(t, 0);
  EXPECT_EQ(out2, "");
  EXPECT_EQ(err2, "");
}

TEST_F(Lookup, PresenceNeedsEveryEssentialResource) {
  const std::string cc = dir.program("bin/cc");
  const std::string tarvin = dir.program("bin/tarvin");
  env.set("PATH", dir.path("bin"));
  env.set("ORVHOME", dir.path());
  Table t{{"C_COMPILER", X_OK, 1, "cc"},
          {"TARVIN", X_OK, 1, "tarvin"},
          {"TMP_PNL_FILE", W_OK, 0, dir.path("quanter.pnl")},
          {"C_SOURCE_FILE", R_OK, 1, "@lib/quanter/skeletton.c"}};
  // The programs alone are not enough: without the skeleton the compile
  // cannot succeed.
  EXPECT_EQ(orv::Initialize_Resources(*t, "quanter", 0), 0);
  dir.file("lib/quanter/skeletton.c", fs::perms::owner_read);
  // A missing optional resource does not matter.
  EXPECT_EQ(orv::Initialize_Resources(*t, "quanter", 0), 1);
  EXPECT_EQ(orv::Resources_Are_Present(*t), 1);
  EXPECT_EQ(Resource_Value[0], cc);
  EXPECT_EQ(Resource_Value[1], tarvin);
}

}  // namespace
