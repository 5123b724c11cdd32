#include "scan/Findings.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace qinglan {

namespace {

constexpr size_t kMaxPlaces = size_t{1} << 30;

}  // namespace

Findings::Findings() : m_places(1), m_rules(1) {}

void Findings::append(const ResultsRow& row) {
  // Findings come folder by folder: most of a row's texts are the row before's again, which a
  // compare tells sooner than the pool's look-up.
  const StoredRow* previous = m_rows.empty() ? nullptr : &m_rows.back();
  const auto intern = [&](std::string_view text, TextPool::Id previousId) {
    return m_texts.view(previousId) == text ? previousId : m_texts.intern(text);
  };
  StoredRow stored;
  for (const ResultsColumnInfo& column : kResultsColumns) {
    const size_t i = columnIndex(column.id);
    stored.cells[i] =
        intern(row.cell(column.id), previous == nullptr ? TextPool::kEmpty : previous->cells[i]);
  }
  stored.rule = ruleOf(row);
  stored.place = placeOf(row.origin);
  stored.inode = row.origin.id.inode;
  stored.size = row.size;
  stored.time = row.creationTime;
  stored.checked = row.checked;
  stored.isFolder = row.isFolder;
  stored.serial = m_nextSerial++;
  m_rows.push_back(stored);
}

ResultsRow Findings::row(size_t index) const {
  const StoredRow& stored = at(index);
  ResultsRow row;
  for (const ResultsColumnInfo& column : kResultsColumns)
    row.cell(column.id) = m_texts.view(stored.cells[columnIndex(column.id)]);
  row.checked = stored.checked;
  row.size = stored.size;
  row.isFolder = stored.isFolder;
  row.creationTime = stored.time;
  const Rule& rule = m_rules[stored.rule];
  row.scanItem = m_texts.view(rule.scanItem);
  row.ruleNote = m_texts.view(rule.note);
  row.ruleNoteKey = m_texts.view(rule.noteKey);
  const Place& place = m_places[stored.place];
  row.origin = {place.root, {place.device, stored.inode, place.type, place.inodeHigh}};
  return row;
}

std::string_view Findings::text(size_t index, ResultsColumn column) const {
  return m_texts.view(textId(index, column));
}

TextPool::Id Findings::textId(size_t index, ResultsColumn column) const {
  return at(index).cells[columnIndex(column)];
}

std::string_view Findings::scanItem(size_t index) const {
  return m_texts.view(m_rules[at(index).rule].scanItem);
}

void Findings::setChecked(size_t index, bool checked) {
  m_rows.at(index).checked = checked;
}

void Findings::setAllChecked(bool checked) {
  for (StoredRow& row : m_rows)
    row.checked = checked;
}

void Findings::invertChecks() {
  for (StoredRow& row : m_rows)
    row.checked = !row.checked;
}

void Findings::setStatus(size_t index, std::string_view status) {
  m_rows.at(index).cells[columnIndex(ResultsColumn::Status)] = m_texts.intern(status);
}

void Findings::reorder(const std::vector<int>& order) {
  const size_t rows = m_rows.size();
  std::vector<bool> placed(rows, false);
  if (order.size() != rows)
    throw std::invalid_argument("an order of " + std::to_string(order.size()) + " rows for " +
                                std::to_string(rows));
  for (int from : order) {
    if (from < 0 || static_cast<size_t>(from) >= rows || placed[static_cast<size_t>(from)])
      throw std::invalid_argument("not an order of the rows");
    placed[static_cast<size_t>(from)] = true;
  }
  // In place, cycle by cycle: a second copy of a million rows would double the list's memory.
  placed.assign(rows, false);
  for (size_t start = 0; start < rows; ++start) {
    if (placed[start])
      continue;
    const StoredRow first = m_rows[start];
    size_t to = start;
    for (auto from = static_cast<size_t>(order[to]); from != start; from = static_cast<size_t>(order[to])) {
      m_rows[to] = m_rows[from];
      placed[to] = true;
      to = from;
    }
    m_rows[to] = first;
    placed[to] = true;
  }
}

void Findings::clear() {
  // Swapped out rather than cleared, so that a million rows give their memory back.
  std::vector<StoredRow>().swap(m_rows);
  m_texts.clear();
  m_places.resize(1);
  m_placeIndex.clear();
  m_rules.resize(1);
  m_ruleIndex.clear();
  m_nextSerial = 0;
}

uint32_t Findings::placeOf(const platform::FindingOrigin& origin) {
  const platform::EntryId& id = origin.id;
  if (origin.root == nullptr && id.device == 0 && id.inodeHigh == 0 && id.type == 0)
    return 0;
  if (!m_rows.empty()) {
    const Place& previous = m_places[m_rows.back().place];
    if (previous.root == origin.root && previous.device == id.device && previous.inodeHigh == id.inodeHigh &&
        previous.type == id.type)
      return m_rows.back().place;
  }
  const auto [found, added] = m_placeIndex.try_emplace({origin.root.get(), id.device, id.inodeHigh, id.type},
                                                       static_cast<uint32_t>(m_places.size()));
  if (added) {
    if (m_places.size() >= kMaxPlaces)
      throw std::length_error("too many roots and devices in one list");
    m_places.push_back({origin.root, id.device, id.inodeHigh, id.type});
  }
  return found->second;
}

uint32_t Findings::ruleOf(const ResultsRow& row) {
  if (row.scanItem.empty() && row.ruleNote.empty() && row.ruleNoteKey.empty())
    return 0;
  if (!m_rows.empty()) {
    const Rule& previous = m_rules[m_rows.back().rule];
    if (m_texts.view(previous.scanItem) == row.scanItem && m_texts.view(previous.note) == row.ruleNote &&
        m_texts.view(previous.noteKey) == row.ruleNoteKey)
      return m_rows.back().rule;
  }
  const Rule rule{m_texts.intern(row.scanItem), m_texts.intern(row.ruleNote),
                  m_texts.intern(row.ruleNoteKey)};
  const auto [found, added] = m_ruleIndex.try_emplace({rule.scanItem, rule.note, rule.noteKey},
                                                      static_cast<uint32_t>(m_rules.size()));
  if (added)
    m_rules.push_back(rule);
  return found->second;
}

}  // namespace qinglan
