#include "scan/SoftwareCacheScan.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/Codepage.h"
#include "platform/DirLister.h"
#include "platform/Path.h"
#include "rules/RulesSql.h"
#include "rules/SQLiteTable3.h"
#include "scan/RuleRoot.h"
#include "scan/ScanSession.h"
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
  SoftwareCacheScan(const ScanSettings& settings, ScanFront& front, const SoftwareCacheScanOptions& options)
      : m_settings(settings), m_front(front), m_options(options) {
    // Only the named folder itself: every kind of entry, folders included, no subfolders.
    m_search.SearchOptions = kAllSearchOptions.without(okIncludeSubfolder);
    m_search.OnFileFound = [this](const TFileInformations& found) { m_session->addFinding(found, true); };
    m_search.OnUnreadableFolder = [this](const std::string& folder) {
      m_session->unreadable().insert(folder);
    };
    m_search.setPump([this] { m_front.pump(); });
    if (options.lister)
      m_search.setLister(*options.lister);
  }

  // A database that cannot be opened changes nothing on the front.
  ScanTotals run() {
    m_database = std::make_unique<TSQLiteDatabase>(m_settings.dbFileName, kBusyTimeoutMs);
    ScanSession session(m_front, SessionKind::SoftwareCacheScan);
    m_session = &session;
    {
      std::unique_ptr<TSQLiteTable> table = m_database->Query(selectCacheCleanSql());
      prepare(table->RowCount());
      searchRules(*table, localDisks());
    }
    m_database.reset();
    return session.finish();
  }

 private:
  void prepare(uint32_t ruleCount) {
    m_session->progress().setText(std::string(kPreparingText));
    m_front.setSummary(std::string(kScanningText));
    m_session->begin();
    m_session->progress().setRange(static_cast<int>(ruleCount));
    m_front.setFindingOrigin({});
    m_front.setFindingNote({});
    m_front.pump();
    m_search.setStopToken(m_session->stopToken());
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
      m_front.pump();
      if (m_session->stopRequested())
        return;
      m_session->progress().setPosition(static_cast<int>(row));
      m_session->progress().setText(std::string(kScanningItemPrefix) + cacheCleanText(table, "Des"));
      m_front.pump();
      for (const platform::Volume& disk : disks) {
        if (m_session->stopRequested())
          return;
        const std::string dir = cacheCleanText(table, "dir");
        const std::optional<std::string> root = cacheRuleRoot(lister(), disk.root, dir);
        if (!root || passesThroughLink(disk.root, root->substr(disk.root.size())))
          continue;
        std::vector<std::string> masks = splitLines(cacheCleanText(table, "FileName"));
        const bool atDriveRoot = namesBaseItself(std::string_view(*root).substr(disk.root.size()));
        if (atDriveRoot && std::ranges::any_of(masks, matchesEveryName))
          continue;
        // At a drive root only files of the rule's narrower masks are listed, never folders.
        m_search.OnAcceptFile = atDriveRoot ? isNoFolder : TOnAcceptFile();
        m_search.setRootBase(disk.root);
        m_search.setRootPath(*root);
        m_search.FileNames.clear();
        m_search.FileNames = std::move(masks);
        m_search.Execute();
        m_session->updateCounter();
      }
      table.NextRow();
    }
  }

  platform::DirLister& lister() const {
    return m_options.lister ? *m_options.lister : platform::DirLister::system();
  }

  const ScanSettings& m_settings;
  ScanFront& m_front;
  const SoftwareCacheScanOptions& m_options;
  ScanSession* m_session = nullptr;  // the running scan's
  TEasyFileSearch m_search;
  std::unique_ptr<TSQLiteDatabase> m_database;
};

}  // namespace

ScanTotals runSoftwareCacheScan(const ScanSettings& settings, ScanFront& front,
                                const SoftwareCacheScanOptions& options) {
  return SoftwareCacheScan(settings, front, options).run();
}

}  // namespace qinglan
