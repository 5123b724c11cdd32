#include "scan/SoftwareCacheScan.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "app/unitGlobal.h"
#include "platform/Codepage.h"
#include "platform/DirLister.h"
#include "platform/Path.h"
#include "rules/RulesSql.h"
#include "rules/SQLiteTable3.h"
#include "scan/ResultsPage.h"
#include "scan/RuleRoot.h"
#include "scan/ScanView.h"
#include "search/EasyFileSearch.h"
#include "search/Mask.h"

namespace qinglan {

namespace {

constexpr int32_t kBusyTimeoutMs = 1000;

bool isNoFolder(const TFileInformations& found) {
  return (found.Attributes & platform::kAttrDirectory) == 0;
}

// The CacheClean texts are stored as GBK bytes.
std::string cacheCleanText(const TSQLiteTable& table, std::string_view column) {
  return platform::gbkToUtf8(table.ValueByName(column));
}

class SoftwareCacheScan {
 public:
  SoftwareCacheScan(const ScanSettings& settings, ScanView& view, const SoftwareCacheScanOptions& options)
      : m_settings(settings), m_view(view), m_options(options) {
    // Only the named folder itself: every kind of entry, folders included, no subfolders.
    m_search.SearchOptions = kAllSearchOptions.without(okIncludeSubfolder);
    m_search.OnFileFound = [this](const TFileInformations& found) { appendFinding(m_view, found, true); };
    m_search.OnUnreadableFolder = [this](const std::string& folder) { m_unreadable.insert(folder); };
    m_search.setPump([this] { m_view.pump(); });
    if (options.lister)
      m_search.setLister(*options.lister);
  }

  void run() {
    m_database =
        std::make_unique<TSQLiteDatabase>(m_settings.dbFileName, kBusyTimeoutMs, m_settings.dbPassword);
    try {
      std::unique_ptr<TSQLiteTable> table = m_database->Query(selectCacheCleanSql());
      prepare(table->RowCount());
      searchRules(*table, localDisks());
    } catch (...) {
      finish();
      throw;
    }
    finish();
  }

 private:
  void prepare(uint32_t ruleCount) {
    m_view.setLabel1(std::string(kPreparingText));
    m_view.setLabel2(std::string(kScanningText));
    openResultsPage(m_view);
    globals().ScanTotalKB = 0;
    m_view.setProgressMinimum(0);
    m_view.setProgressMaximum(static_cast<int>(ruleCount));
    m_view.setEdit1({});
    m_view.setEdit2({});
    m_view.pump();
  }

  std::vector<platform::Volume> localDisks() const {
    std::vector<platform::Volume> volumes =
        m_options.listVolumes ? m_options.listVolumes() : platform::listVolumes();
    std::erase_if(volumes,
                  [](const platform::Volume& volume) { return !platform::isLocalDisk(volume.kind); });
    return volumes;
  }

  void searchRules(TSQLiteTable& table, const std::vector<platform::Volume>& disks) {
    table.FirstRow();
    const uint32_t rowCount = table.RowCount();
    for (uint32_t row = 1; row <= rowCount; ++row) {
      m_view.pump();
      m_view.setProgressPosition(static_cast<int>(row));
      m_view.setLabel1(std::string(kScanningItemPrefix) + cacheCleanText(table, "Des"));
      m_view.pump();
      for (const platform::Volume& disk : disks) {
        const std::string dir = cacheCleanText(table, "dir");
        const std::optional<std::string> root = cacheRuleRoot(lister(), disk.root, dir);
        if (!root || passesThroughLink(disk.root, root->substr(disk.root.size())))
          continue;
        std::vector<std::string> masks = splitLines(cacheCleanText(table, "FileName"));
        const bool atDriveRoot =
            root->find_first_not_of(platform::kSeparator, disk.root.size()) == std::string::npos;
        if (atDriveRoot && std::ranges::any_of(masks, matchesEveryName))
          continue;
        // At a drive root only files of the rule's narrower masks are listed, never folders.
        m_search.OnAcceptFile = atDriveRoot ? isNoFolder : TOnAcceptFile();
        m_search.setRootBase(disk.root);
        m_search.setRootPath(*root);
        m_search.FileNames.clear();
        m_search.FileNames = std::move(masks);
        m_search.Execute();
        updateResultsCounter(m_view);
      }
      table.NextRow();
    }
  }

  platform::DirLister& lister() const {
    return m_options.lister ? *m_options.lister : platform::DirLister::system();
  }

  void finish() {
    m_database.reset();
    showScanTotals(m_view, m_unreadable);
    closeResultsPage(m_view);
  }

  const ScanSettings& m_settings;
  ScanView& m_view;
  const SoftwareCacheScanOptions& m_options;
  TEasyFileSearch m_search;
  std::unique_ptr<TSQLiteDatabase> m_database;
  UnreadableFolders m_unreadable;
};

}  // namespace

void runSoftwareCacheScan(const ScanSettings& settings, ScanView& view,
                          const SoftwareCacheScanOptions& options) {
  SoftwareCacheScan(settings, view, options).run();
}

}  // namespace qinglan
