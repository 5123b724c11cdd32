#include "scan/LargeFileScan.h"

#include "app/unitGlobal.h"
#include "platform/DirLister.h"
#include "rules/RulesSql.h"
#include "scan/ResultsPage.h"
#include "scan/ScanView.h"
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
  LargeFileScan(const LargeFileScanOptions& options, ScanView& view) : m_options(options), m_view(view) {
    // Subfolders entered, every kind of file looked for, folders not; only the size filter.
    m_search.SearchOptions = kAllSearchOptions.without(okLookForDirectory);
    m_search.FilterKind = TFilter{fkFilterOnSize};
    m_search.SizeFilterKind = sfkBiggerOrEqualTo;
    m_search.OnFileFound = [this](const TFileInformations& found) { fileFound(found); };
    // A folder that cannot be read is counted and left out: the scan goes on past it.
    m_search.AtUnlistedFolder = UnlistedFolder::Skip;
    m_search.OnUnreadableFolder = [this](const std::string& folder) { m_unreadable.insert(folder); };
    m_search.setPump([this] { m_view.pump(); });
    if (options.lister)
      m_search.setLister(*options.lister);
  }

  void run(const std::string& cloudCachePath) {
    m_view.setLabel1(std::string(kScanningText));
    m_view.setLabel2(std::string(kScanningText));
    openResultsPage(m_view);
    try {
      globals().ScanTotalKB = 0;
      m_view.setProgressMinimum(0);
      m_view.setProgressPosition(0);
      m_view.setEdit1({});
      m_view.setEdit2({});
      m_view.pump();
      m_search.setRootPath(cloudCachePath);
      m_search.FileNames = splitLines(m_options.mediaOnly ? MediaMaskList : kEveryFileMask);
      m_search.SizeFilterSize = m_options.minimumMegabytes * kMegabyte;
      m_search.Execute();
    } catch (...) {
      finish();
      throw;
    }
    finish();
  }

 private:
  void fileFound(const TFileInformations& found) {
    m_view.pump();
    if ((found.Attributes & platform::kAttrDirectory) != 0)
      return;
    m_view.setLabel1(std::string(kFoundPrefix) + found.Name);
    const bool leftOut = m_options.filterLva && asciiLower(fileExtension(found.Name)) == kLvaExtension;
    if (!leftOut)
      appendFinding(m_view, found, false);
    updateResultsCounter(m_view);
  }

  void finish() {
    showScanTotals(m_view, m_unreadable);
    closeResultsPage(m_view);
  }

  const LargeFileScanOptions& m_options;
  ScanView& m_view;
  TEasyFileSearch m_search;
  UnreadableFolders m_unreadable;
};

}  // namespace

void runLargeFileScan(const std::string& cloudCachePath, const LargeFileScanOptions& options,
                      ScanView& view) {
  LargeFileScan(options, view).run(cloudCachePath);
}

}  // namespace qinglan
