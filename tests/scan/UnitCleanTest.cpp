#include "scan/UnitClean.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace qinglan {
namespace {

// True when an entry stands at the path, a link counting as itself.
bool exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(
      std::filesystem::symlink_status(std::u8string(path.begin(), path.end()), error));
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
