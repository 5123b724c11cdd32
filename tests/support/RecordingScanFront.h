#pragma once

#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "scan/ScanSession.h"
#include "support/ScriptedVolumeSpace.h"

namespace qinglan::test {

// A front that keeps its rows and writes down every change made to it, in order, as "what=value"
// texts ("text=扫描完成！", "end=finished"). Rows appended are logged as "row=<name>"; pumps are
// only counted, and each may run `onPump` (to ask for a stop mid-walk). Questions are answered
// with the preset answer.
class RecordingScanFront final : public ScanFront, private ResultsList, private ScanProgress {
 public:
  std::vector<std::string> events;
  std::vector<ResultsRow> rows;
  std::string counter;
  std::string text;
  std::string summary;
  std::string origin;
  std::string note;
  bool answer = true;
  int pumps = 0;
  std::function<void()> onPump;
  std::stop_source stop;
  ScanTotals ended;
  // Never the real disk: its free space changes with whatever else runs.
  ScriptedVolumeSpace space;

  // The events whose text starts with the prefix, in order.
  std::vector<std::string> eventsStartingWith(std::string_view prefix) const;
  // The names of the rows, in order.
  std::vector<std::string> rowNames() const;
  // The full paths of the rows, in order.
  std::vector<std::string> fullPaths() const;

  ResultsList& results() override { return *this; }
  ScanProgress& progress() override { return *this; }
  void beginSession(SessionKind kind) override;
  void endSession(SessionKind kind, const ScanTotals& totals) override;
  TStopToken stopToken() const override { return stop.get_token(); }
  void setSummary(const std::string& text) override;
  void setFindingOrigin(const std::string& text) override;
  void setFindingNote(const std::string& text) override;
  void showInformation(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  void pump() override;
  platform::VolumeSpace* volumeSpace() override { return &space; }

 private:
  void clear() override;
  void append(const ResultsRow& row) override;
  size_t count() const override { return rows.size(); }
  ResultsRow row(size_t index) const override { return rows.at(index); }
  bool isChecked(size_t index) const override { return rows.at(index).checked; }
  void setStatus(size_t index, const std::string& status) override;
  void setCounter(const std::string& caption) override;
  void setRange(int maximum) override;
  void setPosition(int position) override;
  void setText(const std::string& text) override;
};

// "finished", "stopped", "failed".
std::string outcomeName(SessionOutcome outcome);

}  // namespace qinglan::test
