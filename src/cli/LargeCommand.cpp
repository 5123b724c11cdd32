#include <cstdint>
#include <memory>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/ScanCommandSupport.h"
#include "cli/ThreadsOption.h"
#include "platform/Interrupt.h"
#include "scan/LargeFileScan.h"

namespace qinglan::cli {

namespace {

// Beyond this the threshold in bytes would not fit 64 bits.
constexpr int64_t kMaxMegabytes = int64_t{1} << 40;

struct LargeOptions {
  LocationOptions locations;
  int64_t minMegabytes = 500;
  bool media = false;
  bool keepLva = false;
  bool json = false;
};

void runLarge(const LargeOptions& options) {
  const AppSettings settings = applyLocations(options.locations, Needs::Cache);
  LargeFileScanOptions scan;
  scan.minimumMegabytes = options.minMegabytes;
  scan.mediaOnly = options.media;
  scan.filterLva = !options.keepLva;
  const platform::InterruptWatch interrupt;
  CliScanFront front(options.json, false, interrupt.token());
  exitForOutcome(front, runAndPrint(front, [&] { runLargeFileScan(settings.cloudCachePath, scan, front); }));
}

}  // namespace

void addLargeCommand(CLI::App& app) {
  auto options = std::make_shared<LargeOptions>();
  CLI::App* command = app.add_subcommand(
      "large",
      "List the large files below the cache directory, unchecked, as the large file page does. Large "
      "files are never deleted from the command line");
  addCacheOption(*command, options->locations);
  command->add_option("--min-mb", options->minMegabytes, "Smallest size listed, in MiB (default 500)")
      ->check(CLI::Range(int64_t{0}, kMaxMegabytes));
  command->add_flag("--media", options->media, "Video and music files only, instead of every file");
  command->add_flag("--keep-lva", options->keepLva, "List the .lva backup files too");
  command->add_flag("--json", options->json, "One JSON object per file, the totals last");
  addThreadsOption(*command);
  command->callback([options] { runLarge(*options); });
}

}  // namespace qinglan::cli
