#include "platform/Remover.h"

#include <string>

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/DirLister.h"
#include "platform/NativePath.h"
#include "platform/Path.h"
#include "support/TempDir.h"
#include "support/WinFiles_win.h"

namespace qinglan::platform {
namespace {

bool exists(const std::string& path) {
  return ::GetFileAttributesW(widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What a walk from the TempDir records for one of its entries.
FindingOrigin originOf(const test::TempDir& dir, const std::string& parent, const std::string& name) {
  auto walk = DirLister::system().openRoot(dir.path(), dir.path());
  const std::string folder = parent.empty() ? dir.path() : dir.path(parent);
  WalkRoot::Listed listed = walk->list(parent, folder);
  for (const DirEntry& entry : listed.listing->entries()) {
    if (entry.name == name)
      return {walk->scanRoot(), listed.listing->details(entry)->id};
  }
  return {walk->scanRoot(), {}};
}

TEST(RemoverWinTest, RemovesATreeThroughAJunctionWithoutFollowingIt) {
  test::TempDir dir;
  dir.writeFile("outside/keep.txt", "keep");
  dir.writeFile("tree/sub/a.txt", "a");
  if (!test::makeJunction(dir.path("tree/sub/link"), dir.path("outside")))
    GTEST_SKIP() << "this file system makes no junctions";
  EXPECT_TRUE(Remover::system().remove(dir.path("tree")));
  EXPECT_FALSE(exists(dir.path("tree")));
  EXPECT_TRUE(exists(dir.path("outside/keep.txt")));
}

TEST(RemoverWinTest, AFindingReachedThroughAJunctionIsRefused) {
  test::TempDir dir;
  dir.writeFile("outside/keep.txt", "keep");
  dir.makeFolder("cache");
  const FindingOrigin origin = originOf(dir, "outside", "keep.txt");
  ::RemoveDirectoryW(widePath(dir.path("cache")).c_str());
  if (!test::makeJunction(dir.path("cache"), dir.path("outside")))
    GTEST_SKIP() << "this file system makes no junctions";
  EXPECT_FALSE(Remover::system().removeFinding(dir.path("cache/keep.txt"), origin));
  EXPECT_TRUE(exists(dir.path("outside/keep.txt")));
}

TEST(RemoverWinTest, RemovesReadOnlyFilesAndPathsBeyondTheOldLimit) {
  test::TempDir dir;
  const std::string deep = test::makeLongPathFile(dir.path(), "只读.txt");
  ASSERT_TRUE(::SetFileAttributesW(widePath(deep).c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string top = dir.path(std::string(40, 'd'));
  EXPECT_TRUE(Remover::system().removeFinding(top, originOf(dir, "", std::string(40, 'd'))));
  EXPECT_FALSE(exists(top));
}

TEST(RemoverWinTest, AFileOpenWithoutDeleteSharingStays) {
  test::TempDir dir;
  const std::string file = dir.writeFile("busy.txt", "x");
  const HANDLE held = ::CreateFileW(widePath(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Remover::system().remove(file));
  ::CloseHandle(held);
  EXPECT_TRUE(exists(file));
  EXPECT_TRUE(Remover::system().remove(file));
  EXPECT_FALSE(exists(file));
}

}  // namespace
}  // namespace qinglan::platform
