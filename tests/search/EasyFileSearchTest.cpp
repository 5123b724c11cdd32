#include "search/EasyFileSearch.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/Path.h"
#include "platform/SystemTime.h"
#include "search/Mask.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

TEST(EasyFileSearchTest, StartsWithTheComponentDefaults) {
  TEasyFileSearch search;
  search.setVersion("something else");
  EXPECT_EQ(search.Version(), "TEasyFileSearch v1.02");
  EXPECT_EQ(search.SearchOptions, kAllSearchOptions);
  EXPECT_TRUE(search.FilterKind.empty());
  EXPECT_EQ(search.DateFilterFileAccess, dfakAnyFiles);
  EXPECT_EQ(search.DateFilterKind, dfkSame);
  EXPECT_EQ(search.DateFilterFirstDate, platform::today());
  EXPECT_EQ(search.SizeFilterKind, sfkSmallerOrEqualTo);
  EXPECT_EQ(search.SizeFilterSize, 0);
  EXPECT_THAT(search.FileNames, ElementsAre("*.*"));
  EXPECT_THAT(search.ExcludedFiles, IsEmpty());
  EXPECT_EQ(search.RootPath(), std::string(".") + platform::kSeparator);
}

class EasyFileSearchTreeTest : public testing::Test {
 protected:
  EasyFileSearchTreeTest() {
    tree.writeFile("a.log", "12345");
    tree.writeFile("b.txt", "1");
    tree.writeFile("sub/c.log", "123");
    search.setRootPath(tree.path());
    search.OnFileFound = [this](const TFileInformations& found) { names.push_back(found.Name); };
    search.OnStatistics = [this](const TStatistics& stats) { statistics.push_back(stats.FilesFound); };
  }

  test::TempDir tree;
  TEasyFileSearch search;
  std::vector<std::string> names;
  std::vector<int> statistics;
};

TEST_F(EasyFileSearchTreeTest, SettingsTakeEffectAtEachExecute) {
  search.FileNames = std::vector<std::string>{"*.log"};
  EXPECT_TRUE(search.Execute());
  EXPECT_THAT(names, ElementsAre("a.log", "c.log"));

  names.clear();
  search.SearchOptions = search.SearchOptions.without(okIncludeSubfolder);
  search.FilterKind = TFilter{fkFilterOnSize};
  search.SizeFilterKind = sfkBiggerOrEqualTo;
  search.SizeFilterSize = 2;
  search.ExcludedFiles = {"b*"};
  search.FileNames = {"*"};
  EXPECT_TRUE(search.Execute());
  EXPECT_THAT(names, ElementsAre("a.log"));
  EXPECT_THAT(statistics, ElementsAre(2, 1));
}

TEST_F(EasyFileSearchTreeTest, EventsAssignedAfterConstructionAreRelayed) {
  std::vector<std::string> folders;
  search.OnChangeFolder = [&](const std::string& folder) { folders.push_back(folder); };
  search.OnAcceptFile = [](const TFileInformations& found) { return found.Name != "b.txt"; };
  search.FileNames = {"*.txt"};
  search.Execute();
  EXPECT_THAT(names, IsEmpty());
  EXPECT_THAT(folders, ElementsAre(tree.path(), tree.path("sub")));
}

TEST_F(EasyFileSearchTreeTest, InvalidMaskLeavesExecuteWithoutStatistics) {
  search.FileNames = std::vector<std::string>{"[abc"};
  EXPECT_THROW(search.Execute(), EInvalidMask);
  EXPECT_THAT(statistics, IsEmpty());
}

}  // namespace
}  // namespace qinglan
