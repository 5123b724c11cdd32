#include "scan/LargeFileScan.h"

#include "platform/CaselessName.h"
#include "platform/DirLister.h"
#include "platform/TextSplit.h"
#include "rules/RulesSql.h"
#include "scan/ScanOpening.h"
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
  LargeFileScan(const LargeFileScanOptions& options, ScanSession& session)
      : m_options(options), m_session(session) {
    prepareScanSearch(m_search, session, scanLister(options.lister));
    // Subfolders entered, every kind of file looked for, folders not; only the size filter.
    m_search.SearchOptions = kAllSearchOptions.without(okLookForDirectory);
    m_search.FilterKind = TFilter{fkFilterOnSize};
    m_search.SizeFilterKind = sfkBiggerOrEqualTo;
    m_search.OnFileFound = [this](const TFileInformations& found) { fileFound(found); };
    // A folder that cannot be read is counted and left out: the scan goes on past it.
    m_search.AtUnlistedFolder = UnlistedFolder::Skip;
  }

  void run(const std::string& cloudCachePath) {
    // The bar stays empty: this scan does not know how far it has come.
    m_search.setStopToken(
        beginScan(m_session, kScanningText, [this] { m_session.progress().setPosition(0); }));
    m_search.setRootPath(cloudCachePath);
    m_search.FileNames = platform::splitLines(m_options.mediaOnly ? MediaMaskList : kEveryFileMask);
    m_search.SizeFilterSize = m_options.minimumMegabytes * kMegabyte;
    m_search.Execute();
  }

 private:
  void fileFound(const TFileInformations& found) {
    m_session.pump();
    if ((found.Attributes & platform::kAttrDirectory) != 0)
      return;
    m_session.progress().setText(std::string(kFoundPrefix) + found.Name);
    const bool leftOut =
        m_options.filterLva && platform::asciiLower(fileExtension(found.Name)) == kLvaExtension;
    if (!leftOut)
      m_session.addFinding(found, false);
    m_session.updateCounter();
  }

  const LargeFileScanOptions& m_options;
  ScanSession& m_session;
  TEasyFileSearch m_search;
};

}  // namespace

ScanTotals runLargeFileScan(const std::string& cloudCachePath, const LargeFileScanOptions& options,
                            ScanFront& front) {
  ScanSession session(front, SessionKind::LargeFileScan);
  LargeFileScan(options, session).run(cloudCachePath);
  return session.finish();
}

}  // namespace qinglan
