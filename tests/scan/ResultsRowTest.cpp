#include "scan/ResultsRow.h"

#include <gtest/gtest.h>

#include "platform/DirLister.h"

namespace qinglan {
namespace {

TFileInformations found(std::string name, uint32_t attributes, int64_t size) {
  TFileInformations info;
  info.Name = std::move(name);
  info.Path = "/cache/1001/0/";
  info.Attributes = attributes;
  info.Size = size;
  info.CreationTime = platform::SystemTime{.year = 2013, .month = 5, .day = 7, .hour = 23};
  return info;
}

TEST(ResultsRowTest, AFileShowsItsSizeAndCreationDate) {
  const ResultsRow row = resultsRowFor(found("a.log", platform::kAttrArchive, 1536), true);
  EXPECT_EQ(row.name, "a.log");
  EXPECT_EQ(row.location, "/cache/1001/0/");
  EXPECT_EQ(row.fullPath(), "/cache/1001/0/a.log");
  EXPECT_EQ(row.sizeText, "1.50KB");
  EXPECT_EQ(row.dateText, "2013/5/7");
  EXPECT_EQ(row.status, "");
  EXPECT_EQ(row.size, 1536);
  EXPECT_FALSE(row.isFolder);
  EXPECT_TRUE(row.checked);
  EXPECT_EQ(dateText({.year = 2026, .month = 12, .day = 31}), "2026/12/31");
}

TEST(ResultsRowTest, AFolderOrALinkToOneShowsFolderInsteadOfASize) {
  for (const uint32_t attributes :
       {platform::kAttrDirectory, platform::kAttrDirectory | platform::kAttrReparsePoint}) {
    const ResultsRow row = resultsRowFor(found("Crashes", attributes, 4096), false);
    EXPECT_EQ(row.sizeText, "文件夹");
    EXPECT_EQ(row.size, 0);
    EXPECT_TRUE(row.isFolder);
    EXPECT_FALSE(row.checked);
  }
}

TEST(ResultsRowTest, CounterAndTotalTexts) {
  EXPECT_EQ(resultsCounterCaption(0), "文件名[0]");
  EXPECT_EQ(resultsCounterCaption(12), "文件名[12]");
  EXPECT_EQ(totalLine(512 + 1536), "本次共扫描到约 2.00MB 垃圾。");
  EXPECT_EQ(totalLine(0), "本次共扫描到约 0.00MB 垃圾。");
  EXPECT_EQ(totalMegabytesText(1300.0 * 1024), "1300.00");
  EXPECT_EQ(totalMegabytesText(3.0 * 1024 * 1024), "3072.00");
}

}  // namespace
}  // namespace qinglan
