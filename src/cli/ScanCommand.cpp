#include <memory>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/ScanCommandSupport.h"
#include "scan/BasicScan.h"

namespace qinglan::cli {

namespace {

struct ScanOptions {
  LocationOptions locations;
  bool json = false;
};

void runScan(const ScanOptions& options) {
  applyLocations(options.locations, Needs::DatabaseAndCache);
  const std::vector<ScanResourceRow> resources = listScanResources();
  CliScanView view;
  if (!runAndPrint(view, options.json, [&] { runBasicScan(ScanSettings::fromGlobals(), resources, view); }))
    throw CLI::RuntimeError(1);
}

}  // namespace

void addScanCommand(CLI::App& app) {
  auto options = std::make_shared<ScanOptions>();
  CLI::App* command = app.add_subcommand(
      "scan",
      "Run the basic cache scan: every enabled rule of ccdb.db over the content folders of every resource "
      "the whitelist does not hide. Prints the findings and the total; nothing is deleted");
  addCacheOption(*command, options->locations);
  addAppDirOption(*command, options->locations);
  command->add_flag("--json", options->json, "One JSON object per finding, the totals last");
  command->callback([options] { runScan(*options); });
}

}  // namespace qinglan::cli
