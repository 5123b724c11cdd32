#include "scan/BasicScan.h"

#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "rules/SQLiteTable3.h"
#include "scan/ScanSession.h"
#include "support/RecordingLister.h"
#include "support/RecordingScanFront.h"
#include "support/RulesDbFile.h"
#include "support/Symlink.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

using test::RecordingLister;
using test::ScanItemRow;

ScanSettings settingsIn(const test::TempDir& dir) {
  ScanSettings settings;
  settings.cloudCachePath = dir.path("CloudCache");
  settings.dbFileName = dir.path("ccdb.db");
  return settings;
}

class BasicScanTest : public ::testing::Test {
 protected:
  BasicScanTest() {
    m_settings.cloudCachePath = m_dir.path("CloudCache");
    m_settings.dbFileName = m_dir.path("app/ccdb.db");
    m_dir.makeFolder("app");
  }

  std::string cache(const std::string& relative) const {
    return m_settings.cloudCachePath + test::nativeSeparators("/" + relative);
  }

  void file(const std::string& relative, uintmax_t size = 1) const {
    m_dir.writeFile("CloudCache/" + relative);
    std::filesystem::resize_file(cache(relative), size);
  }

  void rules(const std::vector<ScanItemRow>& items) const {
    test::writeScanItems(m_settings.dbFileName, items);
  }

  // Runs the scan; the error text, or "" when it ends normally.
  std::string scan(const std::vector<ScanResourceRow>& resources) {
    BasicScanOptions options;
    options.lister = &m_lister;
    try {
      runBasicScan(m_settings, resources, m_view, options);
    } catch (const std::exception& error) {
      return error.what();
    }
    return {};
  }

  test::TempDir m_dir;
  ScanSettings m_settings;
  test::RecordingScanFront m_view;
  RecordingLister m_lister;
};

TEST_F(BasicScanTest, RulesRunInOrderInEachContentFolderAndOverlapsAreListedTwice) {
  file("1001/0/a.log");
  file("1001/0/cache/b.log");
  file("1001/1/c.log");
  file("1001/1/CACHE/d.log");  // as a Windows client may name it: found all the same
  file("1001/1/Temp/e.dat");
  rules({{"0", "", "*.log"}, {"0", "cache", "*.log"}, {"0", "Temp", "*"}});

  EXPECT_EQ(scan({{"示例", "1001", true}}), "");
  // The rule of every name in Temp speaks for its finding; the others leave it to the names.
  ASSERT_EQ(m_view.rows.size(), 7u);
  EXPECT_EQ(m_view.rows.back().ruleNoteKey, "Temp");
  m_view.rows.pop_back();

  EXPECT_EQ(m_view.fullPaths(),
            (std::vector<std::string>{cache("1001/0/a.log"), cache("1001/0/cache/b.log"),
                                      cache("1001/0/cache/b.log"), cache("1001/1/c.log"),
                                      cache("1001/1/CACHE/d.log"), cache("1001/1/CACHE/d.log")}));
  EXPECT_EQ(m_view.counter, "文件名[7]");
  for (const ResultsRow& row : m_view.rows) {
    EXPECT_TRUE(row.checked);
    EXPECT_EQ(row.status, "");
    EXPECT_EQ(row.scanItem, "item");  // the rule's Name, whatever case the column name is read in
    EXPECT_EQ(row.ruleNoteKey, "");
  }
}

TEST(BasicScanRootsTest, OneWalkPerContentFolderServesTheRulesNestedInIt) {
  test::TempDir dir;
  dir.writeFile("CloudCache/1001/0/cache/x.log");
  dir.writeFile("CloudCache/1001/1/cache/y.log");
  const ScanSettings settings = settingsIn(dir);
  test::writeScanItems(settings.dbFileName, {{"0", "", "*.log"}, {"0", "cache", "*.log"}});
  test::RecordingScanFront view;
  RecordingLister lister;
  runBasicScan(settings, {{"r", "1001", true}}, view, {&lister});

  const auto at = [&](const std::string& folder) { return dir.path("CloudCache/1001/" + folder); };
  // The content folder is listed once to find the rule's folder in it, then by the one walk that
  // serves both rules.
  EXPECT_EQ(lister.listed, (std::vector<std::string>{at("0/"), at("0/"), at("0/cache/"), at("1/"), at("1/"),
                                                     at("1/cache/")}));
}

TEST_F(BasicScanTest, OnlyAnUnScanThatReadsOneSwitchesARuleOff) {
  for (const char* extension : {"text", "integer", "null", "zero", "empty"})
    file(std::string("1001/0/a.") + extension);
  rules({{"'1'", "", "*.text"},
         {"1", "", "*.integer"},
         {"NULL", "", "*.null"},
         {"0", "", "*.zero"},
         {"''", "", "*.empty"}});

  EXPECT_EQ(scan({{"r", "1001", true}}), "");

  EXPECT_EQ(m_view.rowNames(), (std::vector<std::string>{"a.null", "a.zero", "a.empty"}));
}

TEST_F(BasicScanTest, NumberingEndsAtTheFirstMissingContentFolder) {
  file("1001/0/a.log");
  file("1001/2/b.log");
  file("1002/1/c.log");
  file("1003/0/d.log");
  rules({{"0", "", "*.log"}});

  EXPECT_EQ(scan({{"one", "1001", true}, {"two", "1002", true}, {"three", "1003", false}}), "");

  EXPECT_EQ(m_view.rowNames(), std::vector<std::string>{"a.log"});
}

TEST_F(BasicScanTest, TheWindowIsPreparedProgressesOverEveryRowAndReturnsToIdle) {
  file("1001/0/a.log");
  file("1003/0/b.log");
  rules({{"0", "", "*.log"}});

  EXPECT_EQ(scan({{"甲", "1001", true}, {"乙", "1002", false}, {"丙", "1003", true}}), "");

  const std::vector<std::string> prepared(m_view.events.begin(), m_view.events.begin() + 8);
  EXPECT_EQ(prepared, (std::vector<std::string>{"max=3", "text=准备扫描……", "summary=正在扫描……", "clear",
                                                "counter=文件名[0]", "begin", "origin=", "note="}));
  EXPECT_EQ(m_view.eventsStartingWith("position="),
            (std::vector<std::string>{"position=0", "position=1", "position=2"}));
  EXPECT_EQ(m_view.eventsStartingWith("text=正在扫描…"),
            (std::vector<std::string>{"text=正在扫描…甲", "text=正在扫描…乙", "text=正在扫描…丙"}));
  const std::vector<std::string> finished(m_view.events.end() - 3, m_view.events.end());
  EXPECT_EQ(finished, (std::vector<std::string>{"text=扫描完成！", "summary=本次共扫描到约 0.00MB 垃圾。",
                                                "end=finished"}));
}

TEST_F(BasicScanTest, TheTotalCountsFilesAsOftenAsTheyAreListedAndFoldersNot) {
  file("1001/0/half.log", 512 * 1024);
  file("1001/0/more.log", 1536 * 1024);
  m_dir.makeFolder("CloudCache/1001/0/Crashes");
  file("1001/0/twice.tmp", 256 * 1024);
  rules({{"0", "", "*.log\r\nCrashes"}, {"0", "", "*.tmp"}, {"0", "", "twice.*"}});

  EXPECT_EQ(scan({{"r", "1001", true}}), "");

  EXPECT_EQ(m_view.rowNames(),
            (std::vector<std::string>{"Crashes", "half.log", "more.log", "twice.tmp", "twice.tmp"}));
  EXPECT_EQ(m_view.rows[0].sizeText, "文件夹");
  EXPECT_EQ(m_view.rows[1].sizeText, "512.00KB");
  EXPECT_EQ(m_view.ended.totalKB, 512 + 1536 + 2 * 256);
  EXPECT_EQ(m_view.summary, "本次共扫描到约 2.50MB 垃圾。");
}

TEST_F(BasicScanTest, ARuleWhoseFolderClimbsOutIsSkippedWithoutASearch) {
  file("1001/0/keep/a.log");
  file("1002/0/b.log");
  file("outside.log");
  rules({{"0", "..\\..\\1002\\0", "*"},
         {"0", "keep\\..\\..\\..", "*"},
         {"0", "\\" + m_dir.path("CloudCache").substr(1), "*"},
         {"0", "C:\\Temp", "*"},
         {"0", "keep", "*.log"}});

  EXPECT_EQ(scan({{"r", "1001", true}}), "");

  EXPECT_EQ(m_view.fullPaths(), std::vector<std::string>{cache("1001/0/keep/a.log")});
  for (const std::string& folder : m_lister.listed)
    EXPECT_TRUE(folder.starts_with(cache("1001/0/"))) << folder;
}

TEST_F(BasicScanTest, AnInvalidMaskStopsTheScanAfterTheRowsFoundBeforeIt) {
  file("1001/0/a.log");
  file("1001/0/b.txt");
  file("1001/0/sub/c.tmp");
  file("1001/0/sub/deep/d.dat");
  file("1001/0/sub/e.log");
  file("1001/1/f.log");
  rules({{"0", "", "*.log"}, {"0", "sub", "*.tmp"}, {"0", "", "*.log\r\n[abc"}, {"0", "sub\\deep", "*.dat"}});

  EXPECT_EQ(scan({{"r", "1001", true}}), "'[abc' is an invalid mask at (5)");

  // The third rule lists a.log, then raises at b.txt; nothing of folder 1 is searched.
  EXPECT_EQ(m_view.rowNames(), (std::vector<std::string>{"a.log", "e.log", "c.tmp", "a.log"}));
  EXPECT_EQ(m_view.counter, "文件名[3]");
  EXPECT_EQ(m_view.events.back(), "end=failed");
}

TEST(BasicScanWalksTest, RulesSharingWalksListWhatOneSearchPerRuleWouldList) {
  if (!test::kSymlinksMade)
    GTEST_SKIP() << test::kNoSymlinks;
  test::TempDir dir;
  const std::vector<std::string> files = {
      "1001/0/a.log",       "1001/0/B.LOG",          "1001/0/x.tmp",          "1001/0/Readme",
      "1001/0/sub/c.tmp",   "1001/0/sub/e.log",      "1001/0/sub/deep/d.dat", "1001/0/sub/deep/g.log",
      "1001/0/sub.x/h.log", "1001/0/other/i.tmp",    "1001/1/f.log",          "1001/1/sub/deep/j.dat",
      "1002/0/k.log",       "1002/0/sub/deep/l.dat", "1002/1/m.tmp"};
  for (const std::string& relative : files)
    dir.writeFile("CloudCache/" + relative, "x");
  std::filesystem::create_directory_symlink(dir.path("CloudCache/1001/0/sub"),
                                            dir.path("CloudCache/1001/0/ln"));
  const ScanSettings settings = settingsIn(dir);
  test::writeScanItems(settings.dbFileName, {{"0", "", "*.log"},
                                             {"0", "sub", "*.tmp\r\n*.log"},
                                             {"0", "sub\\deep", "*.*"},
                                             {"1", "", "*"},
                                             {"0", "", "*.*"},
                                             {"0", "ln", "*.log"},
                                             {"0", "sub", "*.log"},
                                             {"0", "", "*.tmp"},
                                             {"0", "sub\\deep", "*.dat\r\n[z"},
                                             {"0", "", "*"}});
  const std::vector<ScanResourceRow> resources = {{"a", "1001", true}, {"b", "1002", true}};

  // The rows, the error and the closing status.
  auto run = [&](const std::set<std::string>& refused) {
    test::RecordingScanFront view;
    RecordingLister lister;
    for (const std::string& folder : refused)
      lister.refused.insert(dir.path("CloudCache/1001/0/" + folder + "/"));
    std::string error;
    try {
      runBasicScan(settings, resources, view, {&lister});
    } catch (const std::exception& raised) {
      error = raised.what();
    }
    std::vector<std::string> listed;
    for (const ResultsRow& row : view.rows)
      listed.push_back(row.fullPath() + " " + row.sizeText);
    return std::make_tuple(listed, error, view.text);
  };

  // What one search per rule lists in 1001/0, rule after rule, up to the invalid mask of the
  // ninth; folders end with "/". Unreadable: a rule's folder with another rule's folder below it,
  // and two plain folders.
  const std::vector<std::pair<std::set<std::string>, std::vector<std::string>>> refusals = {
      {{}, {"a.log",
            "B.LOG",
            "sub/e.log",
            "sub.x/h.log",
            "sub/deep/g.log",
            "sub/c.tmp",
            "sub/e.log",
            "sub/deep/g.log",
            "sub/deep/d.dat",
            "sub/deep/g.log",
            "a.log",
            "B.LOG",
            "ln/",
            "other/",
            "sub/",
            "sub.x/",
            "x.tmp",
            "other/i.tmp",
            "sub/c.tmp",
            "sub/deep/",
            "sub/e.log",
            "sub.x/h.log",
            "sub/deep/d.dat",
            "sub/deep/g.log",
            "sub/e.log",
            "sub/deep/g.log",
            "x.tmp",
            "other/i.tmp",
            "sub/c.tmp",
            "sub/deep/d.dat"}},
      {{"sub", "other", "sub.x"},
       {"a.log", "B.LOG", "sub/deep/d.dat", "sub/deep/g.log", "a.log", "B.LOG", "ln/", "other/", "sub/",
        "sub.x/", "x.tmp", "x.tmp", "sub/deep/d.dat"}}};
  for (const auto& [refused, names] : refusals) {
    SCOPED_TRACE(refused.size());
    std::vector<std::string> expected;
    for (const std::string& name : names) {
      const bool folder = name.ends_with('/');
      expected.push_back(dir.path("CloudCache/1001/0/" + (folder ? name.substr(0, name.size() - 1) : name)) +
                         (folder ? " 文件夹" : " 1B"));
    }
    const auto [listed, error, text] = run(refused);
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(error, "'[z' is an invalid mask at (3)");
    EXPECT_EQ(text, "扫描未完成！" + unreadableFoldersNote(static_cast<int32_t>(refused.size())));
  }
}

TEST_F(BasicScanTest, AFailingQueryLeavesTheResultsAndReturnsToIdle) {
  {
    TSQLiteDatabase db(m_settings.dbFileName, TSQLiteDatabase::OpenMode::Create);
    db.Execute("CREATE TABLE other (x INTEGER)");
  }
  m_view.rows.emplace_back().name = "earlier";

  const std::string error = scan({{"r", "1001", true}});

  EXPECT_NE(error.find("no such table: ccdb"), std::string::npos) << error;
  EXPECT_EQ(m_view.rowNames(), std::vector<std::string>{"earlier"});
  EXPECT_EQ(m_view.events, std::vector<std::string>{"end=failed"});
}

TEST_F(BasicScanTest, AMissingColumnFailsAtTheFirstContentFolderOnly) {
  {
    TSQLiteDatabase db(m_settings.dbFileName, TSQLiteDatabase::OpenMode::Create);
    db.Execute("CREATE TABLE ccdb (Id INTEGER, UnScan INTEGER, File TEXT)");
    db.Execute("INSERT INTO ccdb VALUES (1, 0, '*.log')");
  }
  file("1001/1/a.log");
  EXPECT_EQ(scan({{"r", "1001", true}}), "");
  EXPECT_EQ(m_view.summary, "本次共扫描到约 0.00MB 垃圾。");

  file("1001/0/a.log");
  EXPECT_EQ(scan({{"r", "1001", true}}), "Field not found in dataset: Folder");
  EXPECT_TRUE(m_view.rows.empty());
  EXPECT_EQ(m_view.events.back(), "end=failed");
}

TEST_F(BasicScanTest, ADatabaseThatCannotBeOpenedChangesNothing) {
  m_settings.dbFileName = m_dir.writeFile("app/not-a-folder") + "/ccdb.db";

  EXPECT_NE(scan({{"r", "1001", true}}), "");

  EXPECT_TRUE(m_view.events.empty());
}

}  // namespace
}  // namespace qinglan
