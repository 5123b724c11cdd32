#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "app/AppPaths.h"
#include "cli/BufferedOutput.h"
#include "cli/Commands.h"
#include "cli/PrintableName.h"
#include "history/CleanJournal.h"
#include "history/CleaningPass.h"
#include "history/PassHistory.h"
#include "platform/Trash.h"
#include "scan/ResultsRow.h"

namespace qinglan::cli {

namespace {

struct HistoryOptions {
  std::string appDir;
  std::string pass;
  int olderThanDays = 0;
  bool json = false;
};

CleanJournal journalOf(const HistoryOptions& options) {
  return CleanJournal(journalFile(appPaths(options.appDir).stateFolder));
}

void printPass(BufferedOutput& out, const PassSummary& pass, bool json) {
  if (json) {
    const nlohmann::ordered_json line{
        {"pass", pass.pass},     {"time", pass.time},       {"rows", pass.rows},
        {"bytes", pass.bytes},   {"deleted", pass.deleted}, {"trashed", pass.trashed},
        {"failed", pass.failed}, {"gone", pass.gone},       {"restored", pass.restored},
        {"purged", pass.purged}, {"freed", pass.freed}};
    out.line(line.dump());
    return;
  }
  out.line(pass.pass + "  " + pass.time + "  rows " + std::to_string(pass.rows) + "  bytes " +
           std::to_string(pass.bytes) + "  deleted " + std::to_string(pass.deleted) + "  trashed " +
           std::to_string(pass.trashed) + "  failed " + std::to_string(pass.failed) + "  freed " +
           std::to_string(pass.freed) +
           (pass.restored > 0 ? "  restored " + std::to_string(pass.restored) : std::string()) +
           (pass.purged > 0 ? "  purged " + std::to_string(pass.purged) : std::string()));
}

void runHistory(const HistoryOptions& options) {
  const CleanJournal journal = journalOf(options);
  BufferedOutput out;
  for (const PassSummary& pass : summarizePasses(journal.read()))
    printPass(out, pass, options.json);
}

// Exit 1 when an entry stayed in the trash or the pass is unknown. Entries a restore put back
// before are named on stderr and left alone.
void runRestore(const HistoryOptions& options) {
  CleanJournal journal = journalOf(options);
  const std::vector<JournalEntry> entries = entriesOfPass(journal.read(), options.pass);
  if (entries.empty()) {
    std::cerr << "no pass " << options.pass << " in " << journal.fileName() << '\n';
    exitWith(ExitCode::Failure);
  }
  bool anyKept = false;
  size_t earlier = 0;
  BufferedOutput out;
  const std::vector<RestoreReport> reports = restoreEntries(entries, platform::Trash::system(), journal);
  journal.close();
  for (const RestoreReport& report : reports) {
    std::string storage;
    const std::string path(printableInText(report.entry.path, storage));
    if (report.earlier) {
      ++earlier;
    } else if (report.purged) {
      out.line("未能恢复  " + path + " (emptied from the trash before; left alone)");
    } else if (report.result.restored) {
      out.line(std::string(kRestoredStatus) + "  " + path);
    } else {
      anyKept = true;
      out.line("未能恢复  " + path + " (" + std::string(printableInText(report.result.reason, storage)) +
               ")");
    }
  }
  out.flush();
  if (earlier > 0)
    std::cerr << "pass " << options.pass << ": " << earlier
              << " of its entries were restored before; left alone\n";
  if (anyKept)
    exitWith(ExitCode::Failure);
}

struct PurgeTotals {
  size_t purged = 0;
  size_t gone = 0;
  size_t kept = 0;
};

std::string_view purgeOutcome(const platform::PurgeResult& result) {
  return result.purged ? "purged" : result.gone ? "gone" : "kept";
}

void printPurged(BufferedOutput& out, const PurgeReport& report, bool json) {
  std::string storage;
  const std::string path(printableInText(report.entry.path, storage));
  if (json) {
    nlohmann::ordered_json line{
        {"pass", report.entry.pass}, {"path", path}, {"outcome", purgeOutcome(report.result)}};
    if (!report.result.reason.empty())
      line["reason"] = std::string(printableInText(report.result.reason, storage));
    out.line(line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  } else if (report.result.purged) {
    out.line("已清除  " + path);
  } else if (report.result.gone) {
    out.line("已不在回收站  " + path);
  } else {
    out.line("未能清除  " + path + " (" + std::string(printableInText(report.result.reason, storage)) + ")");
  }
}

// Exit 1 when an entry stayed in the trash.
void runPurge(const HistoryOptions& options) {
  CleanJournal journal = journalOf(options);
  const std::vector<PurgeReport> reports = purgeEntries(
      journal.read(), passTimeDaysAgo(options.olderThanDays), platform::Trash::system(), journal);
  journal.close();
  PurgeTotals totals;
  BufferedOutput out;
  for (const PurgeReport& report : reports) {
    printPurged(out, report, options.json);
    ++(report.result.purged ? totals.purged : report.result.gone ? totals.gone : totals.kept);
  }
  if (options.json) {
    out.line(nlohmann::ordered_json{{"purged", totals.purged}, {"gone", totals.gone}, {"kept", totals.kept}}
                 .dump());
  } else {
    out.line("已清除 " + std::to_string(totals.purged) + " 项，" + std::to_string(totals.gone) +
             " 项已不在回收站，" + std::to_string(totals.kept) + " 项未能清除");
  }
  out.flush();
  if (totals.kept > 0)
    exitWith(ExitCode::Failure);
}

void addJournalFolderOption(CLI::App& command, std::string& appDir) {
  command.add_option("--app-dir", appDir,
                     "The folder holding the journal (default: the program's state folder)");
}

}  // namespace

void addHistoryCommand(CLI::App& app) {
  auto options = std::make_shared<HistoryOptions>();
  CLI::App* command = app.add_subcommand(
      "history",
      "List the cleaning passes of clean-log.jsonl: id, time, rows, bytes, and how many rows were "
      "deleted, moved into the trash or failed");
  command->add_flag("--json", options->json, "One JSON object per pass");
  addJournalFolderOption(*command, options->appDir);
  command->callback([options] { runHistory(*options); });
}

void addRestoreCommand(CLI::App& app) {
  auto options = std::make_shared<HistoryOptions>();
  CLI::App* command = app.add_subcommand(
      "restore",
      "Put the entries a pass moved into the trash back where they were, each once. An entry whose "
      "name has been taken meanwhile, or that is no longer the one the pass moved, stays in the trash "
      "and is reported; exits 1 then");
  command->add_option("PASS", options->pass, "The pass's id, as history lists it")->required();
  addJournalFolderOption(*command, options->appDir);
  command->callback([options] { runRestore(*options); });
}

void addPurgeCommand(CLI::App& app) {
  auto options = std::make_shared<HistoryOptions>();
  CLI::App* command = app.add_subcommand(
      "purge",
      "Empty from the trash for good the entries that passes older than DAYS days moved there, each "
      "only while it is still the entry the pass moved; nothing else in the trash is touched. Exits 1 "
      "when an entry stays");
  command->add_option("--older-than", options->olderThanDays, "DAYS, a whole number; 0 for every pass")
      ->required()
      ->check(CLI::NonNegativeNumber);
  addJournalFolderOption(*command, options->appDir);
  command->add_flag("--json", options->json, "One JSON object per entry, then the totals");
  command->callback([options] { runPurge(*options); });
}

}  // namespace qinglan::cli
