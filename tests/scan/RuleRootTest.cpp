#include "scan/RuleRoot.h"

#include <string>

#include <gtest/gtest.h>

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
  EXPECT_EQ(scanItemRoot("/c/1001/0", "cache"), "/c/1001/0/cache");
  EXPECT_EQ(scanItemRoot("/c/1001/0", "Data\\Logs"), "/c/1001/0/Data/Logs");
  EXPECT_EQ(scanItemRoot("/c/1001/0", "..\\..\\1002"), std::nullopt);
  EXPECT_EQ(cacheRuleRoot("/mnt/d/", "Temp\\Player"), "/mnt/d/Temp/Player");
  EXPECT_EQ(cacheRuleRoot("/mnt/d/", ""), "/mnt/d/");
  EXPECT_EQ(cacheRuleRoot("/mnt/d/", "\\etc"), std::nullopt);
}

}  // namespace
}  // namespace qinglan
