#include "support/RecordingScanView.h"

namespace qinglan::test {

std::vector<std::string> RecordingScanView::eventsStartingWith(std::string_view prefix) const {
  std::vector<std::string> found;
  for (const std::string& event : events) {
    if (event.starts_with(prefix))
      found.push_back(event);
  }
  return found;
}

std::vector<std::string> RecordingScanView::rowNames() const {
  std::vector<std::string> names;
  for (const ResultsRow& row : rows)
    names.push_back(row.name);
  return names;
}

std::vector<std::string> RecordingScanView::fullPaths() const {
  std::vector<std::string> paths;
  for (const ResultsRow& row : rows)
    paths.push_back(row.fullPath());
  return paths;
}

void RecordingScanView::setScanButton(const std::string& caption, bool enabled) {
  events.push_back("button=" + caption + (enabled ? "" : " (disabled)"));
}

void RecordingScanView::setProgressMinimum(int minimum) {
  events.push_back("min=" + std::to_string(minimum));
}

void RecordingScanView::setProgressMaximum(int maximum) {
  events.push_back("max=" + std::to_string(maximum));
}

void RecordingScanView::setProgressPosition(int position) {
  events.push_back("position=" + std::to_string(position));
}

void RecordingScanView::setLabel1(const std::string& text) {
  label1 = text;
  events.push_back("label1=" + text);
}

void RecordingScanView::setProgressPanelVisible(bool visible) {
  events.push_back(visible ? "panel=1" : "panel=0");
}

void RecordingScanView::setLabel2(const std::string& text) {
  label2 = text;
  events.push_back("label2=" + text);
}

void RecordingScanView::clearResults() {
  rows.clear();
  events.push_back("clear");
}

void RecordingScanView::appendResult(const ResultsRow& row) {
  rows.push_back(row);
  events.push_back("row=" + row.name);
}

void RecordingScanView::setResultStatus(size_t index, const std::string& status) {
  rows.at(index).status = status;
  events.push_back("status=" + std::to_string(index) + " " + status);
}

void RecordingScanView::setResultsCounter(const std::string& caption) {
  counter = caption;
  events.push_back("counter=" + caption);
}

void RecordingScanView::setEdit1(const std::string& text) {
  edit1 = text;
  events.push_back("edit1=" + text);
}

void RecordingScanView::setEdit2(const std::string& text) {
  edit2 = text;
  events.push_back("edit2=" + text);
}

void RecordingScanView::showResultsPage() {
  events.push_back("page");
}

void RecordingScanView::setPageControlEnabled(bool enabled) {
  events.push_back(enabled ? "pages=1" : "pages=0");
}

void RecordingScanView::showInformation(const std::string& text) {
  events.push_back("info=" + text);
}

bool RecordingScanView::askYesNo(const std::string& text) {
  events.push_back("ask=" + text);
  return answer;
}

}  // namespace qinglan::test
