#include "cli/ScanCommandSupport.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "scan/LargeFileScan.h"
#include "support/RecordingLister.h"
#include "support/TempDir.h"

namespace qinglan::cli {
namespace {

// The totals line says how many folders the scan could not read, and the command fails on any.
TEST(ScanCommandSupportTest, TheTotalsLineCountsTheFoldersAScanCouldNotRead) {
  test::TempDir dir;
  const std::string cache = dir.makeFolder("CloudCache");
  dir.writeFile("CloudCache/1001/0/a.pak", "a");
  dir.writeFile("CloudCache/1001/1/b.pak", "b");
  test::RecordingLister lister;
  LargeFileScanOptions options;
  options.minimumMegabytes = 0;
  options.lister = &lister;
  for (const bool json : {true, false}) {
    lister.refused = json ? std::set<std::string>{dir.path("CloudCache/1001/0/")} : std::set<std::string>{};
    testing::internal::CaptureStdout();
    CliScanFront front(json, false);
    const bool everyFolderRead = runAndPrint(front, [&] { runLargeFileScan(cache, options, front); });
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(everyFolderRead, !json);
    EXPECT_TRUE(printed.ends_with(json ? "{\"rows\":1,\"total_mb\":\"0.00\",\"unreadable\":1}\n"
                                       : "\n文件名[2]  本次共扫描到约 0.00MB 垃圾。\n"))
        << printed;
  }
}

}  // namespace
}  // namespace qinglan::cli
