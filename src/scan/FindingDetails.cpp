#include "scan/FindingDetails.h"

#include "platform/Path.h"
#include "rules/RulesReader.h"
#include "rules/SQLiteTable3.h"
#include "scan/ResourceList.h"
#include "scan/ResultsRow.h"
#include "scan/ScanView.h"

namespace qinglan {

namespace {

constexpr std::string_view kOriginPrefix = "您当前选择的文件来自: ";
constexpr int32_t kBusyTimeoutMs = 1000;

}  // namespace

std::vector<std::string> SplitAtDelimiter(std::string_view text, std::string_view delimiter) {
  std::vector<std::string> pieces;
  if (text.empty())
    return pieces;
  if (!delimiter.empty()) {
    for (size_t found = text.find(delimiter); found != std::string_view::npos; found = text.find(delimiter)) {
      pieces.emplace_back(text.substr(0, found));
      text.remove_prefix(found + delimiter.size());
    }
  }
  pieces.emplace_back(text);
  return pieces;
}

std::string findingOrigin(const std::string& cloudCachePath, const std::string& location) {
  const std::string cachePrefix = cloudCachePath + platform::kSeparator;
  if (cloudCachePath.empty() || !location.starts_with(cachePrefix))
    return std::string(kUnknownResourceName);
  const std::vector<std::string> pieces = SplitAtDelimiter(
      std::string_view(location).substr(cachePrefix.size()), std::string(1, platform::kSeparator));
  // A location ends with the separator, so a resource folder gives at least two pieces.
  if (pieces.size() < 2 || pieces.front().empty())
    return std::string(kUnknownResourceName);
  return readResourceName(cachePrefix + pieces.front());
}

void showFindingDetails(const ScanSettings& settings, const ResultsRow& row, ScanView& view) {
  view.setEdit1(std::string(kOriginPrefix) + findingOrigin(settings.cloudCachePath, row.location));
  // A lookup that fails must not leave the previous finding's note beside this one.
  view.setEdit2({});
  TSQLiteDatabase database(settings.dbFileName, kBusyTimeoutMs, settings.dbPassword);
  view.setEdit2(lookupNote(database, row.name));
}

}  // namespace qinglan
