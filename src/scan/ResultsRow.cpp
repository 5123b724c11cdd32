#include "scan/ResultsRow.h"

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

std::string dateText(const platform::SystemTime& time) {
  return std::to_string(time.year) + "/" + std::to_string(time.month) + "/" + std::to_string(time.day);
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
