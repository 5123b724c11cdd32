#include "scan/FindingDetails.h"

#include "platform/CaselessName.h"
#include "platform/Path.h"
#include "platform/TextSplit.h"
#include "rules/RulesReader.h"
#include "scan/CloudCachePath.h"
#include "scan/ResourceList.h"
#include "scan/ResultsRow.h"
#include "scan/ScanOpening.h"
#include "scan/ScanSession.h"

namespace qinglan {

namespace {

constexpr std::string_view kOriginPrefix = "您当前选择的文件来自: ";

// The cache directory a location lies in, ending with the separator: the current one when the
// location is below it, else the first folder on the location named "CloudCache" (in any case),
// as every cache that start-up or the cache dialog chooses is one. Empty when there is none.
std::string cachePrefixOf(const std::string& cloudCachePath, const std::string& location) {
  std::string prefix = cloudCachePath + platform::kSeparator;
  if (!cloudCachePath.empty() && location.starts_with(prefix))
    return prefix;
  for (size_t start = 0; start < location.size();) {
    const size_t end = location.find(platform::kSeparator, start);
    if (end == std::string::npos)
      break;
    if (platform::equalsFoldingAscii(std::string_view(location).substr(start, end - start),
                                     kCloudCacheFolderName))
      return location.substr(0, end + 1);
    start = end + 1;
  }
  return {};
}

// What the rule that listed the row says of it, else the note on its name.
std::string noteOn(const ScanSettings& settings, const ResultsRow& row) {
  if (!row.ruleNote.empty())
    return row.ruleNote;
  const std::unique_ptr<TSQLiteDatabase> db = openScanRules(settings);
  std::string note = row.ruleNoteKey.empty() ? std::string() : lookupWholeNameNote(*db, row.ruleNoteKey);
  return note.empty() ? lookupNote(*db, row.name) : note;
}

}  // namespace

ResourceFolder resourceFolderOf(const std::string& cloudCachePath, const std::string& location) {
  // The finding's own location tells its cache: rows listed before a cache switch keep their origin.
  const std::string cachePrefix = cachePrefixOf(cloudCachePath, location);
  if (cachePrefix.empty())
    return {};
  const std::vector<std::string> pieces = SplitAtDelimiter(
      std::string_view(location).substr(cachePrefix.size()), std::string(1, platform::kSeparator));
  // A location ends with the separator, so a resource folder gives at least two pieces.
  if (pieces.size() < 2 || pieces.front().empty())
    return {};
  return {cachePrefix + pieces.front(), pieces.front().size()};
}

std::string findingOrigin(const std::string& cloudCachePath, const std::string& location) {
  const ResourceFolder resource = resourceFolderOf(cloudCachePath, location);
  if (resource.folder.empty())
    return std::string(kUnknownResourceName);
  return readResourceName(resource.folder);
}

void showFindingDetails(const ScanSettings& settings, const ResultsRow& row, ScanFront& front) {
  front.setFindingOrigin(std::string(kOriginPrefix) + findingOrigin(settings.cloudCachePath, row.location));
  // A lookup that fails must not leave the previous finding's note beside this one.
  front.setFindingNote({});
  front.setFindingNote(noteOn(settings, row));
}

}  // namespace qinglan
