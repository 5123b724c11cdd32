#include "scan/SoftwareCacheScan.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/DirLister.h"
#include "platform/Path.h"
#include "platform/TextSplit.h"
#include "rules/RulesReader.h"
#include "scan/RuleRoot.h"
#include "scan/ScanOpening.h"
#include "scan/ScanSession.h"
#include "search/EasyFileSearch.h"
#include "search/Mask.h"

namespace qinglan {

namespace {

bool isNoFolder(const TFileInformations& found) {
  return (found.Attributes & platform::kAttrDirectory) == 0;
}

class SoftwareCacheScan {
 public:
  SoftwareCacheScan(ScanSession& session, const SoftwareCacheScanOptions& options)
      : m_session(session), m_options(options), m_lister(scanLister(options.lister)) {
    prepareScanSearch(m_search, session, m_lister);
    // Only the named folder itself: every kind of entry, folders included, no subfolders.
    m_search.SearchOptions = kAllSearchOptions.without(okIncludeSubfolder);
    // The rule's own description speaks for what it lists: a .dat in a player's cache is junk
    // whatever the note on the extension says of .dat files elsewhere.
    m_search.OnFileFound = [this](const TFileInformations& found) {
      m_session.addFinding(found, true, {.note = m_description});
    };
  }

  void run(TSQLiteTable& rules) {
    const int ruleCount = static_cast<int>(rules.RowCount());
    m_search.setStopToken(beginScan(m_session, kPreparingText,
                                    [this, ruleCount] { m_session.progress().setRange(ruleCount); }));
    searchRules(rules, localDisks());
  }

 private:
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
      m_session.pump();
      if (m_session.stopRequested())
        return;
      m_session.progress().setPosition(static_cast<int>(row));
      m_session.progress().setText(std::string(kScanningItemPrefix) + cacheRuleDescriptionAt(table));
      m_session.pump();
      // The rest of the row is read where a disk first needs it.
      std::optional<CacheRule> rule;
      for (const platform::Volume& disk : disks) {
        if (m_session.stopRequested())
          return;
        if (!rule)
          rule = cacheRuleAt(table);
        searchRule(*rule, disk.root);
      }
      table.NextRow();
    }
  }

  void searchRule(const CacheRule& rule, const std::string& diskRoot) {
    const std::optional<std::string> root = cacheRuleRoot(m_lister, diskRoot, rule.dir);
    if (!root || passesThroughLink(diskRoot, root->substr(diskRoot.size())))
      return;
    std::vector<std::string> masks = platform::splitLines(rule.fileName);
    const bool atDriveRoot = namesBaseItself(std::string_view(*root).substr(diskRoot.size()));
    if (atDriveRoot && std::ranges::any_of(masks, matchesEveryName))
      return;
    // At a drive root only files of the rule's narrower masks are listed, never folders.
    m_search.OnAcceptFile = atDriveRoot ? isNoFolder : TOnAcceptFile();
    m_search.setRootBase(diskRoot);
    m_search.setRootPath(*root);
    m_search.FileNames = std::move(masks);
    m_description = rule.des;
    m_search.Execute();
    m_session.updateCounter();
  }

  ScanSession& m_session;
  const SoftwareCacheScanOptions& m_options;
  platform::DirLister& m_lister;
  TEasyFileSearch m_search;
  std::string m_description;  // of the rule being searched
};

}  // namespace

ScanTotals runSoftwareCacheScan(const ScanSettings& settings, ScanFront& front,
                                const SoftwareCacheScanOptions& options) {
  std::unique_ptr<TSQLiteDatabase> database = openScanRules(settings);
  ScanSession session(front, SessionKind::SoftwareCacheScan);
  session.keepRecentFindings(settings.olderThanDays);
  {
    const std::unique_ptr<TSQLiteTable> rules = queryCacheRules(*database);
    SoftwareCacheScan(session, options).run(*rules);
  }
  database.reset();
  return session.finish();
}

}  // namespace qinglan
