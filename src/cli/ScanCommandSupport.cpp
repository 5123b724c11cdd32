#include "cli/ScanCommandSupport.h"

#include <cinttypes>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "app/AppPaths.h"
#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "cli/PrintableName.h"
#include "cli/TextColumns.h"
#include "platform/Codepage.h"
#include "platform/Console.h"
#include "platform/NativePath.h"
#include "platform/Path.h"
#include "scan/CloudCachePath.h"
#include "scan/ResourceList.h"
#include "search/Mask.h"
#include "whitelist/Whitelist.h"

namespace qinglan::cli {

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(100);
// Rows printed as they come reach a reader at least this often, however slowly they come.
constexpr auto kFlushInterval = std::chrono::milliseconds(100);

void appendTableRow(std::string& out, const ResultsRow& row, const std::string& reason) {
  // "文件夹" in the size column is six columns wide in nine bytes.
  out += row.checked ? "[x] " : "[ ] ";
  appendAligned(out, row.sizeText, 12);
  out += "  ";
  appendAligned(out, row.dateText, -10);
  out += "  ";
  std::string storage;
  out += printableInText(row.fullPath(), storage);
  if (!row.status.empty()) {
    out += "  ";
    out += row.status;
  }
  if (!reason.empty()) {
    // A reason may quote the finding's path.
    out += " (";
    out += printableInText(reason, storage);
    out += ')';
  }
  out += '\n';
}

// Rows name their folders from the cache path, so it is made absolute, without "." or "..".
std::string cacheDirectory(const std::string& given) {
  std::string path = platform::absolutePath(given);
  while (path.size() > 1 && platform::endsWithSeparator(path))
    path.pop_back();
  return path;
}

}  // namespace

namespace {

// `"key":`, the key a column's text is printed under.
void appendColumnKey(std::string& out, ResultsColumn column) {
  out += '"';
  out += columnInfo(column).jsonKey;
  out += "\":";
}

}  // namespace

// The literals are string views: each row would otherwise measure them again.
void JsonRowWriter::append(std::string& out, const ResultsRow& row, const std::string& reason) {
  using namespace std::string_view_literals;
  out += '{';
  appendColumnKey(out, ResultsColumn::Name);
  appendJsonString(out, printable(row.name, m_storage));
  out += ',';
  appendColumnKey(out, ResultsColumn::Location);
  out += m_location.of(row.location);
  out += ",\"size\":"sv;
  appendNumber(out, row.size);
  out += ',';
  appendColumnKey(out, ResultsColumn::Size);
  appendJsonString(out, row.sizeText);
  out += ',';
  appendColumnKey(out, ResultsColumn::Date);
  appendJsonString(out, row.dateText);
  out += row.isFolder ? ",\"is_folder\":true"sv : ",\"is_folder\":false"sv;
  out += row.checked ? ",\"checked\":true"sv : ",\"checked\":false"sv;
  out += ',';
  appendColumnKey(out, ResultsColumn::Status);
  appendJsonString(out, row.status);
  // A recent finding's status is its reason: the table shows it once, JSON under both keys.
  const std::string_view shown = reason.empty() && row.status == kRecentStatus ? kRecentStatus : reason;
  if (!shown.empty()) {
    out += ",\"reason\":"sv;
    appendJsonString(out, printable(shown, m_storage));
  }
  out += "}\n"sv;
}

CliScanFront::CliScanFront(bool json, bool keepRows, TStopToken stop)
    : m_json(json),
      m_keepRows(keepRows),
      m_stop(std::move(stop)),
      m_showProgress(platform::errorStreamIsTerminal()) {}

CliScanFront::~CliScanFront() {
  clearProgress();
}

void CliScanFront::endSession(SessionKind kind, const ScanTotals& totals) {
  clearProgress();
  m_stopped = m_stopped || totals.outcome == SessionOutcome::Stopped;
  if (kind != SessionKind::Cleaning)
    m_totals = totals;
}

void CliScanFront::clear() {
  m_rows.clear();
  m_count = 0;
}

void CliScanFront::append(const ResultsRow& row) {
  ++m_count;
  if (m_observer)
    m_observer(row);
  if (m_keepRows) {
    m_rows.append(row);
    return;
  }
  if (m_json) {
    m_jsonRows.append(m_out.buffer(), row, {});
  } else {
    appendTableRow(m_out.buffer(), row, {});
  }
  // The session pumps after every row, and the pump flushes when due.
  m_out.flushWhenFull();
}

void CliScanFront::flushWhenDue() {
  if (m_out.buffer().empty())
    return;
  const auto now = std::chrono::steady_clock::now();
  if (now - m_lastFlush < kFlushInterval)
    return;
  clearProgress();
  m_out.flush();
  m_lastFlush = now;
}

void CliScanFront::showInformation(const std::string& text) {
  clearProgress();
  std::cerr << text << '\n';
}

void CliScanFront::pump() {
  flushWhenDue();
  if (!m_showProgress)
    return;
  const auto now = std::chrono::steady_clock::now();
  if (m_progressShown && now - m_lastDraw < kProgressInterval)
    return;
  m_lastDraw = now;
  drawProgress();
}

void CliScanFront::drawProgress() {
  std::string line = "\r\033[K";
  if (m_maximum > 0)
    line += "[" + std::to_string(m_position) + "/" + std::to_string(m_maximum) + "] ";
  // The text may hold a resource's name, as its own Resource.ini gives it.
  std::string storage;
  line += withControlsEscaped(m_text, storage);
  line += "  " + resultsCounterCaption(m_count);
  platform::writeStandard(platform::StandardStream::Error, line);
  std::fflush(stderr);
  m_progressShown = true;
}

void CliScanFront::clearProgress() {
  if (!m_progressShown)
    return;
  platform::writeStandard(platform::StandardStream::Error, "\r\033[K");
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

void addOlderThanOption(CLI::App& command, int& days) {
  command
      .add_option("--older-than", days,
                  "Only files last written more than DAYS days ago are checked; newer ones are listed "
                  "unchecked and read 最近修改")
      ->type_name("DAYS")
      ->check(CLI::Range(1, 36500));
}

std::string findCacheSayingWhatWasSkipped() {
  std::vector<SkippedCache> skipped;
  std::string cache = FindCloudCachePath(&skipped);
  std::string path;
  std::string reason;
  for (const SkippedCache& passed : skipped)
    std::cerr << "not a cache: " << printableInText(passed.path, path) << " ("
              << withControlsEscaped(passed.reason, reason) << ")\n";
  return cache;
}

AppSettings applyLocations(const LocationOptions& options, Needs needs) {
  AppSettings settings{
      needs == Needs::Cache ? appPaths(options.appDir) : startUpPaths(options.appDir), {}, {}};
  const std::string& database = settings.paths.dbFileName;
  // Opening a missing database would leave an empty one behind.
  if (needs != Needs::Cache && !std::filesystem::is_regular_file(platform::fsPath(database)))
    throw std::runtime_error("no rules database at " + database);
  if (needs == Needs::Database)
    return settings;
  const std::string cache =
      options.cache.empty() ? findCacheSayingWhatWasSkipped() : cacheDirectory(options.cache);
  if (cache.empty())
    throw std::runtime_error("没有找到云端缓存目录");
  if (!std::filesystem::is_directory(platform::fsPath(cache)))
    throw std::runtime_error("no cache directory at " + cache);
  settings.cloudCachePath = cache;
  return settings;
}

std::vector<ScanResourceRow> listScanResources(const AppSettings& settings) {
  std::vector<ScanResourceRow> rows;
  const Whitelist whitelist(settings.paths.whiteListFile);
  listInstalledResources(settings.cloudCachePath, whitelist, [&rows](const InstalledResource& resource) {
    rows.push_back({resource.name, resource.id, true});
  });
  return rows;
}

namespace {

void printKeptRows(CliScanFront& front, const RowReason& reasonOf) {
  BufferedOutput& out = front.out();
  const Findings& rows = front.rows();
  JsonRowWriter jsonRows;
  for (size_t i = 0; i < rows.count(); ++i) {
    const std::string reason = reasonOf ? reasonOf(i) : std::string();
    const ResultsRow row = rows.row(i);
    if (front.json()) {
      jsonRows.append(out.buffer(), row, reason);
    } else {
      appendTableRow(out.buffer(), row, reason);
    }
    out.flushWhenFull();
  }
}

void printTotals(CliScanFront& front) {
  const ScanTotals& totals = front.totals();
  const bool complete = !front.stopped();
  if (front.json()) {
    nlohmann::ordered_json last{{"rows", front.rowCount()},
                                {"total_mb", totalMegabytesText(totals.totalKB)},
                                {"unreadable", totals.unreadableFolders}};
    if (front.freedBytes())
      last["freed_bytes"] = *front.freedBytes();
    if (!complete)
      last["complete"] = false;
    front.out().line(last.dump());
  } else {
    const std::string note = unreadableFoldersNote(totals.unreadableFolders);
    const std::string total = complete ? totalLine(totals.totalKB) : stoppedTotalLine(totals.totalKB);
    const std::string freed =
        front.freedBytes()
            ? "  释放 " + totalMegabytesText(static_cast<double>(*front.freedBytes()) / 1024) + " MB"
            : "";
    front.out().line(resultsCounterCaption(front.rowCount()) + "  " + total + freed +
                     (note.empty() ? "" : "  " + note));
  }
  front.out().flush();
}

void printAfterScan(CliScanFront& front, const RowReason& reasonOf, const BeforeTotals& beforeTotals) {
  printKeptRows(front, reasonOf);
  if (beforeTotals)
    beforeTotals(front.out().buffer());
  printTotals(front);
}

}  // namespace

bool runAndPrint(CliScanFront& front, const std::function<void()>& scan, const RowReason& reasonOf,
                 const BeforeTotals& beforeTotals) {
  try {
    scan();
  } catch (const EInvalidMask& error) {
    printAfterScan(front, reasonOf, beforeTotals);
    std::cerr << error.what() << '\n';
    exitWith(ExitCode::InvalidMask);
  } catch (const std::exception& error) {
    printAfterScan(front, reasonOf, beforeTotals);
    std::cerr << error.what() << '\n';
    exitWith(ExitCode::Failure);
  }
  printAfterScan(front, reasonOf, beforeTotals);
  return front.totals().unreadableFolders == 0;
}

void exitForOutcome(const CliScanFront& front, bool everyFolderRead) {
  if (front.stopped())
    exitWith(ExitCode::Interrupted);
  if (!everyFolderRead)
    exitWith(ExitCode::Failure);
}

}  // namespace qinglan::cli
