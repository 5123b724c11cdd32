#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "scan/BasicScan.h"
#include "scan/ResultsRow.h"
#include "scan/ScanView.h"

// What the scan commands share: the results page kept as a list of rows, the progress line, the
// options that locate the cache and the rules database, and the printing of findings.
namespace qinglan::cli {

// The results page of the command line. Rows are kept for printing and cleaning; the progress
// panel becomes one line on standard error when that is a terminal; notices go to standard error.
class CliScanView final : public ScanView {
 public:
  CliScanView();
  ~CliScanView() override;
  CliScanView(const CliScanView&) = delete;
  CliScanView& operator=(const CliScanView&) = delete;

  void setAnswer(bool yes) { m_answer = yes; }
  const std::vector<ResultsRow>& rows() const { return m_rows; }

  void setScanButton(const std::string&, bool) override {}
  void setProgressMinimum(int) override {}
  void setProgressMaximum(int maximum) override { m_maximum = maximum; }
  void setProgressPosition(int position) override { m_position = position; }
  void setLabel1(const std::string& text) override { m_label1 = text; }
  void setProgressPanelVisible(bool visible) override;
  void setLabel2(const std::string&) override {}
  void clearResults() override { m_rows.clear(); }
  void appendResult(const ResultsRow& row) override { m_rows.push_back(row); }
  size_t resultCount() const override { return m_rows.size(); }
  ResultsRow result(size_t index) const override { return m_rows.at(index); }
  void setResultStatus(size_t index, const std::string& status) override { m_rows.at(index).status = status; }
  void setResultsCounter(const std::string&) override {}
  void setEdit1(const std::string&) override {}
  void setEdit2(const std::string&) override {}
  void showResultsPage() override {}
  void setPageControlEnabled(bool) override {}
  void showInformation(const std::string& text) override;
  bool askYesNo(const std::string&) override { return m_answer; }
  void pump() override;

 private:
  void drawProgress();
  void clearProgress();

  std::vector<ResultsRow> m_rows;
  std::string m_label1;
  int m_maximum = 0;
  int m_position = 0;
  bool m_answer = false;
  const bool m_showProgress;
  bool m_progressShown = false;
  std::chrono::steady_clock::time_point m_lastDraw;
};

// Where the commands find the cache and the program's files.
struct LocationOptions {
  std::string cache;   // empty: the first volume's CloudCache
  std::string appDir;  // empty: the executable's folder
};

void addCacheOption(CLI::App& command, LocationOptions& options);
void addAppDirOption(CLI::App& command, LocationOptions& options);

enum class Needs { Database, Cache, DatabaseAndCache };

// Sets the shared settings from the options: the program folder (ccdb.db and wb.lst) and the
// cache directory. Raises when what the command needs is missing.
void applyLocations(const LocationOptions& options, Needs needs);

// The installed resource list of the cache as the basic scan reads it: every resource the
// whitelist does not hide, checked, in listing order.
std::vector<ScanResourceRow> listScanResources();

// Why a row's cleaning failed, by row index; empty for the rows that did not fail.
using RowReason = std::function<std::string(size_t)>;
// Appends lines to print after the rows and before the totals line.
using BeforeTotals = std::function<void(std::string& out, const std::vector<ResultsRow>& rows)>;

// Prints the rows as a table, or as one JSON object per line, and then the totals line for
// globals().ScanTotalKB and globals().ScanUnreadableFolders. A row with a reason shows it ("reason"
// in JSON).
void printRows(const std::vector<ResultsRow>& rows, bool json, const RowReason& reasonOf = {},
               const BeforeTotals& beforeTotals = {});

// Runs a scan and prints its rows. A scan's error comes after the window-side steps: it is
// printed after the rows found so far and ends the command with exit code 2 for an invalid mask,
// else 1. False when the scan went on past folders it could not read: the command then exits 1.
[[nodiscard]] bool runAndPrint(CliScanView& view, bool json, const std::function<void()>& scan,
                               const RowReason& reasonOf = {}, const BeforeTotals& beforeTotals = {});

}  // namespace qinglan::cli
