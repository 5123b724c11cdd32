#pragma once

#include <string>

#include "gui/RowListModel.h"
#include "scan/ScanView.h"

namespace qinglan::gui {

class TForm1;

// The main window's side of the scans and the cleaning pass: the results page, the "扫描" button,
// the page control and the prompts. Findings are queued on ListView1's model and shown together at
// each pump; whatever is still queued is shown when the adapter goes, so an error box raised by
// the command comes after every row found before it. When a command is left by an exception the
// window is put back to idle (progress panel hidden, page control enabled).
class ScanViewAdapter final : public ScanView {
 public:
  explicit ScanViewAdapter(TForm1& form);
  ~ScanViewAdapter() override;
  ScanViewAdapter(const ScanViewAdapter&) = delete;
  ScanViewAdapter& operator=(const ScanViewAdapter&) = delete;

  void setScanButton(const std::string& caption, bool enabled) override;
  void setProgressMinimum(int minimum) override;
  void setProgressMaximum(int maximum) override;
  void setProgressPosition(int position) override;
  void setLabel1(const std::string& text) override;
  void setProgressPanelVisible(bool visible) override;
  void setLabel2(const std::string& text) override;
  void clearResults() override;
  void appendResult(const ResultsRow& row) override;
  size_t resultCount() const override;
  ResultsRow result(size_t index) const override;
  void setResultStatus(size_t index, const std::string& status) override;
  void setResultsCounter(const std::string& caption) override;
  void setEdit1(const std::string& text) override;
  void setEdit2(const std::string& text) override;
  void showResultsPage() override;
  void setPageControlEnabled(bool enabled) override;
  void showInformation(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  void pump() override;

  // The list row of a finding, and the finding a list row stands for. A name or location that is
  // not UTF-8 is shown as well as it decodes and kept byte for byte in a hidden column, so that
  // cleaning deletes the entry the scan found.
  static ListRow listRowFor(const ResultsRow& row);
  static ResultsRow resultsRowOf(const ListRow& row);

 private:
  TForm1& m_form;
  const int m_exceptionsOnEntry;
};

}  // namespace qinglan::gui
