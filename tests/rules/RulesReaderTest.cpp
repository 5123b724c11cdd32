#include "rules/RulesReader.h"

#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/Codepage.h"
#include "support/RulesDbFile.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

using test::TempDir;

// An SQL literal holding exactly these bytes as text.
std::string textBytesLiteral(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kHex[c >> 4];
    hex += kHex[c & 15];
  }
  return "CAST(x'" + hex + "' AS TEXT)";
}

class RulesReaderTest : public ::testing::Test {
 protected:
  RulesReaderTest() : m_db(m_dir.path("ccdb.db"), TSQLiteDatabase::OpenMode::Create) {
    m_db.Execute("CREATE TABLE Info (KeyName TEXT, KeyValue TEXT, Px INTEGER)");
  }

  void addNote(const std::string& key, const std::string& note, int px) {
    m_db.Execute("INSERT INTO Info VALUES (" + quoteSqlText(key) + ", " + quoteSqlText(note) + ", " +
                 std::to_string(px) + ")");
  }

  TempDir m_dir;
  TSQLiteDatabase m_db;
};

TEST_F(RulesReaderTest, ScanItemsAreReadByColumnNameAsStored) {
  // Columns in another order, and one the program does not know.
  m_db.Execute(
      "CREATE TABLE ccdb (File TEXT, Extra TEXT, Folder TEXT, UnScan INTEGER, Name TEXT, Id INTEGER)");
  m_db.Execute("INSERT INTO ccdb VALUES ('*.log\n*.tmp', 'x', 'Saved\\Logs', 0, '日志文件', 3)");
  m_db.Execute("INSERT INTO ccdb VALUES ('*.dmp', NULL, NULL, NULL, '转储', 4)");
  m_db.Execute("INSERT INTO ccdb VALUES ('*.bak', NULL, '', '1', '备份', 5)");
  std::vector<ScanItem> items = readScanItems(m_db, "ccdb");
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].id, "3");
  EXPECT_EQ(items[0].name, "日志文件");
  EXPECT_EQ(items[0].folder, "Saved\\Logs");
  EXPECT_EQ(items[0].file, "*.log\n*.tmp");
  EXPECT_FALSE(items[0].excluded());
  EXPECT_EQ(items[1].folder, "");
  EXPECT_FALSE(items[1].excluded()) << "a NULL UnScan includes the item";
  EXPECT_TRUE(items[2].excluded()) << "UnScan stored as the text 1 excludes it like the number";
}

TEST(ScanItemTest, OnlyExactlyOneExcludes) {
  const std::pair<const char*, bool> cases[] = {{"1", true},   {"0", false},  {"", false},
                                                {"01", false}, {" 1", false}, {"2", false}};
  for (const auto& [unScan, excluded] : cases) {
    ScanItem item;
    item.unScan = unScan;
    EXPECT_EQ(item.excluded(), excluded) << '"' << unScan << '"';
  }
}

TEST_F(RulesReaderTest, MissingColumnFailsAtItsFirstReadAndEmptyTablesReadNothing) {
  m_db.Execute("CREATE TABLE ccdb (Id INTEGER, Name TEXT, UnScan INTEGER, File TEXT)");
  EXPECT_TRUE(readScanItems(m_db, "ccdb").empty());
  m_db.Execute("INSERT INTO ccdb VALUES (1, 'a', 0, '*.log')");
  EXPECT_EQ(test::errorOf([&] { readScanItems(m_db, "ccdb"); }), "Field not found in dataset: Folder");

  // Each reader names the first missing column in the order it reads them: the scan list dialog
  // Id, Name, UnScan; the scan UnScan, Folder, File, whether or not the item is switched off.
  m_db.Execute("CREATE TABLE states (Id INTEGER, Folder TEXT, File TEXT)");
  m_db.Execute("INSERT INTO states VALUES (1, '', '*.log')");
  EXPECT_EQ(test::errorOf([&] { readScanItemStates(m_db, "states"); }), "Field not found in dataset: Name");
  m_db.Execute("CREATE TABLE bare (UnScan)");
  m_db.Execute("INSERT INTO bare VALUES (1)");
  EXPECT_EQ(test::errorOf([&] { scanItemsToScan(*queryScanItems(m_db, "bare")); }),
            "Field not found in dataset: Folder");
  m_db.Execute("CREATE TABLE noFile (UnScan, Folder)");
  m_db.Execute("INSERT INTO noFile VALUES (1, '')");
  EXPECT_EQ(test::errorOf([&] { scanItemsToScan(*queryScanItems(m_db, "noFile")); }),
            "Field not found in dataset: File");
}

TEST_F(RulesReaderTest, AScanReadsEveryItemWhetherSwitchedOnOrOff) {
  m_db.Execute("CREATE TABLE ccdb (UnScan, Folder TEXT, File TEXT)");
  m_db.Execute("INSERT INTO ccdb VALUES (1, 'off', '*.off'), (0, 'logs', '*.log')");
  const std::vector<ScanItem> items = scanItemsToScan(*queryScanItems(m_db, "ccdb"));
  ASSERT_EQ(items.size(), 2u);
  EXPECT_TRUE(items[0].excluded());
  EXPECT_FALSE(items[1].excluded());
  EXPECT_EQ(items[1].name, "") << "a table without Name still scans";
  EXPECT_EQ(items[1].folder, "logs");
  EXPECT_EQ(items[1].file, "*.log");
}

TEST_F(RulesReaderTest, CacheRulesAreConvertedFromGbk) {
  m_db.Execute("CREATE TABLE CacheClean (dir TEXT, FileName TEXT, Des TEXT)");
  m_db.Execute("INSERT INTO CacheClean VALUES (" + textBytesLiteral(platform::utf8ToGbk("视频\\缓存")) +
               ", '*.tmp', " + textBytesLiteral(platform::utf8ToGbk("网络电视的播放缓存")) + ")");
  std::vector<CacheRule> rules = readCacheRules(m_db);
  ASSERT_EQ(rules.size(), 1u);
  EXPECT_EQ(rules[0].dir, "视频\\缓存");
  EXPECT_EQ(rules[0].fileName, "*.tmp");
  EXPECT_EQ(rules[0].des, "网络电视的播放缓存");
}

TEST_F(RulesReaderTest, NoteByWholeNameBeforeExtension) {
  addNote(".log", "日志文件。", 1);
  addNote("Player.LOG", "引擎日志。", 0);
  addNote("It's.tmp", "带引号的名字。", 0);
  addNote("运行日志.LOG", "中文名字。", 0);
  EXPECT_EQ(lookupNote(m_db, "player.log"), "引擎日志。");
  EXPECT_EQ(lookupNote(m_db, "other.Log"), "日志文件。");
  EXPECT_EQ(lookupNote(m_db, "IT'S.TMP"), "带引号的名字。");
  EXPECT_EQ(lookupNote(m_db, "运行日志.log"), "中文名字。");
  EXPECT_EQ(lookupNote(m_db, "README"), "");
  EXPECT_EQ(lookupNote(m_db, ".log"), "日志文件。") << "a whole name with Px 1 is found as the extension";
}

TEST_F(RulesReaderTest, EmptyWholeNameNoteFallsBackAndFirstRowWins) {
  addNote("cache.dat", "", 0);
  addNote(".dat", "数据文件。", 1);
  addNote(".dat", "第二条。", 1);
  EXPECT_EQ(lookupNote(m_db, "cache.dat"), "数据文件。");
}

TEST_F(RulesReaderTest, MissingTableStopsAtTheQuery) {
  EXPECT_THROW(readCacheRules(m_db), ESQLiteException);
  EXPECT_THROW(readScanItems(m_db, "ccdb"), ESQLiteException);
}

}  // namespace
}  // namespace qinglan
