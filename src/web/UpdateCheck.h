#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "web/PageFetcher.h"

namespace qinglan {

// The update check over the installed resources: for every resource whose Resource.ini carries a
// StpLink it reads the resource's view page and detail page on the update site and lists the
// resource when the detail page's title differs from the installed name and the version is not
// silenced in wb.lst.

inline constexpr const char* kUpdateStatusReading = "正在读取更新数据。。。。";
inline constexpr const char* kReleaseDateExpired = "已失效";
inline constexpr const char* kSilencedForEveryVersion = "1";
inline constexpr const char* kLinkCopiedMessage = "已成功复制到剪切板,请复制到IE地址栏或下载工具中下载。";

// What the check uses of a row of the resource list: caption, resource ID and icon.
struct ListedResource {
  std::string name;
  std::string resourceId;
  int imageIndex = 0;
};

// One row of the update list.
struct UpdateRow {
  std::string name;
  std::string latestVersion;
  std::string date;
  std::string resourceId;
  int imageIndex = 0;
};

// Where the check's findings go: the window's update list and status line, or the command line.
class UpdateSink {
 public:
  virtual ~UpdateSink() = default;
  virtual void clearRows() = 0;
  virtual void addRow(const UpdateRow& row) = 0;
  virtual void setStatus(const std::string& text) = 0;
};

struct UpdateCheckInput {
  std::vector<ListedResource> resources;
  std::string cloudCachePath;  // without a trailing separator
  std::string whiteListFile;   // the path of wb.lst
  std::string siteHost;        // the update site's "host" or "host:port"
};

// Runs the check and returns the number of rows listed. A failed fetch ends the check at that
// resource: the rows listed so far stay, the status keeps the reading text, and the FetchError
// (or whatever the pump throws) reaches the caller.
std::size_t checkForUpdates(const UpdateCheckInput& input, PageFetcher& http, UpdateSink& sink,
                            const Pump& pump = {});

// "您有 " + count + " 款软件需要更新".
std::string updateCountStatus(std::size_t count);

// The detail page's title up to its first "|", "&nbsp;" removed; empty without a title.
std::string latestVersionFromPage(std::u16string_view page);

// The fourth "|" piece of the detail page's summary, "&nbsp;" removed; empty when there is none.
std::string releaseDateFromPage(std::u16string_view page);

// "stp://" + resourceId + "/name=" + latestVersion + "&op=1", joined as they stand.
std::string downloadLink(std::string_view resourceId, std::string_view latestVersion);

// The longest version text a mark keeps; wb.lst reads no more of a value.
inline constexpr std::size_t kMaxSilencedCharacters = 2047;

// A version text as wb.lst gives it back once written: one line, what GBK holds ("?" for the
// rest), no blanks or enclosing quotes at either end, at most kMaxSilencedCharacters characters.
// Marks are written and compared in this form, so a silenced version stays silenced.
std::string silencedVersionText(std::string_view version);

// Marks latestVersion of the resource as not to be offered again ("1", every version, when it is
// empty). Raises platform::IniWriteError when wb.lst cannot be written.
void silenceVersion(const std::string& whiteListFile, const std::string& resourceId,
                    const std::string& latestVersion);

}  // namespace qinglan
