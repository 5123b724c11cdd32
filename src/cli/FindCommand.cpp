#include <charconv>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/BufferedOutput.h"
#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "cli/PrintableName.h"
#include "cli/TextColumns.h"
#include "cli/ThreadsOption.h"
#include "platform/Codepage.h"
#include "platform/DirLister.h"
#include "scan/ResultsRow.h"
#include "search/EasyFileSearch.h"
#include "search/Mask.h"

namespace qinglan::cli {

namespace {

struct FindOptions {
  std::string root;
  std::vector<std::string> masks;
  std::vector<std::string> excludes;
  bool noSubfolders = false;
  bool noFolders = false;
  bool json = false;
  int64_t minSize = 0;
  int64_t maxSize = 0;
  CLI::Option* minSizeOption = nullptr;
  CLI::Option* maxSizeOption = nullptr;
};

bool isFolder(const TFileInformations& found) {
  return (found.Attributes & platform::kAttrDirectory) != 0;
}

// Writes the --json rows. Their keys and layout are fixed, so a row is assembled in place; a
// string goes through the JSON library's escaping only when it holds a character that needs it,
// and a folder's text is converted once for all of its entries.
class JsonRows {
 public:
  explicit JsonRows(BufferedOutput& out) : m_out(out) {}

  // The literals are string views: each row would otherwise measure them again.
  void write(const TFileInformations& found) {
    using namespace std::string_view_literals;
    std::string& line = m_out.buffer();
    line += "{\"name\":"sv;
    appendJsonString(line, printable(found.Name, m_storage));
    line += ",\"path\":"sv;
    line += m_folder.of(found.Path);
    line += ",\"attributes\":"sv;
    appendNumber(line, found.Attributes);
    line += ",\"size\":"sv;
    appendNumber(line, found.Size);
    line += ",\"created\":\""sv;
    appendDateText(line, found.CreationTime);
    line += isFolder(found) ? "\",\"is_folder\":true}"sv : "\",\"is_folder\":false}"sv;
    m_out.line({});
  }

 private:
  BufferedOutput& m_out;
  std::string m_storage;
  RepeatedJsonString m_folder;
};

// The columns "%15s  %-10s  " of size (or "<folder>") and date, then the full path.
class TextRows {
 public:
  explicit TextRows(BufferedOutput& out) : m_out(out) {}

  void write(const TFileInformations& found) {
    std::string& line = m_out.buffer();
    m_field.clear();
    if (isFolder(found)) {
      m_field = "<folder>";
    } else {
      appendNumber(m_field, found.Size);
    }
    appendAligned(line, m_field, 15);
    line += "  ";
    m_field.clear();
    appendDateText(m_field, found.CreationTime);
    appendAligned(line, m_field, -10);
    line += "  ";
    m_path.assign(found.Path).append(found.Name);
    m_out.line(printableInText(m_path, m_storage));
  }

 private:
  BufferedOutput& m_out;
  std::string m_field;
  std::string m_path;
  std::string m_storage;
};

void printStatistics(BufferedOutput& out, const TStatistics& stats, bool complete, bool json) {
  if (json) {
    const nlohmann::ordered_json last{{"statistics",
                                       {{"files_found", stats.FilesFound},
                                        {"folders_with_files", stats.FoldersWithFiles},
                                        {"folders_found", stats.FoldersFound},
                                        {"elapsed_ms", stats.ElapsedMs}}},
                                      {"complete", complete}};
    out.line(last.dump());
    return;
  }
  out.line(std::to_string(stats.FilesFound) + " files in " + std::to_string(stats.FoldersWithFiles) +
           " folders, " + std::to_string(stats.FoldersFound) + " folders, " +
           std::to_string(stats.ElapsedMs) + " ms" +
           (complete ? "" : "; stopped at a folder that could not be listed"));
}

// Set up like the basic cache scan's search (everything looked for, subfolders entered, "*.*"),
// then changed by the options. The engine has one size filter: --min-size uses it, and so does
// --max-size when given alone; with both, the maximum is checked when an entry is accepted.
void configure(TEasyFileSearch& search, const FindOptions& options) {
  search.setRootPath(options.root);
  if (!options.masks.empty())
    search.FileNames = options.masks;
  search.ExcludedFiles = options.excludes;
  if (options.noSubfolders)
    search.SearchOptions = search.SearchOptions.without(okIncludeSubfolder);
  if (options.noFolders)
    search.SearchOptions = search.SearchOptions.without(okLookForDirectory);

  const bool hasMin = options.minSizeOption->count() > 0;
  const bool hasMax = options.maxSizeOption->count() > 0;
  if (hasMin || hasMax) {
    search.FilterKind = TFilter{fkFilterOnSize};
    search.SizeFilterKind = hasMin ? sfkBiggerOrEqualTo : sfkSmallerOrEqualTo;
    search.SizeFilterSize = hasMin ? options.minSize : options.maxSize;
  }
  // Without the folder bit a hidden or read-only folder would still pass on its other bits.
  const bool checkMax = hasMin && hasMax;
  if (options.noFolders || checkMax) {
    search.OnAcceptFile = [&options, checkMax](const TFileInformations& found) {
      if (options.noFolders && isFolder(found))
        return false;
      return !checkMax || found.Size <= options.maxSize;
    };
  }
}

void runFind(const FindOptions& options) {
  BufferedOutput out;
  TEasyFileSearch search;
  configure(search, options);
  if (options.json) {
    search.OnFileFound = [rows = std::make_shared<JsonRows>(out)](const TFileInformations& found) {
      rows->write(found);
    };
  } else {
    out.line("           Size  Created     Path");
    search.OnFileFound = [rows = std::make_shared<TextRows>(out)](const TFileInformations& found) {
      rows->write(found);
    };
  }
  TStatistics stats;
  search.OnStatistics = [&stats](const TStatistics& last) { stats = last; };

  bool complete = false;
  try {
    complete = search.Execute();
  } catch (const EInvalidMask& error) {
    out.flush();
    std::cerr << error.what() << '\n';
    exitWith(ExitCode::InvalidMask);
  }
  printStatistics(out, stats, complete, options.json);
  out.flush();
  if (!complete)
    exitWith(ExitCode::Failure);
}

}  // namespace

void addFindCommand(CLI::App& app) {
  auto options = std::make_shared<FindOptions>();
  CLI::App* command = app.add_subcommand(
      "find",
      "Search a folder tree the way the cleaner's scans do and print every accepted entry. Exits 1 when a "
      "folder could not be listed (the search stops there), 2 for an invalid mask");
  command->add_option("ROOT", options->root, "Folder where the search starts")->required();
  // allow_extra_args(false): a mask such as "[ab]*" is taken verbatim, never read as a list.
  command->add_option("--mask", options->masks, "Name mask to look for (repeatable; default *.*)")
      ->allow_extra_args(false);
  command->add_option("--exclude", options->excludes, "Name mask to leave out (repeatable)")
      ->allow_extra_args(false);
  command->add_flag("--no-subfolders", options->noSubfolders, "Do not enter subfolders");
  command->add_flag("--no-folders", options->noFolders, "Report files only");
  options->minSizeOption = command->add_option("--min-size", options->minSize, "Smallest size in bytes")
                               ->check(CLI::NonNegativeNumber);
  options->maxSizeOption = command->add_option("--max-size", options->maxSize, "Largest size in bytes")
                               ->check(CLI::NonNegativeNumber);
  command->add_flag("--json", options->json, "One JSON object per line, statistics last");
  addThreadsOption(*command);
  command->callback([options] { runFind(*options); });
}

}  // namespace qinglan::cli
