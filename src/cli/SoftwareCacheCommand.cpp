#include <memory>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/ScanCommandSupport.h"
#include "cli/ThreadsOption.h"
#include "platform/Interrupt.h"
#include "scan/SoftwareCacheScan.h"

namespace qinglan::cli {

namespace {

struct SoftwareCacheOptions {
  LocationOptions locations;
  bool json = false;
  int olderThanDays = 0;
};

void runSoftwareCache(const SoftwareCacheOptions& options) {
  AppSettings settings = applyLocations(options.locations, Needs::Database);
  settings.olderThanDays = options.olderThanDays;
  const platform::InterruptWatch interrupt;
  CliScanFront front(options.json, false, interrupt.token());
  exitForOutcome(front, runAndPrint(front, [&] { runSoftwareCacheScan(settings.scanSettings(), front); }));
}

}  // namespace

void addSoftwareCacheCommand(CLI::App& app) {
  auto options = std::make_shared<SoftwareCacheOptions>();
  CLI::App* command = app.add_subcommand(
      "software-cache",
      "Run the software cache scan: every CacheClean rule of ccdb.db on every removable and fixed volume "
      "(QINGLAN_VOLUMES overrides the list). Prints the findings and the total; nothing is deleted");
  addAppDirOption(*command, options->locations);
  command->add_flag("--json", options->json, "One JSON object per finding, the totals last");
  addThreadsOption(*command);
  addOlderThanOption(*command, options->olderThanDays);
  command->callback([options] { runSoftwareCache(*options); });
}

}  // namespace qinglan::cli
