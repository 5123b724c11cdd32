#include "web/UpdateCheck.h"

#include "platform/IniFile.h"
#include "platform/Path.h"
#include "web/Utf8.h"
#include "web/UtilString.h"
#include "whitelist/Whitelist.h"

namespace qinglan {
namespace {

constexpr std::u16string_view kTitleStart = u"<h1>";
constexpr std::u16string_view kTitleEnd = u"</h1>";
constexpr std::u16string_view kSummaryStart = u"<span class=\"sum\">";
constexpr std::u16string_view kSummaryEnd = u"发布";
constexpr std::u16string_view kPieceSeparator = u"|";
constexpr std::string_view kNbsp = "&nbsp;";

std::vector<std::string> piecesWithoutNbsp(std::u16string_view page, int start, int count) {
  const std::string cut = removeAll(CopyWideToStr(page, start, count), kNbsp);
  return SplitStr(utf8ToWide(cut), kPieceSeparator);
}

bool hasStpLink(const std::string& cloudCachePath, const std::string& resourceId) {
  const std::string iniPath =
      cloudCachePath + platform::kSeparator + resourceId + platform::kSeparator + "Resource.ini";
  return !platform::IniFile(iniPath).readString("Ctrol", "StpLink", "").empty();
}

std::string viewPageAddress(const std::string& siteHost, const std::string& resourceId) {
  return "http://" + siteHost + "/d/sltview/" + resourceId;
}

void letMessagesRun(const Pump& pump) {
  if (pump)
    pump();
}

}  // namespace

std::string latestVersionFromPage(std::u16string_view page) {
  const int p1 = PosFrom(1, page, kTitleStart);
  if (p1 == 0)
    return {};
  const int p2 = PosFrom(p1, page, kTitleEnd);
  if (p2 == 0)
    return {};
  const int tagLength = static_cast<int>(kTitleStart.size());
  const auto pieces = piecesWithoutNbsp(page, p1 + tagLength, p2 - p1 - tagLength);
  return pieces.empty() ? std::string() : pieces.front();
}

std::string releaseDateFromPage(std::u16string_view page) {
  const int c = PosFrom(1, page, kSummaryStart);
  if (c == 0)
    return {};
  const int d = PosFrom(c, page, kSummaryEnd);
  if (d == 0)
    return {};
  const auto pieces = piecesWithoutNbsp(page, c, d - c);
  return pieces.size() >= 4 ? pieces[3] : std::string();
}

std::size_t checkForUpdates(const UpdateCheckInput& input, PageFetcher& http, UpdateSink& sink,
                            const Pump& pump) {
  sink.clearRows();
  sink.setStatus(kUpdateStatusReading);
  letMessagesRun(pump);
  const platform::IniFile whiteList(input.whiteListFile);
  std::size_t listed = 0;
  for (const ListedResource& resource : input.resources) {
    letMessagesRun(pump);
    if (!hasStpLink(input.cloudCachePath, resource.resourceId))
      continue;
    const std::string detailAddress =
        getTrueUrl(http, viewPageAddress(input.siteHost, resource.resourceId), pump);
    // A view page without a link reads as a detail page without a title.
    const std::u16string page =
        detailAddress.empty() ? std::u16string() : utf8ToWide(geturltostr(http, detailAddress, pump));
    const std::string latestVersion = latestVersionFromPage(page);
    if (latestVersion == resource.name)
      continue;
    std::string date = releaseDateFromPage(page);
    if (date.empty())
      date = kReleaseDateExpired;
    const std::string mark = whiteList.readString(kUnvercheckSection, resource.resourceId, "");
    if (mark == latestVersion || mark == kSilencedForEveryVersion)
      continue;
    sink.addRow({resource.name, latestVersion, date, resource.resourceId, resource.imageIndex});
    ++listed;
  }
  sink.setStatus(updateCountStatus(listed));
  return listed;
}

std::string updateCountStatus(std::size_t count) {
  return "您有 " + std::to_string(count) + " 款软件需要更新";
}

std::string downloadLink(std::string_view resourceId, std::string_view latestVersion) {
  return "stp://" + std::string(resourceId) + "/name=" + std::string(latestVersion) + "&op=1";
}

void silenceVersion(const std::string& whiteListFile, const std::string& resourceId,
                    const std::string& latestVersion) {
  platform::IniFile(whiteListFile)
      .writeString(kUnvercheckSection, resourceId,
                   latestVersion.empty() ? kSilencedForEveryVersion : latestVersion);
}

}  // namespace qinglan
