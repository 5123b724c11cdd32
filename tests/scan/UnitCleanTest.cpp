#include "scan/UnitClean.h"

#include <string>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace qinglan {
namespace {

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

TEST(UnitCleanTest, DeletesAFolderTreeOrAFile) {
  test::TempDir dir;
  dir.writeFile("cache/res/a.tmp", "a");
  dir.writeFile("cache/res/sub/b.log", "b");
  const std::string single = dir.writeFile("single.dat", "x");

  EXPECT_TRUE(ShellDeletePath(dir.path("cache")));
  EXPECT_TRUE(ShellDeletePath(single));
  EXPECT_FALSE(exists(dir.path("cache")));
  EXPECT_FALSE(exists(single));
  EXPECT_FALSE(ShellDeletePath(dir.path("cache")));
}

}  // namespace
}  // namespace qinglan
