#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "app/AppSettings.h"
#include "cli/BufferedOutput.h"
#include "cli/JsonText.h"
#include "scan/BasicScan.h"
#include "scan/Findings.h"
#include "scan/ResultsRow.h"
#include "scan/ScanSession.h"

// What the scan commands share: the results page kept as a list of rows, the progress line, the
// options that locate the cache and the rules database, and the printing of findings.
namespace qinglan::cli {

// Writes the rows' objects, assembled in place: a scan may list hundreds of thousands of rows.
// Rows mostly follow others of the same folder, whose text is escaped once for all of them.
class JsonRowWriter {
 public:
  void append(std::string& out, const ResultsRow& row, const std::string& reason);

 private:
  std::string m_storage;
  RepeatedJsonString m_location;
};

// The command line as the front of the scans and the cleaning pass. Rows are printed to standard
// output as they come, or kept for cleaning and printed once the command has cleaned them; the
// progress becomes one line on standard error when that is a terminal; notices go to standard
// error. The user's stop is the interrupt (Ctrl-C).
class CliScanFront final : public ScanFront, private ResultsList, private ScanProgress {
 public:
  CliScanFront(bool json, bool keepRows, TStopToken stop = {});
  ~CliScanFront() override;
  CliScanFront(const CliScanFront&) = delete;
  CliScanFront& operator=(const CliScanFront&) = delete;

  void setAnswer(bool yes) { m_answer = yes; }
  // Sees every row as it is appended.
  void setRowObserver(std::function<void(const ResultsRow&)> observer) { m_observer = std::move(observer); }
  bool json() const { return m_json; }
  // The rows kept; none when they are printed as they come.
  const Findings& rows() const { return m_rows; }
  size_t rowCount() const { return m_count; }
  // The totals of the last scan, and whether any session was stopped.
  const ScanTotals& totals() const { return m_totals; }
  bool stopped() const { return m_stopped; }
  // The bytes a cleaning pass gave back, for the totals line; unset when nothing was cleaned.
  void setFreedBytes(int64_t bytes) { m_freedBytes = bytes; }
  std::optional<int64_t> freedBytes() const { return m_freedBytes; }
  BufferedOutput& out() { return m_out; }

  ResultsList& results() override { return *this; }
  ScanProgress& progress() override { return *this; }
  void beginSession(SessionKind) override {}
  void endSession(SessionKind kind, const ScanTotals& totals) override;
  TStopToken stopToken() const override { return m_stop; }
  void setSummary(const std::string&) override {}
  void setFindingOrigin(const std::string&) override {}
  void setFindingNote(const std::string&) override {}
  void showInformation(const std::string& text) override;
  bool askYesNo(const std::string&) override { return m_answer; }
  void pump() override;

 private:
  void clear() override;
  void append(const ResultsRow& row) override;
  size_t count() const override { return m_count; }
  ResultsRow row(size_t index) const override { return m_rows.row(index); }
  bool isChecked(size_t index) const override { return m_rows.isChecked(index); }
  void setStatus(size_t index, const std::string& status) override { m_rows.setStatus(index, status); }
  void setCounter(const std::string&) override {}
  void setRange(int maximum) override { m_maximum = maximum; }
  void setPosition(int position) override { m_position = position; }
  void setText(const std::string& text) override { m_text = text; }

  void flushWhenDue();
  void drawProgress();
  void clearProgress();

  const bool m_json;
  const bool m_keepRows;
  const TStopToken m_stop;
  BufferedOutput m_out;
  JsonRowWriter m_jsonRows;
  Findings m_rows;
  size_t m_count = 0;
  std::function<void(const ResultsRow&)> m_observer;
  ScanTotals m_totals;
  std::optional<int64_t> m_freedBytes;
  bool m_stopped = false;
  std::string m_text;
  int m_maximum = 0;
  int m_position = 0;
  bool m_answer = false;
  const bool m_showProgress;
  bool m_progressShown = false;
  std::chrono::steady_clock::time_point m_lastDraw;
  std::chrono::steady_clock::time_point m_lastFlush;  // none yet: the first row is written at once
};

// Where the commands find the cache and the program's files.
struct LocationOptions {
  std::string cache;   // empty: the first volume's CloudCache
  std::string appDir;  // empty: the executable's folder
};

void addCacheOption(CLI::App& command, LocationOptions& options);
void addAppDirOption(CLI::App& command, LocationOptions& options);
// --older-than DAYS: findings written within the last DAYS days are listed unchecked, 最近修改.
void addOlderThanOption(CLI::App& command, int& days);

enum class Needs { Database, Cache, DatabaseAndCache };

// The settings the options give: the program's files (ccdb.db, wb.lst, the journal) and the cache
// directory, left empty unless the command needs it. Raises when what the command needs is missing.
AppSettings applyLocations(const LocationOptions& options, Needs needs);

// The first cache directory of the machine's volumes, or empty text; says on standard error which
// volume's CloudCache was passed over, and why.
std::string findCacheSayingWhatWasSkipped();

// The installed resource list of the cache as the basic scan reads it: every resource the
// whitelist does not hide, checked, in listing order.
std::vector<ScanResourceRow> listScanResources(const AppSettings& settings);

// Why a row's cleaning failed, by row index; empty for the rows that did not fail.
using RowReason = std::function<std::string(size_t)>;
// Appends lines to print after the rows and before the totals line.
using BeforeTotals = std::function<void(std::string& out)>;

// Runs a scan on the front and prints what it did not print as it went: the rows kept (a row
// with a reason shows it, "reason" in JSON), the lines before the totals, and the totals line
// ("complete":false, and the stopped line, when a session was stopped). A scan's error comes
// after the window-side steps: it is printed after the rows found so far and ends the command
// with exit code 2 for an invalid mask, else 1. False when the scan went on past folders it could
// not read.
[[nodiscard]] bool runAndPrint(CliScanFront& front, const std::function<void()>& scan,
                               const RowReason& reasonOf = {}, const BeforeTotals& beforeTotals = {});

// Ends the command with exit code 130 when a session was stopped, else 1 when a folder could not
// be read.
void exitForOutcome(const CliScanFront& front, bool everyFolderRead);

}  // namespace qinglan::cli
