#include "support/RecordingScanFront.h"

namespace qinglan::test {

std::string outcomeName(SessionOutcome outcome) {
  switch (outcome) {
    case SessionOutcome::Finished:
      return "finished";
    case SessionOutcome::Stopped:
      return "stopped";
    case SessionOutcome::Failed:
      return "failed";
  }
  return {};
}

std::vector<std::string> RecordingScanFront::eventsStartingWith(std::string_view prefix) const {
  std::vector<std::string> found;
  for (const std::string& event : events) {
    if (event.starts_with(prefix))
      found.push_back(event);
  }
  return found;
}

std::vector<std::string> RecordingScanFront::rowNames() const {
  std::vector<std::string> names;
  for (const ResultsRow& row : rows)
    names.push_back(row.name);
  return names;
}

std::vector<std::string> RecordingScanFront::fullPaths() const {
  std::vector<std::string> paths;
  for (const ResultsRow& row : rows)
    paths.push_back(row.fullPath());
  return paths;
}

void RecordingScanFront::beginSession(SessionKind) {
  events.push_back("begin");
}

void RecordingScanFront::endSession(SessionKind, const ScanTotals& totals) {
  ended = totals;
  events.push_back("end=" + outcomeName(totals.outcome));
}

void RecordingScanFront::setSummary(const std::string& line) {
  summary = line;
  events.push_back("summary=" + line);
}

void RecordingScanFront::setFindingOrigin(const std::string& line) {
  origin = line;
  events.push_back("origin=" + line);
}

void RecordingScanFront::setFindingNote(const std::string& line) {
  note = line;
  events.push_back("note=" + line);
}

void RecordingScanFront::showInformation(const std::string& line) {
  events.push_back("info=" + line);
}

bool RecordingScanFront::askYesNo(const std::string& line) {
  events.push_back("ask=" + line);
  return answer;
}

void RecordingScanFront::pump() {
  ++pumps;
  if (onPump)
    onPump();
}

void RecordingScanFront::clear() {
  rows.clear();
  events.push_back("clear");
}

void RecordingScanFront::append(const ResultsRow& row) {
  rows.push_back(row);
  events.push_back("row=" + row.name);
}

void RecordingScanFront::setStatus(size_t index, const std::string& status) {
  rows.at(index).status = status;
  events.push_back("status=" + std::to_string(index) + " " + status);
}

void RecordingScanFront::setCounter(const std::string& caption) {
  counter = caption;
  events.push_back("counter=" + caption);
}

void RecordingScanFront::setRange(int maximum) {
  events.push_back("max=" + std::to_string(maximum));
}

void RecordingScanFront::setPosition(int position) {
  events.push_back("position=" + std::to_string(position));
}

void RecordingScanFront::setText(const std::string& line) {
  text = line;
  events.push_back("text=" + line);
}

}  // namespace qinglan::test
