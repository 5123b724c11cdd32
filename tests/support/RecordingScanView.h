#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scan/ScanView.h"

namespace qinglan::test {

// A results page that keeps its rows and writes down every change made to it, in order, as
// "what=value" texts ("label1=扫描完成！", "panel=0"). Rows appended are logged as "row=<name>";
// pumps are only counted. Questions are answered with the preset answer.
class RecordingScanView final : public ScanView {
 public:
  std::vector<std::string> events;
  std::vector<ResultsRow> rows;
  std::string counter;
  std::string label1;
  std::string label2;
  std::string edit1;
  std::string edit2;
  bool answer = true;
  int pumps = 0;

  // The events whose text starts with the prefix, in order.
  std::vector<std::string> eventsStartingWith(std::string_view prefix) const;
  // The names of the rows, in order.
  std::vector<std::string> rowNames() const;
  // The full paths of the rows, in order.
  std::vector<std::string> fullPaths() const;

  void setScanButton(const std::string& caption, bool enabled) override;
  void setProgressMinimum(int minimum) override;
  void setProgressMaximum(int maximum) override;
  void setProgressPosition(int position) override;
  void setLabel1(const std::string& text) override;
  void setProgressPanelVisible(bool visible) override;
  void setLabel2(const std::string& text) override;
  void clearResults() override;
  void appendResult(const ResultsRow& row) override;
  size_t resultCount() const override { return rows.size(); }
  ResultsRow result(size_t index) const override { return rows.at(index); }
  void setResultStatus(size_t index, const std::string& status) override;
  void setResultsCounter(const std::string& caption) override;
  void setEdit1(const std::string& text) override;
  void setEdit2(const std::string& text) override;
  void showResultsPage() override;
  void setPageControlEnabled(bool enabled) override;
  void showInformation(const std::string& text) override;
  bool askYesNo(const std::string& text) override;
  void pump() override { ++pumps; }
};

}  // namespace qinglan::test
