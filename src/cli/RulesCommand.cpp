#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "app/AppPaths.h"
#include "cli/Commands.h"
#include "cli/PrintableName.h"
#include "platform/NativePath.h"
#include "platform/TextSplit.h"
#include "rules/RulesReader.h"
#include "scan/RulesCheck.h"

namespace qinglan::cli {

namespace {

using platform::splitLines;

struct RulesOptions {
  std::string db;
  bool json = false;
  bool check = false;
};

std::string joinMasks(const std::string& maskText) {
  std::string joined;
  for (const std::string& mask : splitLines(maskText)) {
    if (!joined.empty())
      joined += " | ";
    joined += mask;
  }
  return joined;
}

// A text of the database with its control characters escaped, so that it cannot break a row.
class Shown {
 public:
  std::string_view operator()(std::string_view text) { return withControlsEscaped(text, m_storage); }

 private:
  std::string m_storage;
};

void printText(const std::vector<ScanItem>& items, const std::vector<CacheRule>& rules) {
  Shown id, unScan, name, folder, masks, dir, des;
  std::cout << "scan items: " << items.size() << "\nId\tUnScan\tName\tFolder\tMasks\n";
  for (const ScanItem& item : items) {
    std::cout << id(item.id) << '\t' << unScan(item.unScan) << '\t' << name(item.name) << '\t'
              << folder(item.folder) << '\t' << masks(joinMasks(item.file)) << '\n';
  }
  std::cout << "\ncache rules: " << rules.size() << "\nDir\tMasks\tDes\n";
  for (const CacheRule& rule : rules) {
    std::cout << dir(rule.dir) << '\t' << masks(joinMasks(rule.fileName)) << '\t' << des(rule.des) << '\n';
  }
}

void printJson(const std::vector<ScanItem>& items, const std::vector<CacheRule>& rules) {
  nlohmann::ordered_json document = {{"scanItems", nlohmann::ordered_json::array()},
                                     {"cacheRules", nlohmann::ordered_json::array()}};
  for (const ScanItem& item : items) {
    document["scanItems"].push_back(nlohmann::ordered_json{{"id", item.id},
                                                           {"name", item.name},
                                                           {"unScan", item.unScan},
                                                           {"excluded", item.excluded()},
                                                           {"folder", item.folder},
                                                           {"masks", splitLines(item.file)}});
  }
  for (const CacheRule& rule : rules) {
    document["cacheRules"].push_back(
        {{"dir", rule.dir}, {"masks", splitLines(rule.fileName)}, {"des", rule.des}});
  }
  std::cout << document.dump(2) << '\n';
}

// One line per problem, then a count; exit 1 when there is any.
void printProblems(const std::vector<ScanItem>& items, const std::vector<CacheRule>& rules,
                   const std::vector<InfoNote>& notes) {
  const std::vector<RuleProblem> problems = checkRules(items, rules, notes);
  Shown where, what;
  for (const RuleProblem& problem : problems)
    std::cout << where(problem.where) << ": " << what(problem.what) << '\n';
  std::cout << items.size() << " scan items, " << rules.size() << " cache rules, " << problems.size()
            << " problems\n";
  std::cout.flush();
  if (!problems.empty())
    exitWith(ExitCode::Failure);
}

void runRules(const RulesOptions& options) {
  std::string path = options.db.empty() ? startUpPaths().dbFileName : options.db;
  // Opening creates a missing file; a listing should not leave an empty database behind.
  if (!std::filesystem::is_regular_file(platform::fsPath(path)))
    throw std::runtime_error("no rules database at " + path);
  const std::unique_ptr<TSQLiteDatabase> db = openRulesDatabase(path);
  std::vector<ScanItem> items = readScanItems(*db);
  std::vector<CacheRule> rules = readCacheRules(*db);
  if (options.check) {
    printProblems(items, rules, readNotes(*db));
  } else if (options.json) {
    printJson(items, rules);
  } else {
    printText(items, rules);
  }
}

}  // namespace

void addRulesCommand(CLI::App& app) {
  auto options = std::make_shared<RulesOptions>();
  CLI::App* command =
      app.add_subcommand("rules", "List the scan items and the cache rules of the rules database");
  command->add_option("--db", options->db, "Rules database (default: the program's, as for scan)");
  command->add_flag("--json", options->json, "Print JSON instead of tab-separated text");
  command->add_flag("--check", options->check,
                    "Report rows that could reach what programs or people keep; exit 1 when there is any");
  command->callback([options] { runRules(*options); });
}

}  // namespace qinglan::cli
