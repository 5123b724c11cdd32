#include <algorithm>
#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/ScanCommandSupport.h"
#include "scan/BasicScan.h"
#include "scan/CleanResults.h"
#include "scan/SoftwareCacheScan.h"

namespace qinglan::cli {

namespace {

struct CleanOptions {
  LocationOptions locations;
  bool softwareCache = false;
  bool yes = false;
  bool json = false;
};

void scan(const CleanOptions& options, CliScanView& view) {
  if (options.softwareCache) {
    applyLocations(options.locations, Needs::Database);
    runSoftwareCacheScan(ScanSettings::fromGlobals(), view);
    return;
  }
  applyLocations(options.locations, Needs::DatabaseAndCache);
  runBasicScan(ScanSettings::fromGlobals(), listScanResources(), view);
}

// A scan that fails deletes nothing: its rows are printed with the error.
void runClean(const CleanOptions& options) {
  CliScanView view;
  view.setAnswer(options.yes);
  runAndPrint(view, options.json, [&] {
    scan(options, view);
    if (options.yes) {
      cleanCheckedResults(view);
    } else if (!view.rows().empty()) {
      std::cerr << "nothing deleted: these checked findings would be; add --yes to delete them\n";
    }
  });
  const bool anyFailed = std::ranges::any_of(
      view.rows(), [](const ResultsRow& row) { return row.status == kCleanFailedStatus; });
  if (anyFailed)
    throw CLI::RuntimeError(1);
}

}  // namespace

void addCleanCommand(CLI::App& app) {
  auto options = std::make_shared<CleanOptions>();
  CLI::App* command = app.add_subcommand(
      "clean",
      "Run the basic scan (or the software cache scan) and, with --yes, delete its checked findings "
      "permanently; without --yes only list them. Exits 1 when a finding could not be deleted");
  addCacheOption(*command, options->locations);
  addAppDirOption(*command, options->locations);
  command->add_flag("--software-cache", options->softwareCache, "Clean the software cache scan's findings");
  command->add_flag("--yes", options->yes, "Delete the findings");
  command->add_flag("--json", options->json, "One JSON object per finding with its status, the totals last");
  command->callback([options] { runClean(*options); });
}

}  // namespace qinglan::cli
