#include "platform/Remover.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace qinglan::platform {
namespace {

// True when an entry stands at the path, a link counting as itself.
bool exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(
      std::filesystem::symlink_status(std::u8string(path.begin(), path.end()), error));
}

TEST(SystemRemoverTest, DeletesAFolderTreeOrAFile) {
  test::TempDir dir;
  dir.writeFile("cache/res/a.tmp", "a");
  dir.writeFile("cache/res/sub/b.log", "b");
  const std::string single = dir.writeFile("single.dat", "x");

  EXPECT_TRUE(Remover::system().remove(dir.path("cache")));
  EXPECT_TRUE(Remover::system().remove(single));
  EXPECT_FALSE(exists(dir.path("cache")));
  EXPECT_FALSE(exists(single));
  EXPECT_FALSE(Remover::system().remove(dir.path("cache")));
}

}  // namespace
}  // namespace qinglan::platform
