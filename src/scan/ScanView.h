#pragma once

#include <cstddef>
#include <string>

#include "scan/ResultsRow.h"

namespace qinglan {

// What the scans, the cleaning pass and a click on a finding do to the window, named after the
// controls they touch. The window implements it over its widgets, the command line over a list of
// rows. The core calls these in the order the window must see them.
class ScanView {
 public:
  virtual ~ScanView() = default;

  // bsSkinButton1, the basic scan's "扫描" button.
  virtual void setScanButton(const std::string& caption, bool enabled) = 0;

  // ProgressBar1, Label1 and Panel1: the progress panel on the results page.
  virtual void setProgressMinimum(int minimum) = 0;
  virtual void setProgressMaximum(int maximum) = 0;
  virtual void setProgressPosition(int position) = 0;
  virtual void setLabel1(const std::string& text) = 0;
  virtual void setProgressPanelVisible(bool visible) = 0;

  // Label2, the line above the results list.
  virtual void setLabel2(const std::string& text) = 0;

  // ListView1, the results list, and its first column's caption.
  virtual void clearResults() = 0;
  virtual void appendResult(const ResultsRow& row) = 0;
  virtual size_t resultCount() const = 0;
  // The row as it is now, with the check mark the user may have changed.
  virtual ResultsRow result(size_t index) const = 0;
  virtual void setResultStatus(size_t index, const std::string& status) = 0;
  virtual void setResultsCounter(const std::string& caption) = 0;

  // Edit1 (where a finding comes from) and Edit2 (what the rules database says about it).
  virtual void setEdit1(const std::string& text) = 0;
  virtual void setEdit2(const std::string& text) = 0;

  // Makes "扫描结果" the active page; the page control that holds every page and button.
  virtual void showResultsPage() = 0;
  virtual void setPageControlEnabled(bool enabled) = 0;

  // Message boxes captioned "提示", owned by no window: a notice with the information icon, and a
  // question with the warning icon and the buttons Yes and No (true for Yes).
  virtual void showInformation(const std::string& text) = 0;
  virtual bool askYesNo(const std::string& text) = 0;

  // Lets the window's pending events run; the window limits how often that really happens.
  virtual void pump() = 0;
};

}  // namespace qinglan
