#include "scan/LargeFileScan.h"

#include "platform/DirLister.h"
#include "rules/RulesSql.h"
#include "scan/ScanSession.h"
#include "search/EasyFileSearch.h"
#include "search/Mask.h"

namespace qinglan {

namespace {

constexpr std::string_view kLvaExtension = ".lva";
constexpr std::string_view kFoundPrefix = "正在扫描 ";
constexpr int64_t kMegabyte = int64_t{1} << 20;
// "所有文件" takes names without a dot too, which the all-names mask of the searches leaves out.
constexpr std::string_view kEveryFileMask = "*";

class LargeFileScan {
 public:
  LargeFileScan(const LargeFileScanOptions& options, ScanFront& front)
      : m_options(options), m_session(front, SessionKind::LargeFileScan) {
    // Subfolders entered, every kind of file looked for, folders not; only the size filter.
    m_search.SearchOptions = kAllSearchOptions.without(okLookForDirectory);
    m_search.FilterKind = TFilter{fkFilterOnSize};
    m_search.SizeFilterKind = sfkBiggerOrEqualTo;
    m_search.OnFileFound = [this](const TFileInformations& found) { fileFound(found); };
    // A folder that cannot be read is counted and left out: the scan goes on past it.
    m_search.AtUnlistedFolder = UnlistedFolder::Skip;
    m_search.OnUnreadableFolder = [this](const std::string& folder) {
      m_session.unreadable().insert(folder);
    };
    m_search.setPump([this] { m_session.pump(); });
    if (options.lister)
      m_search.setLister(*options.lister);
  }

  ScanTotals run(const std::string& cloudCachePath) {
    ScanFront& front = m_session.front();
    m_session.progress().setText(std::string(kScanningText));
    front.setSummary(std::string(kScanningText));
    m_session.begin();
    // The bar stays empty: this scan does not know how far it has come.
    m_session.progress().setPosition(0);
    front.setFindingOrigin({});
    front.setFindingNote({});
    front.pump();
    m_search.setStopToken(m_session.stopToken());
    m_search.setRootPath(cloudCachePath);
    m_search.FileNames = splitLines(m_options.mediaOnly ? MediaMaskList : kEveryFileMask);
    m_search.SizeFilterSize = m_options.minimumMegabytes * kMegabyte;
    m_search.Execute();
    return m_session.finish();
  }

 private:
  void fileFound(const TFileInformations& found) {
    m_session.pump();
    if ((found.Attributes & platform::kAttrDirectory) != 0)
      return;
    m_session.progress().setText(std::string(kFoundPrefix) + found.Name);
    const bool leftOut = m_options.filterLva && asciiLower(fileExtension(found.Name)) == kLvaExtension;
    if (!leftOut)
      m_session.addFinding(found, false);
    m_session.updateCounter();
  }

  const LargeFileScanOptions& m_options;
  ScanSession m_session;
  TEasyFileSearch m_search;
};

}  // namespace

ScanTotals runLargeFileScan(const std::string& cloudCachePath, const LargeFileScanOptions& options,
                            ScanFront& front) {
  return LargeFileScan(options, front).run(cloudCachePath);
}

}  // namespace qinglan
