#include <memory>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "cli/PrintableName.h"
#include "cli/ScanCommandSupport.h"
#include "cli/ThreadsOption.h"
#include "platform/Interrupt.h"
#include "scan/BasicScan.h"
#include "scan/FormatFileSize.h"
#include "scan/JunkSummary.h"

namespace qinglan::cli {

namespace {

struct ScanOptions {
  LocationOptions locations;
  bool json = false;
  bool summary = false;
  int olderThanDays = 0;
};

// One object a line per resource, largest first.
void appendResourceSummary(std::string& out, const ResourceTally& tally) {
  std::string storage;
  for (const JunkGroup& resource : tally.largestFirst()) {
    out += "{\"resource_id\":";
    appendJsonString(out, printable(resource.id, storage));
    out += ",\"name\":";
    appendJsonString(out, printable(resource.name, storage));
    out += ",\"rows\":" + std::to_string(resource.rows) + ",\"size\":" + std::to_string(resource.size);
    out += ",\"size_text\":";
    appendJsonString(out, FormatFileSize(resource.size));
    out += "}\n";
  }
}

void runScan(const ScanOptions& options) {
  AppSettings settings = applyLocations(options.locations, Needs::DatabaseAndCache);
  settings.olderThanDays = options.olderThanDays;
  const std::vector<ScanResourceRow> resources = listScanResources(settings);
  const platform::InterruptWatch interrupt;
  CliScanFront front(options.json, false, interrupt.token());
  ResourceTally tally(settings.cloudCachePath);
  BeforeTotals summary;
  if (options.summary) {
    front.setRowObserver([&tally](const ResultsRow& row) { tally.add(row); });
    summary = [&tally](std::string& out) { appendResourceSummary(out, tally); };
  }
  const bool everyFolderRead = runAndPrint(
      front, [&] { runBasicScan(settings.scanSettings(), resources, front); }, {}, summary);
  exitForOutcome(front, everyFolderRead);
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
  addThreadsOption(*command);
  addOlderThanOption(*command, options->olderThanDays);
  command->add_flag(
      "--summary", options->summary,
      "Before the totals, one JSON object per resource: its ID, name, rows and size, largest first");
  command->callback([options] { runScan(*options); });
}

}  // namespace qinglan::cli
