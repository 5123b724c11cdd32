#include "web/UpdateCheck.h"

#include <algorithm>

#include "platform/Codepage.h"
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

// A resource ID is a folder name: a space, "#" or "?" in it would end or cut the address.
// Everything but the unreserved characters of an address is percent-encoded.
std::string addressSegment(std::string_view text) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string segment;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                            (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      segment += c;
    } else {
      segment += '%';
      segment += kHex[byte >> 4];
      segment += kHex[byte & 0x0F];
    }
  }
  return segment;
}

std::string viewPageAddress(const std::string& siteHost, const std::string& resourceId) {
  return "http://" + siteHost + "/d/sltview/" + addressSegment(resourceId);
}

// One pass of what a write and a read of wb.lst do to a value: one line, GBK, trimmed, enclosing
// quotes gone, at most kMaxSilencedCharacters characters.
std::string storedOnce(std::string_view text) {
  std::string line(text.substr(0, text.find('\0')));
  std::replace(line.begin(), line.end(), '\r', ' ');
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::string value = platform::gbkToUtf8(platform::utf8ToGbk(line));
  const size_t first = value.find_first_not_of(" \t");
  value.erase(0, first == std::string::npos ? value.size() : first);
  value.erase(value.find_last_not_of(" \t") + 1);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  size_t characters = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    const bool startsCharacter = (static_cast<unsigned char>(value[i]) & 0xC0) != 0x80;
    if (startsCharacter && ++characters > kMaxSilencedCharacters) {
      value.resize(i);
      break;
    }
  }
  return value;
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
    if (mark == silencedVersionText(latestVersion) || mark == kSilencedForEveryVersion)
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
                   latestVersion.empty() ? kSilencedForEveryVersion : silencedVersionText(latestVersion));
}

std::string silencedVersionText(std::string_view version) {
  // A pass can bare blanks or quotes that the next read would take away in turn.
  std::string text = storedOnce(version);
  for (std::string next = storedOnce(text); next != text; next = storedOnce(text))
    text = std::move(next);
  return text;
}

}  // namespace qinglan
