#include "common/work_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "scratch.h"

namespace {

namespace fs = std::filesystem;

TEST(WorkFiles, PathsJoinWithOneSlash) {
  EXPECT_EQ(orv::Join_Path("/tmp", "a.egl"), "/tmp/a.egl");
  EXPECT_EQ(orv::Join_Path("/tmp/", "a.egl"), "/tmp/a.egl");
  EXPECT_EQ(orv::Join_Path("", "a.egl"), "/a.egl");
  EXPECT_EQ(orv::Bare_Dir("/tmp//"), "/tmp");
  EXPECT_EQ(orv::Bare_Dir("/"), "/");
  EXPECT_EQ(orv::Bare_Dir("work"), "work");
}

TEST(WorkFiles, WritableDirectoryOnly) {
  orv::test::Scratch s;
  const std::string file = s.file("plain.txt", fs::perms::owner_read | fs::perms::owner_write, "x");
  EXPECT_TRUE(orv::Is_Writable_Dir(s.path()));
  EXPECT_FALSE(orv::Is_Writable_Dir(file));
  EXPECT_FALSE(orv::Is_Writable_Dir(s.path("missing")));
}

TEST(WorkFiles, PrivateDirectoriesAreNew) {
  orv::test::Scratch s;
  const std::string a = orv::Make_Private_Dir(s.path() + "/", "run");
  const std::string b = orv::Make_Private_Dir(s.path(), "run");
  ASSERT_FALSE(a.empty());
  ASSERT_FALSE(b.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(fs::path(a).parent_path(), fs::path(s.path()));
  EXPECT_EQ(fs::path(a).filename().string().rfind("run.", 0), 0u);
  EXPECT_EQ(fs::status(a).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_TRUE(orv::Make_Private_Dir(s.path("missing"), "run").empty());
}

// An older file is replaced by an empty one; a link planted under the name
// is removed, and what it pointed at is left as it was.
TEST(WorkFiles, PrivateFilesAreMadeAfresh) {
  orv::test::Scratch s;
  const std::string old = s.file("old.dat", fs::perms::owner_read | fs::perms::owner_write, "old");
  ASSERT_TRUE(orv::Create_Private_File(old));
  EXPECT_EQ(orv::test::read_file(old), "");
  EXPECT_EQ(fs::status(old).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  const std::string victim =
      s.file("victim.txt", fs::perms::owner_read | fs::perms::owner_write, "keep");
  const std::string planted = s.path("planted.dat");
  fs::create_symlink(victim, planted);
  const int fd = orv::Open_Private_File(planted);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "new", 3), 3);
  close(fd);
  EXPECT_FALSE(fs::is_symlink(planted));
  EXPECT_EQ(orv::test::read_file(planted), "new");
  EXPECT_EQ(orv::test::read_file(victim), "keep");

  EXPECT_TRUE(orv::Remove_Old_File(planted));
  EXPECT_TRUE(orv::Remove_Old_File(planted));  // nothing there is fine
  EXPECT_FALSE(fs::exists(planted));
  EXPECT_EQ(orv::Open_Private_File(s.path("missing/dir/x.dat")), -1);
}

}  // namespace
