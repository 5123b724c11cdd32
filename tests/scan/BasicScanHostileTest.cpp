#include "scan/BasicScan.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/SQLiteTable3.h"
#include "scan/CleanResults.h"
#include "support/RecordingLister.h"
#include "support/RecordingScanFront.h"
#include "support/RulesDbFile.h"
#include "support/Symlink.h"
#include "support/TempDir.h"

// The basic scan over rules databases and caches no one should ship: each ends in a clear error
// or an ignored rule, with the window back to idle, and nothing outside the cache is listed.
namespace qinglan {
namespace {

namespace fs = std::filesystem;
using test::RecordingLister;
using test::ScanItemRow;
using testing::Each;
using testing::HasSubstr;
using testing::StartsWith;

class BasicScanHostileTest : public testing::Test {
 protected:
  BasicScanHostileTest() {
    m_settings.cloudCachePath = m_dir.path("CloudCache");
    m_settings.dbFileName = m_dir.path("app/ccdb.db");
    m_dir.makeFolder("app");
    m_dir.writeFile("CloudCache/1001/0/a.log", "x");
    m_dir.writeFile("outside.log", "x");
  }

  std::string cache(const std::string& relative) const {
    return m_settings.cloudCachePath + test::nativeSeparators("/" + relative);
  }

  // Runs the scan over resource 1001; the error text, or "" when it ends normally.
  std::string scan() {
    BasicScanOptions options;
    options.lister = &m_lister;
    try {
      runBasicScan(m_settings, {{"r", "1001", true}}, m_view, options);
    } catch (const std::exception& error) {
      return error.what();
    }
    return {};
  }

  // The window is idle again (or was never touched), and the scan stayed inside the cache.
  void expectIdleAndInsideTheCache() const {
    const std::vector<std::string> sessions = m_view.eventsStartingWith("end=");
    if (!sessions.empty()) {
      EXPECT_EQ(m_view.events.back(), sessions.back());
    }
    for (const ResultsRow& row : m_view.rows)
      EXPECT_THAT(row.fullPath(), StartsWith(cache("1001/0/")));
    EXPECT_THAT(m_lister.listed, Each(StartsWith(cache("1001/0"))));
  }

  void sql(const std::string& statement) const {
    TSQLiteDatabase(m_settings.dbFileName, TSQLiteDatabase::OpenMode::Create).Execute(statement);
  }

  test::TempDir m_dir;
  ScanSettings m_settings;
  test::RecordingScanFront m_view;
  RecordingLister m_lister;
};

TEST_F(BasicScanHostileTest, ATruncatedDatabaseFailsClearly) {
  std::vector<ScanItemRow> items;
  for (int i = 0; i < 200; ++i)
    items.push_back({"0", "", "*.log\r\n" + std::string(200, 'x')});
  test::writeScanItems(m_settings.dbFileName, items);
  for (const uintmax_t size : {uintmax_t{4096}, uintmax_t{1000}, uintmax_t{100}}) {
    fs::resize_file(m_settings.dbFileName, size);
    SCOPED_TRACE(size);
    EXPECT_THAT(scan(), testing::AnyOf(HasSubstr("malformed"), HasSubstr("not a database"),
                                       HasSubstr("no such table")));
    expectIdleAndInsideTheCache();
  }
}

TEST_F(BasicScanHostileTest, AFileThatIsNoDatabaseOrLacksTheTableFailsClearly) {
  std::ofstream(m_settings.dbFileName) << "[White]\r\n1002=1\r\n" << std::string(4096, 'x');
  EXPECT_THAT(scan(), HasSubstr("not a database"));
  expectIdleAndInsideTheCache();

  fs::remove(m_settings.dbFileName);
  test::writeInfoNotes(m_settings.dbFileName, {{"a.log", "note", 0}});
  EXPECT_THAT(scan(), HasSubstr("no such table: ccdb"));
  expectIdleAndInsideTheCache();
}

TEST_F(BasicScanHostileTest, NullAndNonUtf8ValuesAreTakenAsTheyRead) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows names are UTF-16 and cannot hold bytes that are not UTF-8";
#endif
  m_dir.writeFile("CloudCache/1001/0/\xB2\xE2/\xFF.log", "x");
  test::writeScanItems(m_settings.dbFileName, {});
  sql("INSERT INTO ccdb (Id, Name, UnScan, Folder, File) VALUES (1, NULL, NULL, NULL, NULL)");
  sql("INSERT INTO ccdb (Id, Name, UnScan, Folder, File) VALUES (2, X'FF', 0, CAST(X'B2E2' AS TEXT), "
      "CAST(X'FF2A' AS TEXT))");

  EXPECT_EQ(scan(), "");
  EXPECT_THAT(m_view.rowNames(), testing::ElementsAre("\xFF.log"));
  expectIdleAndInsideTheCache();
}

TEST_F(BasicScanHostileTest, TenThousandMaskLinesAreAllTried) {
  std::string masks;
  for (int i = 0; i < 10'000; ++i)
    masks += "*.x" + std::to_string(i) + "\r\n";
  test::writeScanItems(m_settings.dbFileName, {{"0", "", masks + "*.log"}});

  EXPECT_EQ(scan(), "");
  EXPECT_THAT(m_view.rowNames(), testing::ElementsAre("a.log"));
}

TEST_F(BasicScanHostileTest, ThirtyStarPlacesMatchAndOneMoreIsAnInvalidMask) {
  std::string thirty;
  for (int i = 0; i < 30; ++i)
    thirty += "*";
  std::string manyStars;
  for (int i = 0; i < 30; ++i)
    manyStars += "*a";
  test::writeScanItems(m_settings.dbFileName, {{"0", "", thirty + "a.log"}});
  EXPECT_EQ(scan(), "");
  EXPECT_THAT(m_view.rowNames(), testing::ElementsAre("a.log"));

  fs::remove(m_settings.dbFileName);
  test::writeScanItems(m_settings.dbFileName, {{"0", "", manyStars + "*"}});
  EXPECT_EQ(scan(), "'" + manyStars + "*' is an invalid mask at (62)");
  expectIdleAndInsideTheCache();
}

// A rule folder is joined to the content folder; a link there leads elsewhere, so the rule finds
// nothing rather than files the cache does not hold.
TEST_F(BasicScanHostileTest, ARuleFolderThatIsALinkIsNotSearched) {
  if (!test::kSymlinksMade)
    GTEST_SKIP() << test::kNoSymlinks;
  ASSERT_EQ(test::makeSymlink("/", cache("1001/0/toRoot")), 0);
  ASSERT_EQ(test::makeSymlink("../..", cache("1001/0/toParent")), 0);
  m_dir.makeFolder("CloudCache/1001/0/real");
  ASSERT_EQ(test::makeSymlink("../toParent", cache("1001/0/real/back")), 0);
  test::writeScanItems(m_settings.dbFileName, {{"0", "toRoot", "*"},
                                               {"0", "toParent", "*.log"},
                                               {"0", "toParent\\..\\..", "*.log"},
                                               {"0", "real\\back", "*.log"},
                                               {"0", "", "*.log"}});

  EXPECT_EQ(scan(), "");
  EXPECT_THAT(m_view.rowNames(), testing::ElementsAre("a.log"));
  expectIdleAndInsideTheCache();
}

TEST_F(BasicScanHostileTest, ContentAndResourceFoldersThatAreLinksAreNotSearched) {
  if (!test::kSymlinksMade)
    GTEST_SKIP() << test::kNoSymlinks;
  m_dir.writeFile("CloudCache/1002/0/b.log", "x");
  ASSERT_EQ(test::makeSymlink("/", cache("1001/1")), 0);
  m_dir.writeFile("CloudCache/1001/2/c.log", "x");
  ASSERT_EQ(test::makeSymlink(cache("1002"), cache("1003")), 0);
  test::writeScanItems(m_settings.dbFileName, {{"0", "", "*"}});

  BasicScanOptions options;
  options.lister = &m_lister;
  runBasicScan(m_settings, {{"r", "1001", true}, {"linked", "1003", true}}, m_view, options);

  // The numbering goes on past the link: it stands where a folder is.
  EXPECT_THAT(m_view.rowNames(), testing::ElementsAre("a.log", "c.log"));
  EXPECT_THAT(m_lister.listed, testing::ElementsAre(cache("1001/0/"), cache("1001/2/")));
}

// Cleaning everything a scan listed in a cache full of links removes the links, never what they
// point at.
TEST_F(BasicScanHostileTest, CleaningAfterAScanNeverReachesBeyondTheCache) {
  if (!test::kSymlinksMade)
    GTEST_SKIP() << test::kNoSymlinks;
  const std::string sibling = m_dir.writeFile("CloudCache/1002/0/keep.log", "x");
  ASSERT_EQ(test::makeSymlink("/", cache("1001/0/toRoot")), 0);
  ASSERT_EQ(test::makeSymlink("..", cache("1001/0/toParent")), 0);
  ASSERT_EQ(test::makeSymlink(m_dir.path("outside.log"), cache("1001/0/outside.log")), 0);
  m_dir.makeFolder("CloudCache/1001/0/sub");
  ASSERT_EQ(test::makeSymlink("../../../1002", cache("1001/0/sub/loop")), 0);
  test::writeScanItems(m_settings.dbFileName, {{"0", "", "*"}, {"0", "sub\\loop", "*"}});

  ASSERT_EQ(scan(), "");
  cleanCheckedResults(m_view);

  EXPECT_FALSE(fs::exists(fs::symlink_status(cache("1001/0/toRoot"))));
  EXPECT_FALSE(fs::exists(fs::symlink_status(cache("1001/0/sub/loop"))));
  EXPECT_TRUE(fs::exists(m_dir.path("outside.log")));
  EXPECT_TRUE(fs::exists(sibling));
  EXPECT_TRUE(fs::is_directory(cache("1001")));
  EXPECT_TRUE(fs::exists("/bin"));
}

// The names of every entry below a folder, links not followed.
std::vector<std::string> treeOf(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    names.push_back(entry.path().string());
  std::sort(names.begin(), names.end());
  return names;
}

// While scans and cleanings run, another thread swaps a resource, a content and a rule folder
// for links to an outside tree and back, and refills the cache: nothing outside is ever deleted.
TEST_F(BasicScanHostileTest, FoldersSwappedForLinksDuringScansAndCleaningsLeaveTheOutsideAlone) {
  if (!test::kSymlinksMade)
    GTEST_SKIP() << test::kNoSymlinks;
  for (const char* file : {"a.log", "0/a.log", "0/Temp/a.log", "Temp/a.log"})
    m_dir.writeFile(std::string("outside/") + file, "keep");
  const std::vector<std::string> outside = treeOf(m_dir.path("outside"));
  test::writeScanItems(m_settings.dbFileName, {{"0", "", "*.log"}, {"0", "Temp", "*"}});
  constexpr int kRounds = 200;
  std::atomic<bool> done{false};
  std::thread swapper([&] {
    for (int round = 0; round < kRounds * 3 && !done; ++round) {
      const std::string victim = cache(std::vector<std::string>{"1001", "1001/0", "1001/0/Temp"}[round % 3]);
      fs::rename(victim, victim + ".parked");
      fs::create_directory_symlink(m_dir.path("outside"), victim);
      std::this_thread::yield();
      fs::remove(victim);
      fs::rename(victim + ".parked", victim);
      m_dir.writeFile("CloudCache/1001/0/a.log", "x");
      m_dir.writeFile("CloudCache/1001/0/Temp/b.log", "x");
    }
  });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (int round = 0; round < kRounds && std::chrono::steady_clock::now() < deadline; ++round) {
    scan();
    cleanCheckedResults(m_view);
  }
  done = true;
  swapper.join();

  EXPECT_EQ(treeOf(m_dir.path("outside")), outside);
}

}  // namespace
}  // namespace qinglan
