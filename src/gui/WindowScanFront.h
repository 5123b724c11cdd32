#pragma once

#include <stop_token>
#include <string>

#include "scan/ScanSession.h"

namespace qinglan::gui {

class TForm1;

// The main window as the front of the scans, the cleaning pass and a click on a finding: the
// results are the window's findings, which ListView1 draws; the progress is Panel1 with Label1 and
// ProgressBar1, the summary is Label2, the finding's origin and note are Edit1 and Edit2. A session
// disables the page control, leaving the stop button and Esc to end it; the basic scan's session
// also holds "扫描" busy. Findings wait in the store and are shown together at each pump; whatever
// still waits is shown when the front goes, so an error box raised by the command comes after
// every row found before it.
class WindowScanFront final : public ScanFront, private ResultsList, private ScanProgress {
 public:
  explicit WindowScanFront(TForm1& form);
  ~WindowScanFront() override;
  WindowScanFront(const WindowScanFront&) = delete;
  WindowScanFront& operator=(const WindowScanFront&) = delete;

  ResultsList& results() override { return *this; }
  ScanProgress& progress() override { return *this; }
  void beginSession(SessionKind kind) override;
  void endSession(SessionKind kind, const ScanTotals& totals) override;
  TStopToken stopToken() const override { return m_stop.get_token(); }
  void setSummary(const std::string& text) override;
  void setFindingOrigin(const std::string& text) override;
  void setFindingNote(const std::string& text) override;
  void showInformation(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  void pump() override;
  platform::VolumeSpace* volumeSpace() override;

 private:
  void clear() override;
  void append(const ResultsRow& row) override;
  size_t count() const override;
  ResultsRow row(size_t index) const override;
  bool isChecked(size_t index) const override;
  void setStatus(size_t index, const std::string& status) override;
  void setCounter(const std::string& caption) override;
  void setRange(int maximum) override;
  void setPosition(int position) override;
  void setText(const std::string& text) override;

  TForm1& m_form;
  std::stop_source m_stop;
  bool m_inSession = false;
};

}  // namespace qinglan::gui
