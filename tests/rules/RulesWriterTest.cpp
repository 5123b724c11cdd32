#include "rules/RulesWriter.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/RulesDbFile.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

TEST(RulesWriterTest, ChoicesAndTheUserVersionComeBackAsWritten) {
  test::TempDir dir;
  const std::string file = dir.path("ccdb.db");
  test::writeScanItems(file,
                       {{.unScan = "0"}, {.unScan = "1"}, {.unScan = "'1'", .id = "30"}, {.unScan = "NULL"}});
  const std::unique_ptr<TSQLiteDatabase> db = openRulesDatabase(file);
  const std::vector<ScanItem> choices = readUnScanChoices(*db);
  const auto states = [&] {
    std::string text;
    for (const ScanItem& item : readUnScanChoices(*db))
      text += item.id + (item.excluded() ? "-off " : "-on ");
    return text;
  };
  EXPECT_EQ(states(), "1-on 2-off 30-off 4-on ");

  storeScanItemChoice(*db, "ccdb", "2", true);
  storeScanItemChoice(*db, "ccdb", "4", false);
  EXPECT_EQ(states(), "1-on 2-on 30-off 4-off ");
  restoreUnScanChoices(*db, choices);
  EXPECT_EQ(states(), "1-on 2-off 30-off 4-on ");

  EXPECT_EQ(readUserVersion(*db), 0);
  writeUserVersion(*db, 12345);
  EXPECT_EQ(readUserVersion(*db), 12345);
}

}  // namespace
}  // namespace qinglan
