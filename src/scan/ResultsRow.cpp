#include "scan/ResultsRow.h"

#include <charconv>
#include <iterator>

#include "platform/DirLister.h"
#include "scan/FormatFileSize.h"

namespace qinglan {

ResultsRow resultsRowFor(const TFileInformations& found, bool checked) {
  ResultsRow row;
  row.name = found.Name;
  row.location = found.Path;
  row.isFolder = (found.Attributes & platform::kAttrDirectory) != 0;
  row.size = row.isFolder ? 0 : found.Size;
  row.sizeText = row.isFolder ? std::string(kFolderSizeText) : FormatFileSize(found.Size);
  row.dateText = dateText(found.CreationTime);
  row.creationTime = platform::toDateTime(found.CreationTime);
  row.checked = checked;
  row.origin = found.Origin;
  return row;
}

std::string& ResultsRow::cell(ResultsColumn column) {
  switch (column) {
    case ResultsColumn::Name:
      return name;
    case ResultsColumn::Location:
      return location;
    case ResultsColumn::Size:
      return sizeText;
    case ResultsColumn::Date:
      return dateText;
    case ResultsColumn::Status:
      break;
  }
  return status;
}

std::string dateText(const platform::SystemTime& time) {
  std::string text;
  appendDateText(text, time);
  return text;
}

// Built in place, without the locale: a scan makes one for every finding.
void appendDateText(std::string& out, const platform::SystemTime& time) {
  auto append = [&out](uint16_t value) {
    char digits[8];
    out.append(digits, std::to_chars(std::begin(digits), std::end(digits), value).ptr);
  };
  append(time.year);
  out += '/';
  append(time.month);
  out += '/';
  append(time.day);
}

std::string resultsCounterCaption(size_t rows) {
  return std::string(columnInfo(ResultsColumn::Name).caption) + "[" + std::to_string(rows) + "]";
}

std::string totalMegabytesText(double totalKB) {
  return twoDecimals(totalKB / 1024);
}

std::string totalLine(double totalKB) {
  return "本次共扫描到约 " + totalMegabytesText(totalKB) + "MB 垃圾。";
}

}  // namespace qinglan
