#include "scan/SoftwareCacheScan.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "rules/SQLiteTable3.h"
#include "support/RecordingScanFront.h"
#include "support/RulesDbFile.h"
#include "support/Symlink.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

using platform::DriveKind;
using test::CacheRuleRow;

class SoftwareCacheScanTest : public ::testing::Test {
 protected:
  SoftwareCacheScanTest() {
    m_settings.dbFileName = m_dir.path("app/ccdb.db");
    m_dir.makeFolder("app");
    for (const char* volume : {"C", "D", "E", "F", "G"})
      m_dir.makeFolder(volume);
    m_options.listVolumes = [this] {
      return std::vector<platform::Volume>{{root("C"), DriveKind::Fixed},
                                           {root("D"), DriveKind::Fixed},
                                           {root("E"), DriveKind::Optical},
                                           {root("F"), DriveKind::Removable},
                                           {root("G"), DriveKind::Remote}};
    };
  }

  std::string root(const std::string& volume) const { return m_dir.path(volume + "/"); }

  // Runs the scan; the error text, or "" when it ends normally.
  std::string scan(const std::vector<CacheRuleRow>& rules) {
    test::writeCacheRules(m_settings.dbFileName, rules);
    try {
      runSoftwareCacheScan(m_settings, m_view, m_options);
    } catch (const std::exception& error) {
      return error.what();
    }
    return {};
  }

  test::TempDir m_dir;
  ScanSettings m_settings;
  SoftwareCacheScanOptions m_options;
  test::RecordingScanFront m_view;
};

TEST_F(SoftwareCacheScanTest, EachRuleSearchesItsFolderOnEveryLocalDiskInOrderWithoutSubfolders) {
  for (const char* path : {"C/Temp/a.tmp", "D/Temp/b.dat", "E/Temp/c.tmp", "F/Temp/d.tmp", "G/Temp/e.tmp",
                           "C/Temp/sub/f.tmp", "C/Temp/g.txt", "F/Temp/.h.tmp"})
    m_dir.writeFile(path, "x");

  EXPECT_EQ(scan({{"Temp", "*.tmp\r\n*.dat", "播放器缓存"}}), "");

  EXPECT_EQ(m_view.fullPaths(),
            (std::vector<std::string>{m_dir.path("C/Temp/a.tmp"), m_dir.path("D/Temp/b.dat"),
                                      m_dir.path("F/Temp/.h.tmp"), m_dir.path("F/Temp/d.tmp")}));
  for (const ResultsRow& row : m_view.rows) {
    EXPECT_TRUE(row.checked);
    EXPECT_EQ(row.status, "");
    EXPECT_EQ(row.ruleNote, "播放器缓存");  // the rule speaks for a .dat it takes
  }
  EXPECT_EQ(m_view.eventsStartingWith("text=正在扫描…"),
            std::vector<std::string>{"text=正在扫描…播放器缓存"});
  EXPECT_EQ(m_view.eventsStartingWith("counter="),
            (std::vector<std::string>{"counter=文件名[0]", "counter=文件名[1]", "counter=文件名[2]",
                                      "counter=文件名[4]"}));
}

TEST_F(SoftwareCacheScanTest, AllNamesListsSubfoldersAsFoldersThatCountNothing) {
  m_dir.writeFile("C/Cache/x.dat", std::string(1024, 'x'));
  m_dir.writeFile("C/Cache/nodot", "x");
  m_dir.writeFile("C/Cache/sub/inside.dat", "x");

  EXPECT_EQ(scan({{"Cache", "*.*", "缓存"}}), "");

  EXPECT_EQ(m_view.rowNames(), (std::vector<std::string>{"sub", "x.dat"}));
  EXPECT_EQ(m_view.rows[0].sizeText, "文件夹");
  EXPECT_EQ(m_view.rows[1].sizeText, "1.00KB");
  EXPECT_EQ(m_view.ended.totalKB, 1);
}

TEST_F(SoftwareCacheScanTest, AnEmptyDirSearchesTheVolumeRootItself) {
  m_dir.writeFile("D/top.log", "x");
  m_dir.writeFile("D/Temp/below.log", "x");

  EXPECT_EQ(scan({{"", "*.log", "日志"}}), "");

  EXPECT_EQ(m_view.fullPaths(), std::vector<std::string>{m_dir.path("D/top.log")});
}

// A rule folder that is or passes through a link lists nothing, nor does a mask taking every
// name at a volume root, however the mask or the root is spelt; the narrower masks there list
// files, never folders.
TEST_F(SoftwareCacheScanTest, LinkedRuleFoldersAndEveryNameAtAVolumeRootListNothing) {
  if (!test::kSymlinksMade)
    GTEST_SKIP() << test::kNoSymlinks;
  m_dir.writeFile("outside/x.tmp", "x");
  m_dir.writeFile("D/top.log", "x");
  m_dir.makeFolder("D/old.log");
  m_dir.makeFolder("C/Real");
  ASSERT_EQ(test::makeSymlink(m_dir.path("outside"), m_dir.path("C/Linked")), 0);
  ASSERT_EQ(test::makeSymlink(m_dir.path("outside"), m_dir.path("C/Real/Inner")), 0);

  EXPECT_EQ(scan({{"Linked", "*", "链接"},
                  {"Real\\Inner", "*.tmp", "链接下"},
                  {"", "*.log\r\n*", "全部"},
                  {"", "?*", "全部"},
                  {"", "*.*", "全部"},
                  {"", "*??", "全部"},
                  {"", "?*?", "全部"},
                  {"", "*?*?", "全部"},
                  {"", "**??", "全部"},
                  {".", "*", "根"},
                  {".\\", "*", "根"},
                  {"./", "?*", "根"},
                  {"\\.\\.", "*.*", "根"},
                  {"", "*.log", "日志"},
                  {".\\.", "*.log", "根下日志"}}),
            "");

  EXPECT_EQ(m_view.fullPaths(), (std::vector<std::string>{root("D") + "top.log", root("D") + "top.log"}));
}

TEST_F(SoftwareCacheScanTest, ProgressRunsOverTheRulesAndTheWindowReturnsToIdle) {
  m_view.rows.emplace_back().name = "from the large file scan";

  EXPECT_EQ(scan({{"A", "*", "甲"}, {"B", "*", "乙"}}), "");

  EXPECT_TRUE(m_view.rows.empty());
  const std::vector<std::string> prepared(m_view.events.begin(), m_view.events.begin() + 9);
  EXPECT_EQ(prepared,
            (std::vector<std::string>{"text=准备扫描……", "summary=正在扫描……", "clear", "counter=文件名[0]",
                                      "begin", "max=2", "origin=", "note=", "position=1"}));
  EXPECT_EQ(m_view.eventsStartingWith("position="), (std::vector<std::string>{"position=1", "position=2"}));
  const std::vector<std::string> finished(m_view.events.end() - 3, m_view.events.end());
  EXPECT_EQ(finished, (std::vector<std::string>{"text=扫描完成！", "summary=本次共扫描到约 0.00MB 垃圾。",
                                                "end=finished"}));
}

TEST_F(SoftwareCacheScanTest, DirsAreFoundWithoutRegardToCaseFromTheDriveRootAndNeverThroughALink) {
  if (!test::kSymlinksMade)
    GTEST_SKIP() << test::kNoSymlinks;
  m_dir.writeFile("C/TEMP/a.tmp", "x");
  m_dir.writeFile("D/temp/b.tmp", "x");
  m_dir.writeFile("outside/c.tmp", "x");
  ASSERT_EQ(test::makeSymlink(m_dir.path("outside"), m_dir.path("F/Temp")), 0);

  EXPECT_EQ(scan({{"\\Temp", "*.tmp", "临时"}}), "");

  EXPECT_EQ(m_view.fullPaths(),
            (std::vector<std::string>{root("C") + "TEMP/a.tmp", root("D") + "temp/b.tmp"}));
}

TEST_F(SoftwareCacheScanTest, ADirThatClimbsOutOfTheVolumeIsSkipped) {
  m_dir.writeFile("outside/x.tmp", "x");

  EXPECT_EQ(
      scan({{"..\\outside", "*", "上级"}, {"\\..\\outside", "*", "根上级"}, {"C:\\outside", "*", "盘符"}}),
      "");

  EXPECT_TRUE(m_view.rows.empty());
  EXPECT_EQ(m_view.eventsStartingWith("counter="), std::vector<std::string>{"counter=文件名[0]"});
}

TEST_F(SoftwareCacheScanTest, AnInvalidMaskStopsTheScanWithTheRowsFoundSoFar) {
  m_dir.writeFile("C/Temp/a.tmp", "x");
  m_dir.writeFile("D/Temp/b.tmp", "x");

  const std::string error =
      scan({{"Temp", "*.tmp", "临时"}, {"Temp", "[abc", "坏规则"}, {"Temp", "*", "不再搜索"}});

  EXPECT_EQ(error, "'[abc' is an invalid mask at (5)");
  EXPECT_EQ(m_view.rowNames(), (std::vector<std::string>{"a.tmp", "b.tmp"}));
  EXPECT_TRUE(m_view.eventsStartingWith("text=正在扫描…不再搜索").empty());
  EXPECT_EQ(m_view.events.back(), "end=failed");
}

TEST_F(SoftwareCacheScanTest, AFailingQueryKeepsTheEarlierRows) {
  {
    TSQLiteDatabase db(m_settings.dbFileName, TSQLiteDatabase::OpenMode::Create);
    db.Execute("CREATE TABLE ccdb (Id INTEGER)");
  }
  m_view.rows.emplace_back().name = "earlier";

  try {
    runSoftwareCacheScan(m_settings, m_view, m_options);
    FAIL() << "no error";
  } catch (const ESQLiteException& error) {
    EXPECT_NE(std::string(error.what()).find("no such table: CacheClean"), std::string::npos);
  }

  EXPECT_EQ(m_view.rowNames(), std::vector<std::string>{"earlier"});
  EXPECT_EQ(m_view.events, std::vector<std::string>{"end=failed"});
}

}  // namespace
}  // namespace qinglan
