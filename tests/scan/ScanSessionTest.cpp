#include "scan/ScanSession.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scan/BasicScan.h"
#include "scan/CleanResults.h"
#include "scan/LargeFileScan.h"
#include "scan/SoftwareCacheScan.h"
#include "support/RecordingScanFront.h"
#include "support/RulesDbFile.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

// Marks each row cleaned without deleting anything.
class MarkingCleaner final : public RowCleaner {
 public:
  std::string clean(size_t, const ResultsRow&) override { return std::string(kCleanedStatus); }
};

struct OutcomeCase {
  SessionKind kind;
  SessionOutcome outcome;
  std::vector<std::string> closing;  // the last events
  size_t rowsHandled;                // rows listed, or rows cleaned
};

// Three files of 1 MiB, one in each content folder and all three in the software cache's folder;
// the stop or the failure comes with the first row handled.
class ScanSessionTest : public ::testing::TestWithParam<OutcomeCase> {
 protected:
  ScanSessionTest() {
    m_settings.cloudCachePath = m_dir.path("CloudCache");
    m_settings.dbFileName = m_dir.path("ccdb.db");
    for (const char* file : {"CloudCache/1001/0/a.log", "CloudCache/1001/1/b.log", "CloudCache/1001/2/c.log",
                             "D/Temp/a.log", "D/Temp/b.log", "D/Temp/c.log"})
      std::filesystem::resize_file(m_dir.writeFile(file), 1 << 20);
    test::writeScanItems(m_settings.dbFileName, {{"0", "", "*.log"}});
    test::writeCacheRules(m_settings.dbFileName, {{"Temp", "*.log", "临时"}});
  }

  void run(SessionKind kind) {
    const std::vector<ScanResourceRow> resources = {{"r", "1001", true}};
    LargeFileScanOptions large;
    large.minimumMegabytes = 1;
    SoftwareCacheScanOptions software;
    software.listVolumes = [this] {
      return std::vector<platform::Volume>{{m_dir.path("D") + "/", platform::DriveKind::Fixed}};
    };
    MarkingCleaner cleaner;
    switch (kind) {
      case SessionKind::BasicScan:
        runBasicScan(m_settings, resources, m_front);
        break;
      case SessionKind::LargeFileScan:
        runLargeFileScan(m_settings.cloudCachePath, large, m_front);
        break;
      case SessionKind::SoftwareCacheScan:
        runSoftwareCacheScan(m_settings, m_front, software);
        break;
      case SessionKind::Cleaning:
        runBasicScan(m_settings, resources, m_front);
        m_front.events.clear();
        cleanCheckedResults(m_front, cleaner);
        break;
    }
  }

  size_t rowsHandled(SessionKind kind) const {
    if (kind != SessionKind::Cleaning)
      return m_front.rows.size();
    return static_cast<size_t>(
        std::ranges::count_if(m_front.rows, [](const ResultsRow& row) { return !row.status.empty(); }));
  }

  test::TempDir m_dir;
  ScanSettings m_settings;
  test::RecordingScanFront m_front;
};

TEST_P(ScanSessionTest, TheOutcomeDecidesTheClosingTextsAndTheRowsHandledStay) {
  const OutcomeCase& expected = GetParam();
  const SessionKind kind = expected.kind;
  bool failed = false;
  if (expected.outcome != SessionOutcome::Finished) {
    m_front.onPump = [&] {
      // A cleaning pass only starts once the scan before it has ended.
      const bool inPass = kind != SessionKind::Cleaning || m_front.events.size() > 0;
      if (!inPass || rowsHandled(kind) == 0)
        return;
      if (expected.outcome == SessionOutcome::Stopped)
        m_front.stop.request_stop();
      else
        throw std::runtime_error("pump failed");
    };
  }
  try {
    run(kind);
  } catch (const std::runtime_error&) {
    failed = true;
  }

  EXPECT_EQ(failed, expected.outcome == SessionOutcome::Failed);
  EXPECT_EQ(rowsHandled(kind), expected.rowsHandled);
  ASSERT_GE(m_front.events.size(), expected.closing.size());
  EXPECT_EQ(
      std::vector<std::string>(m_front.events.end() - static_cast<std::ptrdiff_t>(expected.closing.size()),
                               m_front.events.end()),
      expected.closing);
  EXPECT_EQ(m_front.ended.outcome, expected.outcome);
  if (kind != SessionKind::Cleaning) {
    EXPECT_EQ(m_front.ended.totalKB, 1024.0 * static_cast<double>(expected.rowsHandled));
  }
}

std::vector<OutcomeCase> outcomeCases() {
  const std::vector<std::string> finished = {"text=扫描完成！", "summary=本次共扫描到约 3.00MB 垃圾。",
                                             "end=finished"};
  const std::vector<std::string> stopped = {"text=扫描已停止。",
                                            "summary=扫描已停止，已找到约 1.00 MB 垃圾。", "end=stopped"};
  const std::vector<std::string> failed = {"text=扫描未完成！", "summary=本次共扫描到约 1.00MB 垃圾。",
                                           "end=failed"};
  std::vector<OutcomeCase> cases;
  for (const SessionKind kind :
       {SessionKind::BasicScan, SessionKind::LargeFileScan, SessionKind::SoftwareCacheScan}) {
    cases.push_back({kind, SessionOutcome::Finished, finished, 3});
    cases.push_back({kind, SessionOutcome::Stopped, stopped, 1});
    cases.push_back({kind, SessionOutcome::Failed, failed, 1});
  }
  cases.push_back({SessionKind::Cleaning,
                   SessionOutcome::Finished,
                   {"end=finished", "info=清理垃圾完成！共删除 3 项，释放 0.00 MB 空间。"},
                   3});
  cases.push_back({SessionKind::Cleaning,
                   SessionOutcome::Stopped,
                   {"end=stopped", "info=清理已停止，其余项目未清理。共删除 1 项，释放 0.00 MB 空间。"},
                   1});
  cases.push_back({SessionKind::Cleaning, SessionOutcome::Failed, {"status=0 清理成功", "end=failed"}, 1});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(EachKind, ScanSessionTest, ::testing::ValuesIn(outcomeCases()));

}  // namespace
}  // namespace qinglan
