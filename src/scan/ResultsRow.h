#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ScanRoot.h"
#include "platform/SystemTime.h"
#include "scan/ResultsColumns.h"
#include "search/FileSearchTypes.h"

namespace qinglan {

inline constexpr std::string_view kFolderSizeText = "文件夹";
inline constexpr std::string_view kCleanedStatus = "清理成功";
inline constexpr std::string_view kCleanFailedStatus = "清理失败";
inline constexpr std::string_view kTrashedStatus = "已移到回收站";
inline constexpr std::string_view kRestoredStatus = "已恢复";
// Kept because a running program holds it open: neither cleaned nor failed.
inline constexpr std::string_view kInUseStatus = "正在使用";
// Listed unchecked because it was written within the days the user keeps.
inline constexpr std::string_view kRecentStatus = "最近修改";

// One finding of a scan as the results list shows it. The texts are the list's columns; the raw
// size, the folder flag and the creation time travel with them for totals, sorting and the
// command line.
struct ResultsRow {
  std::string name = {};      // 文件名: the entry's name without any folder part
  std::string location = {};  // 文件位置: the folder it was found in, ending with the separator
  std::string sizeText = {};  // 文件大小: FormatFileSize of the size, or "文件夹"
  std::string dateText = {};  // 文件日期: the local creation date, "2013/5/7"
  std::string status = {};    // 状态: empty until a cleaning pass handles the row, or 最近修改
  bool checked = false;
  int64_t size = 0;  // 0 for a folder
  bool isFolder = false;
  double creationTime = 0;    // the local creation date-time the date text rounds, for sorting
  std::string scanItem = {};  // the basic scan's item (its Name) that listed it; empty for other scans
  // Where the rule that listed it speaks for its findings, in place of the note on their names: a
  // cache rule's Des, or for a scan item taking every name in its Folder that Folder, the name of
  // the whole-name note read on a click.
  std::string ruleNote = {};
  std::string ruleNoteKey = {};
  platform::FindingOrigin origin = {};  // where the scan listed it; cleaning deletes only that entry

  // The location followed directly by the name: what cleaning deletes.
  std::string fullPath() const { return location + name; }

  // The text of one column.
  std::string& cell(ResultsColumn column);
  const std::string& cell(ResultsColumn column) const { return const_cast<ResultsRow&>(*this).cell(column); }

  friend bool operator==(const ResultsRow&, const ResultsRow&) = default;
};

ResultsRow resultsRowFor(const TFileInformations& found, bool checked);

// Year/month/day in decimal without leading zeros: "2013/5/7".
std::string dateText(const platform::SystemTime& time);
void appendDateText(std::string& out, const platform::SystemTime& time);

// The first column's caption of the results list, counting its rows: "文件名[3]".
std::string resultsCounterCaption(size_t rows);

// The total in megabytes with two decimals, as the summary line shows it: "2.00".
std::string totalMegabytesText(double totalKB);
// "本次共扫描到约 2.00MB 垃圾。"
std::string totalLine(double totalKB);

}  // namespace qinglan
