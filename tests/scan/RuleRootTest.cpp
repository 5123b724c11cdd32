#include "scan/RuleRoot.h"

#include <string>

#include <gtest/gtest.h>

#include "support/Symlink.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

struct ClimbCase {
  std::string stored;
  bool climbs;
};

class ClimbsOutOfRootTest : public ::testing::TestWithParam<ClimbCase> {};

TEST_P(ClimbsOutOfRootTest, OnlyParentStepsAbsolutePathsAndDrivesLeave) {
  EXPECT_EQ(climbsOutOfRoot(GetParam().stored), GetParam().climbs) << GetParam().stored;
}

INSTANTIATE_TEST_SUITE_P(Texts, ClimbsOutOfRootTest,
                         ::testing::Values(ClimbCase{"", false}, ClimbCase{"cache", false},
                                           ClimbCase{"a\\b\\c", false}, ClimbCase{"a..b", false},
                                           ClimbCase{"...", false}, ClimbCase{".hidden", false},
                                           ClimbCase{"..", true}, ClimbCase{"..\\..\\1002", true},
                                           ClimbCase{"a\\..\\b", true}, ClimbCase{"a/../b", true},
                                           ClimbCase{"a\\..", true}, ClimbCase{"\\Windows", true},
                                           ClimbCase{"/etc", true}, ClimbCase{"C:\\Temp", true},
                                           ClimbCase{"d:", true}, ClimbCase{"C:Temp", true}));

TEST(RuleRootTest, FolderTextsBecomeLocalPaths) {
  EXPECT_EQ(scanItemRoot("/c/1001/0", ""), "/c/1001/0");
  EXPECT_EQ(scanItemRoot("/c/1001/0", "cache"), "/c/1001/0" + test::nativeSeparators("/cache"));
  EXPECT_EQ(scanItemRoot("/c/1001/0", "Data\\Logs"), "/c/1001/0" + test::nativeSeparators("/Data/Logs"));
  EXPECT_EQ(scanItemRoot("/c/1001/0", "..\\..\\1002"), std::nullopt);
}

struct CaselessCase {
  std::string stored;                   // a CacheClean dir
  std::optional<std::string> resolved;  // below the volume root; empty when refused
};

class CaselessRootTest : public ::testing::TestWithParam<CaselessCase> {};

// Folders written by a Windows client keep whatever case it gave them; a link is refused whatever
// case names it, and an exact name wins over a folded one.
TEST_P(CaselessRootTest, FoldersAreFoundAsWindowsFindsThem) {
  if (!test::kSymlinksMade)
    GTEST_SKIP() << test::kNoSymlinks;
  test::TempDir dir;
  for (const char* folder : {"temp", "TMP", "update/download", "Launcher/Temp", "LOGS", "Logs", "logs-old"})
    dir.makeFolder(folder);
  dir.makeFolder("outside");
  ASSERT_EQ(test::makeSymlink(dir.path("outside"), dir.path("Cache")), 0);
  const std::string volume = dir.path() + "/";

  const std::optional<std::string> root =
      cacheRuleRoot(platform::DirLister::system(), volume, GetParam().stored);
  ASSERT_EQ(root.has_value(), GetParam().resolved.has_value()) << GetParam().stored;
  if (root) {
    EXPECT_EQ(*root, volume + *GetParam().resolved);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Dirs, CaselessRootTest,
    ::testing::Values(CaselessCase{"Temp", "temp"}, CaselessCase{"tmp", "TMP"},
                      CaselessCase{"Update\\Download", "update/download"},
                      CaselessCase{"launcher\\TEMP\\Sub", "Launcher/Temp/Sub"}, CaselessCase{"Logs", "Logs"},
                      CaselessCase{"logs", "LOGS"}, CaselessCase{"Missing\\Temp", "Missing/Temp"},
                      CaselessCase{"\\Temp", "temp"}, CaselessCase{"\\", ""}, CaselessCase{"", ""},
                      CaselessCase{".", ""}, CaselessCase{".\\", ""}, CaselessCase{"./.", ""},
                      CaselessCase{".\\launcher\\.\\TEMP", "Launcher/Temp"},
                      CaselessCase{"cache", std::nullopt}, CaselessCase{"CACHE\\x", std::nullopt},
                      CaselessCase{"..\\etc", std::nullopt}, CaselessCase{"C:\\Temp", std::nullopt}));

}  // namespace
}  // namespace qinglan
