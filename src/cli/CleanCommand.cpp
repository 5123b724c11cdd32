#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/ScanCommandSupport.h"
#include "history/CleanJournal.h"
#include "history/CleaningPass.h"
#include "platform/Interrupt.h"
#include "platform/Remover.h"
#include "platform/Trash.h"
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
  bool trash = false;
  bool includeInUse = false;
  int olderThanDays = 0;
};

ScanTotals scan(const CleanOptions& options, const AppSettings& settings, CliScanFront& front) {
  if (options.softwareCache)
    return runSoftwareCacheScan(settings.scanSettings(), front);
  return runBasicScan(settings.scanSettings(), listScanResources(settings), front);
}

// A scan that fails or is stopped deletes nothing: its rows are printed with the error. A pass
// that is stopped finishes the row under way and deletes nothing more.
void runClean(const CleanOptions& options) {
  const platform::InterruptWatch interrupt;
  CliScanFront front(options.json, true, interrupt.token());
  front.setAnswer(options.yes);
  std::unique_ptr<CleanJournal> journal;
  std::unique_ptr<CleaningPass> pass;
  std::vector<KeptRow> kept;
  // Indexed once, when printing starts: a pass may hold hundreds of thousands of rows.
  std::optional<std::map<size_t, std::string>> reasons;
  const auto reasonOf = [&pass, &kept, &reasons](size_t row) {
    if (!reasons) {
      reasons.emplace();
      for (const KeptRow& keptRow : kept)
        (*reasons)[keptRow.index] = keptRow.reason;
      for (const PassRecord& record : pass ? pass->records() : std::vector<PassRecord>()) {
        if (!record.entry.reason.empty())
          (*reasons)[record.row] = record.entry.reason;
      }
    }
    const auto found = reasons->find(row);
    return found == reasons->end() ? std::string() : found->second;
  };
  const bool everyFolderRead = runAndPrint(
      front,
      [&] {
        AppSettings settings = applyLocations(
            options.locations, options.softwareCache ? Needs::Database : Needs::DatabaseAndCache);
        settings.clean.skipInUse = !options.includeInUse;
        settings.olderThanDays = options.olderThanDays;
        if (scan(options, settings, front).outcome == SessionOutcome::Stopped)
          return;
        if (options.yes) {
          journal = std::make_unique<CleanJournal>(journalFile(settings.paths.stateFolder));
          pass = std::make_unique<CleaningPass>(*journal, options.trash, platform::Remover::system(),
                                                platform::Trash::system());
          kept = cleanCheckedResults(front, *pass, settings.clean);
          journal->close();
          if (!pass->records().empty())
            front.setFreedBytes(freedBytes(pass->gains()));
        } else if (front.rows().count() > 0) {
          std::cerr << "nothing deleted: these checked findings would be; add --yes to delete them\n";
        }
      },
      reasonOf);
  if (pass && !pass->records().empty())
    std::cerr << "pass " << pass->id() << " recorded in " << journal->fileName() << '\n';
  bool anyFailed = false;
  for (size_t i = 0; i < front.rows().count(); ++i)
    anyFailed = anyFailed || front.rows().text(i, ResultsColumn::Status) == kCleanFailedStatus;
  exitForOutcome(front, everyFolderRead && !anyFailed);
}

}  // namespace

void addCleanCommand(CLI::App& app) {
  auto options = std::make_shared<CleanOptions>();
  CLI::App* command = app.add_subcommand(
      "clean",
      "Run the basic scan (or the software cache scan) and, with --yes, delete its checked findings "
      "permanently, or with --trash move them into the trash; without --yes only list them. Every pass is "
      "recorded in clean-log.jsonl (see history). Exits 1 when a finding could not be cleaned or the scan "
      "could not read a folder");
  addCacheOption(*command, options->locations);
  addAppDirOption(*command, options->locations);
  command->add_flag("--software-cache", options->softwareCache, "Clean the software cache scan's findings");
  command->add_flag("--yes", options->yes, "Delete the findings");
  command->add_flag("--trash", options->trash,
                    "Move the findings into the trash instead of deleting them; restore PASS puts them back");
  command->add_flag("--include-in-use", options->includeInUse,
                    "Clean findings a running program holds open as well; by default they are kept and read "
                    "正在使用");
  addOlderThanOption(*command, options->olderThanDays);
  command->add_flag("--json", options->json, "One JSON object per finding with its status, the totals last");
  command->callback([options] { runClean(*options); });
}

}  // namespace qinglan::cli
