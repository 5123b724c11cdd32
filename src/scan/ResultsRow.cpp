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

// Built in place, without the locale: a scan makes one for every finding.
std::string dateText(const platform::SystemTime& time) {
  std::string text;
  auto append = [&text](uint16_t value) {
    char digits[8];
    text.append(digits, std::to_chars(std::begin(digits), std::end(digits), value).ptr);
  };
  append(time.year);
  text += '/';
  append(time.month);
  text += '/';
  append(time.day);
  return text;
}

std::string resultsCounterCaption(size_t rows) {
  return "文件名[" + std::to_string(rows) + "]";
}

std::string totalMegabytesText(double totalKB) {
  return twoDecimals(totalKB / 1024);
}

std::string totalLine(double totalKB) {
  return "本次共扫描到约 " + totalMegabytesText(totalKB) + "MB 垃圾。";
}

}  // namespace qinglan
