#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/ScanRoot.h"
#include "scan/ResultsColumns.h"
#include "scan/ResultsRow.h"
#include "scan/TextPool.h"

namespace qinglan {

// The findings of the last scan and what cleaning made of them, kept compact so that a million
// rows stay small: their texts live once each in a pool (findings repeat their locations, sizes,
// dates and statuses), and what they share of their origin once in a table of places. Texts are
// kept byte for byte, so a name that is not UTF-8 comes back as the scan listed it. A row's index
// is its place in the current order, which reorder() changes; an index out of range raises
// std::out_of_range.
class Findings {
 public:
  Findings();

  size_t count() const { return m_rows.size(); }
  void append(const ResultsRow& row);
  ResultsRow row(size_t index) const;

  std::string_view text(size_t index, ResultsColumn column) const;
  TextPool::Id textId(size_t index, ResultsColumn column) const;
  const TextPool& texts() const { return m_texts; }
  std::string_view scanItem(size_t index) const;
  bool isChecked(size_t index) const { return at(index).checked; }
  bool isFolder(size_t index) const { return at(index).isFolder; }
  int64_t size(size_t index) const { return at(index).size; }
  double creationTime(size_t index) const { return at(index).time; }
  // The order the row was appended in.
  uint32_t serial(size_t index) const { return at(index).serial; }

  void setChecked(size_t index, bool checked);
  void setAllChecked(bool checked);
  void invertChecks();
  void setStatus(size_t index, std::string_view status);

  // Puts the rows in the order given: order[p] is the index of the row that comes to stand at p.
  void reorder(const std::vector<int>& order);
  // Forgets every row and gives the memory back.
  void clear();

 private:
  // 56 bytes: the flags share a word with the place, of which a list has a handful.
  struct StoredRow {
    std::array<TextPool::Id, kResultsColumnCount> cells{};
    uint32_t rule = 0;  // into m_rules
    uint32_t serial = 0;
    uint32_t place : 30 = 0;  // into m_places
    uint32_t checked : 1 = 0;
    uint32_t isFolder : 1 = 0;
    int64_t size = 0;
    double time = 0;
    uint64_t inode = 0;
  };
  static_assert(sizeof(StoredRow) == 56, "a million findings keep their rows in 56 MB");
  // What findings share of their origin: the root they were listed under, the device, the type
  // and the upper half of a 128-bit id, which the entries of one folder share on ReFS and which
  // is 0 elsewhere.
  struct Place {
    std::shared_ptr<const platform::ScanRoot> root;
    uint64_t device = 0;
    uint64_t inodeHigh = 0;
    uint32_t type = 0;
  };

  // What findings share of the rule that listed them.
  struct Rule {
    TextPool::Id scanItem = TextPool::kEmpty;
    TextPool::Id note = TextPool::kEmpty;
    TextPool::Id noteKey = TextPool::kEmpty;
  };

  const StoredRow& at(size_t index) const { return m_rows.at(index); }
  uint32_t placeOf(const platform::FindingOrigin& origin);
  uint32_t ruleOf(const ResultsRow& row);

  TextPool m_texts;
  std::vector<StoredRow> m_rows;
  std::vector<Place> m_places;  // [0]: no origin
  std::vector<Rule> m_rules;    // [0]: no rule
  std::map<std::tuple<TextPool::Id, TextPool::Id, TextPool::Id>, uint32_t> m_ruleIndex;
  std::map<std::tuple<const platform::ScanRoot*, uint64_t, uint64_t, uint32_t>, uint32_t> m_placeIndex;
  uint32_t m_nextSerial = 0;
};

}  // namespace qinglan
