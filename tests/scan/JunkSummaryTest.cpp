#include "scan/JunkSummary.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Codepage.h"
#include "scan/Findings.h"
#include "scan/ResultsRow.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

ResultsRow finding(const std::string& location, int64_t size, const std::string& item, bool folder = false) {
  ResultsRow row;
  row.location = location;
  row.size = size;
  row.isFolder = folder;
  row.scanItem = item;
  return row;
}

TEST(JunkSummaryTest, SumsEachResourceAndScanItemLargestFirstWithTheirRows) {
  test::TempDir dir;
  dir.writeFile("CloudCache/1001/Resource.ini", platform::utf8ToGbk("[Info]\r\nResourceName=示例\r\n"));
  const std::string cache = dir.path("CloudCache");
  const auto in = [&](const std::string& folder) { return dir.path("CloudCache/" + folder); };
  const std::vector<ResultsRow> rows = {finding(in("1002/0/"), 100, "日志文件"),
                                        finding(in("1001/0/"), 300, "临时文件"),
                                        finding(in("1001/0/sub/"), 7, "日志文件", true),
                                        finding(in("1002/1/"), 50, "临时文件"),
                                        finding(test::nativeSeparators("/elsewhere/"), 5, ""),
                                        finding(in("1001/0/"), 1, "日志文件")};

  Findings findings;
  for (const ResultsRow& row : rows)
    findings.append(row);

  const JunkSummary summary = summarizeJunk(cache, findings);

  ASSERT_EQ(summary.resources.size(), 3u);
  const JunkGroup& first = summary.resources[0];
  EXPECT_EQ(first.id, "1001");
  EXPECT_EQ(first.name, "示例");
  EXPECT_EQ(first.rows, 3u);
  EXPECT_EQ(first.size, 301);  // the folder row counts as a row and adds nothing
  EXPECT_EQ(first.rowIndexes, (std::vector<size_t>{1, 2, 5}));
  EXPECT_EQ(summary.resources[1].id, "1002");
  EXPECT_EQ(summary.resources[1].name, "未知");  // no Resource.ini
  EXPECT_EQ(summary.resources[1].size, 150);
  EXPECT_EQ(summary.resources[2].id, "");
  ASSERT_EQ(summary.scanItems.size(), 3u);
  EXPECT_EQ(summary.scanItems[0].name, "临时文件");
  EXPECT_EQ(summary.scanItems[0].size, 350);
  EXPECT_EQ(summary.scanItems[1].rowIndexes, (std::vector<size_t>{0, 2, 5}));
  // Both views add up to the rows.
  for (const auto* groups : {&summary.resources, &summary.scanItems}) {
    int64_t size = 0;
    size_t count = 0;
    for (const JunkGroup& group : *groups) {
      size += group.size;
      count += group.rows;
    }
    EXPECT_EQ(size, 456);
    EXPECT_EQ(count, rows.size());
  }

  const std::vector<JunkGroup> top = largestWithOthers(summary.resources, 1);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(top[1].name, "其他");
  EXPECT_EQ(top[1].size, 155);
  EXPECT_EQ(top[1].rowIndexes, (std::vector<size_t>{0, 3, 4}));
  EXPECT_EQ(largestWithOthers(summary.resources, 3).size(), 3u);
}

}  // namespace
}  // namespace qinglan
