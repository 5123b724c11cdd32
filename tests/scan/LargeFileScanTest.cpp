#include "scan/LargeFileScan.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/RecordingLister.h"
#include "support/RecordingScanFront.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

constexpr uintmax_t kMiB = 1 << 20;

class LargeFileScanTest : public ::testing::Test {
 protected:
  LargeFileScanTest() : m_cache(m_dir.makeFolder("CloudCache")) {}

  // A sparse file of the given size below the cache.
  void file(const std::string& relative, uintmax_t size) const {
    m_dir.writeFile("CloudCache/" + relative);
    std::filesystem::resize_file(m_dir.path("CloudCache/" + relative), size);
  }

  void scan(const LargeFileScanOptions& options) { runLargeFileScan(m_cache, options, m_view); }

  test::TempDir m_dir;
  std::string m_cache;
  test::RecordingScanFront m_view;
};

LargeFileScanOptions atLeast(int64_t megabytes) {
  LargeFileScanOptions options;
  options.minimumMegabytes = megabytes;
  return options;
}

TEST_F(LargeFileScanTest, TheThresholdIsInclusiveAndFilesAreListedUnchecked) {
  file("1001/0/exact.pak", 500 * kMiB);
  file("1001/0/under.pak", 500 * kMiB - 1);
  file("1002/1/deep/er/over.pak", 600 * kMiB);
  file("1001/0/.hidden.pak", 700 * kMiB);

  scan(atLeast(500));

  EXPECT_EQ(m_view.rowNames(), (std::vector<std::string>{".hidden.pak", "exact.pak", "over.pak"}));
  for (const ResultsRow& row : m_view.rows) {
    EXPECT_FALSE(row.checked);
    EXPECT_EQ(row.status, "");
  }
  EXPECT_EQ(m_view.rows[1].sizeText, "500.00MB");
  EXPECT_EQ(m_view.summary, "本次共扫描到约 1800.00MB 垃圾。");
  EXPECT_EQ(m_view.counter, "文件名[3]");
}

TEST_F(LargeFileScanTest, FilesOfTwoGigabytesAndMoreCountWithTheirTrueSize) {
  file("1001/0/huge.pak", 3 * 1024 * kMiB);
  file("1001/0/bigger.pak", 4608 * kMiB);

  scan(atLeast(500));

  EXPECT_EQ(m_view.rowNames(), (std::vector<std::string>{"bigger.pak", "huge.pak"}));
  EXPECT_EQ(m_view.rows[0].sizeText, "4.50GB");
  EXPECT_EQ(m_view.rows[1].sizeText, "3.00GB");
  EXPECT_EQ(m_view.rows[1].size, int64_t{3} << 30);
  EXPECT_EQ(m_view.summary, "本次共扫描到约 7680.00MB 垃圾。");
}

TEST_F(LargeFileScanTest, AllFilesMeansEveryFileAndFoldersAreNeverListed) {
  file("1001/0/nodot", 2 * kMiB);
  file("1001/0/a.b.c", 2 * kMiB);
  m_dir.makeFolder("CloudCache/1001/0/folder.big");

  scan(atLeast(1));

  EXPECT_EQ(m_view.rowNames(), (std::vector<std::string>{"a.b.c", "nodot"}));
}

TEST_F(LargeFileScanTest, MediaFilesAreMatchedByExtensionWithoutRegardToCase) {
  for (const char* name : {"a.MP4", "b.mp4.part", "c.rm", "d.rmvb", "e.txt", "f.Mp3", "g.mkv"})
    file(std::string("1001/0/") + name, 2 * kMiB);
  LargeFileScanOptions options = atLeast(1);
  options.mediaOnly = true;

  scan(options);

  EXPECT_EQ(m_view.rowNames(), (std::vector<std::string>{"a.MP4", "c.rm", "d.rmvb", "f.Mp3", "g.mkv"}));
}

TEST_F(LargeFileScanTest, LvaBackupsAreLeftOutOnRequestButStillBringTheCounterUpToDate) {
  file("1001/0/a.pak", 2 * kMiB);
  file("1001/0/b.LVA", 2 * kMiB);
  file("1001/0/c.lva.pak", 2 * kMiB);

  scan(atLeast(1));
  EXPECT_EQ(m_view.rowNames(), (std::vector<std::string>{"a.pak", "c.lva.pak"}));
  EXPECT_EQ(m_view.eventsStartingWith("counter="),
            (std::vector<std::string>{"counter=文件名[0]", "counter=文件名[1]", "counter=文件名[1]",
                                      "counter=文件名[2]"}));
  EXPECT_EQ(
      m_view.eventsStartingWith("text=正在扫描 "),
      (std::vector<std::string>{"text=正在扫描 a.pak", "text=正在扫描 b.LVA", "text=正在扫描 c.lva.pak"}));
  EXPECT_EQ(m_view.summary, "本次共扫描到约 4.00MB 垃圾。");

  LargeFileScanOptions keep = atLeast(1);
  keep.filterLva = false;
  scan(keep);
  EXPECT_EQ(m_view.rowNames(), (std::vector<std::string>{"a.pak", "b.LVA", "c.lva.pak"}));
}

TEST_F(LargeFileScanTest, EarlierRowsGoAndTheWindowReturnsToIdle) {
  m_view.rows.emplace_back().name = "from the basic scan";

  scan(atLeast(500));

  EXPECT_TRUE(m_view.rows.empty());
  const std::vector<std::string> prepared(m_view.events.begin(), m_view.events.begin() + 8);
  EXPECT_EQ(prepared,
            (std::vector<std::string>{"text=正在扫描……", "summary=正在扫描……", "clear", "counter=文件名[0]",
                                      "begin", "position=0", "origin=", "note="}));
  const std::vector<std::string> finished(m_view.events.end() - 3, m_view.events.end());
  EXPECT_EQ(finished, (std::vector<std::string>{"text=扫描完成！", "summary=本次共扫描到约 0.00MB 垃圾。",
                                                "end=finished"}));
  EXPECT_EQ(m_view.ended.totalKB, 0);
}

TEST_F(LargeFileScanTest, AFolderThatCannotBeReadIsCountedAndTheScanGoesOn) {
  for (const char* path : {"1001/0/a.pak", "1001/1/b.pak", "1002/0/deep/c.pak"})
    file(path, 2 * kMiB);
  test::RecordingLister lister;
  lister.refused = {m_dir.path("CloudCache/1001/0/"), m_dir.path("CloudCache/1002/")};
  LargeFileScanOptions options = atLeast(1);
  options.lister = &lister;

  scan(options);

  EXPECT_EQ(m_view.rowNames(), std::vector<std::string>{"b.pak"});
  EXPECT_EQ(m_view.text, "扫描完成！（2 个文件夹无法读取）");
  EXPECT_EQ(m_view.ended.unreadableFolders, 2);
}

TEST_F(LargeFileScanTest, AMissingCacheFindsNothing) {
  runLargeFileScan(m_dir.path("gone"), atLeast(1), m_view);
  EXPECT_TRUE(m_view.rows.empty());
  EXPECT_EQ(m_view.text, "扫描完成！");
}

}  // namespace
}  // namespace qinglan
