#include "cli/ScanCommandSupport.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "app/AppPaths.h"
#include "app/CloudCachePath.h"
#include "app/unitGlobal.h"
#include "cli/BufferedOutput.h"
#include "cli/JsonText.h"
#include "cli/PrintableName.h"
#include "platform/Codepage.h"
#include "platform/Console.h"
#include "platform/NativePath.h"
#include "platform/Path.h"
#include "scan/ResourceList.h"
#include "scan/ResultsPage.h"
#include "search/Mask.h"
#include "whitelist/Whitelist.h"

namespace qinglan::cli {

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(100);

void appendTableRow(std::string& out, const ResultsRow& row, const std::string& reason) {
  char prefix[64];
  std::snprintf(prefix, sizeof prefix, "%s %12s  %-10s  ", row.checked ? "[x]" : "[ ]", row.sizeText.c_str(),
                row.dateText.c_str());
  out += prefix;
  std::string storage;
  out += printable(row.fullPath(), storage);
  if (!row.status.empty()) {
    out += "  ";
    out += row.status;
  }
  if (!reason.empty()) {
    out += " (";
    out += reason;
    out += ')';
  }
  out += '\n';
}

// The row's object, assembled in place: a scan may list hundreds of thousands of rows.
void appendJsonRow(std::string& out, const ResultsRow& row, const std::string& reason) {
  out += "{\"name\":";
  std::string storage;
  appendJsonString(out, printable(row.name, storage));
  out += ",\"location\":";
  appendJsonString(out, printable(row.location, storage));
  out += ",\"size\":";
  out += std::to_string(row.size);
  out += ",\"size_text\":";
  appendJsonString(out, row.sizeText);
  out += ",\"date\":";
  appendJsonString(out, row.dateText);
  out += row.isFolder ? ",\"is_folder\":true" : ",\"is_folder\":false";
  out += row.checked ? ",\"checked\":true" : ",\"checked\":false";
  out += ",\"status\":";
  appendJsonString(out, row.status);
  if (!reason.empty()) {
    out += ",\"reason\":";
    appendJsonString(out, printable(reason, storage));
  }
  out += "}\n";
}

// Rows name their folders from the cache path, so it is made absolute, without "." or "..".
std::string cacheDirectory(const std::string& given) {
  std::string path =
      platform::pathText(std::filesystem::absolute(platform::fsPath(given)).lexically_normal());
  while (path.size() > 1 && platform::endsWithSeparator(path))
    path.pop_back();
  return path;
}

}  // namespace

CliScanView::CliScanView() : m_showProgress(platform::errorStreamIsTerminal()) {}

CliScanView::~CliScanView() {
  clearProgress();
}

void CliScanView::setProgressPanelVisible(bool visible) {
  if (!visible)
    clearProgress();
}

void CliScanView::showInformation(const std::string& text) {
  clearProgress();
  std::cerr << text << '\n';
}

void CliScanView::pump() {
  if (!m_showProgress)
    return;
  const auto now = std::chrono::steady_clock::now();
  if (m_progressShown && now - m_lastDraw < kProgressInterval)
    return;
  m_lastDraw = now;
  drawProgress();
}

void CliScanView::drawProgress() {
  std::string line = "\r\033[K";
  if (m_maximum > 0)
    line += "[" + std::to_string(m_position) + "/" + std::to_string(m_maximum) + "] ";
  line += m_label1 + "  " + resultsCounterCaption(m_rows.size());
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
  m_progressShown = true;
}

void CliScanView::clearProgress() {
  if (!m_progressShown)
    return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  m_progressShown = false;
}

void addCacheOption(CLI::App& command, LocationOptions& options) {
  command.add_option("--cache", options.cache,
                     "Cache directory (default: CloudCache on the first local volume)");
}

void addAppDirOption(CLI::App& command, LocationOptions& options) {
  command.add_option("--app-dir", options.appDir,
                     "Folder holding ccdb.db and wb.lst (default: the executable's folder when it holds "
                     "ccdb.db, else the user's folders)");
}

void applyLocations(const LocationOptions& options, Needs needs) {
  initGlobalSettings(needs == Needs::Cache ? appPaths(options.appDir) : startUpPaths(options.appDir));
  // Opening a missing database would leave an empty one behind.
  if (needs != Needs::Cache && !std::filesystem::is_regular_file(platform::fsPath(globals().DbFileName)))
    throw std::runtime_error("no rules database at " + globals().DbFileName);
  if (needs == Needs::Database)
    return;
  const std::string cache = options.cache.empty() ? FindCloudCachePath() : cacheDirectory(options.cache);
  if (cache.empty())
    throw std::runtime_error("没有找到云端缓存目录");
  if (!std::filesystem::is_directory(platform::fsPath(cache)))
    throw std::runtime_error("no cache directory at " + cache);
  globals().CloudCachePath = cache;
}

std::vector<ScanResourceRow> listScanResources() {
  std::vector<ScanResourceRow> rows;
  const Whitelist whitelist = Whitelist(globals().WhiteListFile);
  listInstalledResources(globals().CloudCachePath, whitelist, [&rows](const InstalledResource& resource) {
    rows.push_back({resource.name, resource.id, true});
  });
  return rows;
}

void printRows(const std::vector<ResultsRow>& rows, bool json, const RowReason& reasonOf,
               const BeforeTotals& beforeTotals) {
  BufferedOutput out;
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string reason = reasonOf ? reasonOf(i) : std::string();
    if (json) {
      appendJsonRow(out.buffer(), rows[i], reason);
    } else {
      appendTableRow(out.buffer(), rows[i], reason);
    }
    out.flushWhenFull();
  }
  if (beforeTotals)
    beforeTotals(out.buffer(), rows);
  const double totalKB = globals().ScanTotalKB;
  const int32_t unreadable = globals().ScanUnreadableFolders;
  if (json) {
    const nlohmann::ordered_json last{
        {"rows", rows.size()}, {"total_mb", totalMegabytesText(totalKB)}, {"unreadable", unreadable}};
    out.line(last.dump());
  } else {
    const std::string note = unreadableFoldersNote(unreadable);
    out.line(resultsCounterCaption(rows.size()) + "  " + totalLine(totalKB) +
             (note.empty() ? "" : "  " + note));
  }
}

bool runAndPrint(CliScanView& view, bool json, const std::function<void()>& scan, const RowReason& reasonOf,
                 const BeforeTotals& beforeTotals) {
  try {
    scan();
  } catch (const EInvalidMask& error) {
    printRows(view.rows(), json, reasonOf, beforeTotals);
    std::cerr << error.what() << '\n';
    throw CLI::RuntimeError(2);
  } catch (const std::exception& error) {
    printRows(view.rows(), json, reasonOf, beforeTotals);
    std::cerr << error.what() << '\n';
    throw CLI::RuntimeError(1);
  }
  printRows(view.rows(), json, reasonOf, beforeTotals);
  return globals().ScanUnreadableFolders == 0;
}

}  // namespace qinglan::cli
