#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "scan/ResultsRow.h"
#include "search/FileSearchTypes.h"

namespace qinglan {

namespace platform {
class VolumeSpace;
}

inline constexpr std::string_view kPreparingText = "准备扫描……";
inline constexpr std::string_view kScanningText = "正在扫描……";
inline constexpr std::string_view kScanningItemPrefix = "正在扫描…";
inline constexpr std::string_view kScanFinishedText = "扫描完成！";
inline constexpr std::string_view kScanStoppedText = "扫描已停止。";
inline constexpr std::string_view kScanFailedText = "扫描未完成！";

// The results list of a front end: the findings of the last scan in the order they came. The
// window, and a command that cleans, keep them in a Findings store, which cleaning reads back
// through row() and isChecked(); a command that prints them as they come keeps none.
class ResultsList {
 public:
  virtual ~ResultsList() = default;
  virtual void clear() = 0;
  virtual void append(const ResultsRow& row) = 0;
  virtual size_t count() const = 0;
  // The row as it is now, with the check mark the user may have changed.
  virtual ResultsRow row(size_t index) const = 0;
  // The row's check mark alone, without building the row.
  virtual bool isChecked(size_t index) const = 0;
  virtual void setStatus(size_t index, const std::string& status) = 0;
  // The first column's caption, which counts the rows: "文件名[3]".
  virtual void setCounter(const std::string& caption) = 0;
};

// The progress of a running session: a bar from 0 to a maximum, and one line of text.
class ScanProgress {
 public:
  virtual ~ScanProgress() = default;
  virtual void setRange(int maximum) = 0;
  virtual void setPosition(int position) = 0;
  virtual void setText(const std::string& text) = 0;
};

enum class SessionKind { BasicScan, LargeFileScan, SoftwareCacheScan, Cleaning };
enum class SessionOutcome { Finished, Stopped, Failed };

// How a session ended and, for a scan, what it found: the sizes of the files it listed (folders
// count nothing) and the folders it reached but could not read, each once.
struct ScanTotals {
  SessionOutcome outcome = SessionOutcome::Finished;
  double totalKB = 0;
  int32_t unreadableFolders = 0;
};

// The front end the scans, the cleaning pass and a click on a finding work through: the window,
// or the command line.
class ScanFront {
 public:
  virtual ~ScanFront() = default;

  virtual ResultsList& results() = 0;
  virtual ScanProgress& progress() = 0;

  // A session begins: the results and the progress are shown, everything else becomes inert and
  // the user's stop (stopToken) is armed.
  virtual void beginSession(SessionKind kind) = 0;
  // The session ended: the progress is hidden and the front is usable again. Called however the
  // session ends, also when it failed before it began.
  virtual void endSession(SessionKind kind, const ScanTotals& totals) = 0;
  // Requested once the user asks the running session to stop.
  virtual TStopToken stopToken() const = 0;

  // The line above the results: what the last scan found.
  virtual void setSummary(const std::string& text) = 0;
  // Where the selected finding comes from, and what the rules database says about it.
  virtual void setFindingOrigin(const std::string& text) = 0;
  virtual void setFindingNote(const std::string& text) = 0;

  // Notices captioned "提示": information, and a question answered Yes (true) or No.
  virtual void showInformation(const std::string& text) = 0;
  virtual bool askYesNo(const std::string& text) = 0;

  // Lets the front's pending events run; the front limits how often that really happens.
  virtual void pump() = 0;

  // What a cleaning pass reads the volumes' free space through; null: the system.
  virtual platform::VolumeSpace* volumeSpace() { return nullptr; }
};

// The folders a scan reached but could not read, each once however many of its searches did.
using UnreadableFolders = std::set<std::string>;

// "（3 个文件夹无法读取）" for a count above 0, else nothing.
std::string unreadableFoldersNote(int32_t count);

// "扫描已停止，已找到约 2.00 MB 垃圾。"
std::string stoppedTotalLine(double totalKB);

// The rule a finding is listed by, as its row keeps it (ResultsRow::scanItem, ruleNote, ruleNoteKey).
struct ListingRule {
  std::string_view scanItem = {};
  std::string_view note = {};
  std::string_view noteKey = {};
};

// One scan or cleaning pass on a front. A scan's session clears the results when it begins and
// shows its closing texts when it ends: "扫描完成！" and the total line only when it finished. A
// session begun and not ended when it goes (an error is on its way) ends as failed; one that never
// began still gives the front its end, so the front is idle again however the session went.
class ScanSession {
 public:
  ScanSession(ScanFront& front, SessionKind kind);
  ~ScanSession();
  ScanSession(const ScanSession&) = delete;
  ScanSession& operator=(const ScanSession&) = delete;

  ScanFront& front() const { return m_front; }
  ResultsList& results() const { return m_front.results(); }
  ScanProgress& progress() const { return m_front.progress(); }

  void begin();
  // Set once the session begun: the user asked it to stop.
  TStopToken stopToken() const { return m_stop; }
  bool stopRequested() const { return m_stop.stop_requested(); }
  void pump() { m_front.pump(); }

  // Appends the row of one finding, lets pending events run, and counts a file's size (folders
  // count nothing). The rule is the one that listed it, if any.
  void addFinding(const TFileInformations& found, bool checked, const ListingRule& rule = {});
  // From now on a finding last written within the given days (none for 0) is added unchecked, 最近修改.
  void keepRecentFindings(int days);
  // Brings the counter up to the current number of rows.
  void updateCounter();
  UnreadableFolders& unreadable() { return m_unreadable; }

  // Ends the session as finished, or as stopped when a stop was requested.
  ScanTotals finish();

 private:
  ScanTotals end(SessionOutcome outcome);
  void showClosingTexts(const ScanTotals& totals);

  ScanFront& m_front;
  const SessionKind m_kind;
  bool m_begun = false;
  bool m_ended = false;
  TStopToken m_stop;
  double m_totalKB = 0;
  std::optional<double> m_recentSince;  // the local date-time after which a write is recent
  UnreadableFolders m_unreadable;
};

}  // namespace qinglan
