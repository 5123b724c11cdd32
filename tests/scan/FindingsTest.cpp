#include "scan/Findings.h"

#include <memory>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

namespace qinglan {
namespace {

ResultsRow finding(std::string name, std::string location, int64_t size,
                   const platform::FindingOrigin& origin) {
  ResultsRow row;
  row.name = std::move(name);
  row.location = std::move(location);
  row.size = size;
  row.sizeText = std::to_string(size) + "B";
  row.dateText = "2013/5/7";
  row.creationTime = 41401.5 + static_cast<double>(size);
  row.checked = size % 2 == 0;
  row.scanItem = "日志";
  row.origin = origin;
  return row;
}

std::vector<ResultsRow> sampleRows() {
  const auto root = std::make_shared<const platform::ScanRoot>(platform::ScanRoot{"/c/", "", "/c/", {}});
  std::vector<ResultsRow> rows = {
      finding("a.log", "/c/1001/0/", 10, {root, {7, 42, 0100000}}),
      // A name that is not UTF-8 comes back byte for byte, and a 128-bit id whole beside a 64-bit one.
      finding("\xff\xfe.tmp", "/c/1001/0/", 11, {root, {7, 43, 0100000, 0x8000000000000002u}}),
      finding("Crashes", "/c/1002/", 0, {root, {8, 44, 040000}}),
      finding("b.log", "/elsewhere/", 12, {}),
  };
  rows[2].isFolder = true;
  rows[2].sizeText = "文件夹";
  rows[2].status = "清理失败";
  rows[3].scanItem.clear();
  rows[1].ruleNoteKey = "Temp";
  rows[2].ruleNote = "缓存";
  return rows;
}

TEST(FindingsTest, RowsComeBackWholeSharingTheirRepeatedTexts) {
  const std::vector<ResultsRow> rows = sampleRows();
  Findings findings;
  for (const ResultsRow& row : rows)
    findings.append(row);
  ASSERT_EQ(findings.count(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(findings.row(i), rows[i]) << i;
    EXPECT_EQ(findings.serial(i), i);
  }
  EXPECT_EQ(findings.text(1, ResultsColumn::Name), rows[1].name);
  EXPECT_EQ(findings.textId(0, ResultsColumn::Location), findings.textId(1, ResultsColumn::Location));
  EXPECT_EQ(findings.textId(0, ResultsColumn::Date), findings.textId(3, ResultsColumn::Date));
  EXPECT_THROW(findings.row(4), std::out_of_range);

  findings.setStatus(0, "清理成功");
  findings.setChecked(1, true);
  EXPECT_EQ(findings.row(0).status, "清理成功");
  EXPECT_TRUE(findings.isChecked(1));
  findings.invertChecks();
  EXPECT_EQ((std::vector<bool>{findings.isChecked(0), findings.isChecked(1), findings.isChecked(2),
                               findings.isChecked(3)}),
            (std::vector<bool>{false, false, false, false}));
  findings.setAllChecked(true);
  EXPECT_TRUE(findings.isChecked(0) && findings.isChecked(3));
}

TEST(FindingsTest, ReorderMovesWholeRowsAndClearForgetsThem) {
  const std::vector<ResultsRow> rows = sampleRows();
  Findings findings;
  for (const ResultsRow& row : rows)
    findings.append(row);
  findings.reorder({3, 0, 2, 1});
  EXPECT_EQ(findings.row(0), rows[3]);
  EXPECT_EQ(findings.row(3), rows[1]);
  EXPECT_EQ(findings.serial(0), 3u);
  for (const std::vector<int>& wrong :
       std::vector<std::vector<int>>{{0, 1}, {0, 1, 1, 2}, {0, 1, 2, 4}, {-1, 0, 1, 2}})
    EXPECT_THROW(findings.reorder(wrong), std::invalid_argument);
  EXPECT_EQ(findings.row(0), rows[3]);

  findings.clear();
  EXPECT_EQ(findings.count(), 0u);
  EXPECT_EQ(findings.texts().size(), 1u);
  findings.append(rows[2]);
  EXPECT_EQ(findings.row(0), rows[2]);
  EXPECT_EQ(findings.serial(0), 0u);
}

}  // namespace
}  // namespace qinglan
