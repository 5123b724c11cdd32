#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qinglan {

// The columns of the results list, in the order the window shows them.
enum class ResultsColumn : uint8_t { Name, Location, Size, Date, Status };

// What a header click orders the rows by: the text, or the raw value the text rounds.
enum class ColumnOrder : uint8_t { Text, Bytes, Time };

struct ResultsColumnInfo {
  ResultsColumn id;
  std::string_view caption;  // the window's header
  int width;                 // the window's width in pixels
  ColumnOrder order;
  std::string_view jsonKey;  // the command line's key of the column's text
};

// Every column once. A new column is an entry here, a member of ResultsRow with its case in
// ResultsRow::cell, and the line of resultsRowFor that fills it.
inline constexpr std::array<ResultsColumnInfo, 5> kResultsColumns{{
    {ResultsColumn::Name, "文件名", 150, ColumnOrder::Text, "name"},
    {ResultsColumn::Location, "文件位置", 250, ColumnOrder::Text, "location"},
    {ResultsColumn::Size, "文件大小", 90, ColumnOrder::Bytes, "size_text"},
    {ResultsColumn::Date, "文件日期", 100, ColumnOrder::Time, "date"},
    {ResultsColumn::Status, "状态", 80, ColumnOrder::Text, "status"},
}};

inline constexpr size_t kResultsColumnCount = kResultsColumns.size();

constexpr size_t columnIndex(ResultsColumn column) {
  return static_cast<size_t>(column);
}

static_assert(
    [] {
      for (size_t i = 0; i < kResultsColumnCount; ++i) {
        if (columnIndex(kResultsColumns[i].id) != i)
          return false;
      }
      return true;
    }(),
    "each column stands at the place its id names");

constexpr const ResultsColumnInfo& columnInfo(ResultsColumn column) {
  return kResultsColumns[columnIndex(column)];
}

}  // namespace qinglan
