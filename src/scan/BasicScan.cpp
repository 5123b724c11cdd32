#include "scan/BasicScan.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/DirLister.h"
#include "platform/NativePath.h"
#include "platform/Path.h"
#include "platform/TextSplit.h"
#include "rules/RulesReader.h"
#include "scan/RuleRoot.h"
#include "scan/ScanOpening.h"
#include "scan/ScanSession.h"
#include "search/Mask.h"
#include "search/MultiRuleSearch.h"

namespace qinglan {

namespace {

// One row of the scan item table as the scan uses it.
struct ScanRule {
  ScanItem item;
  size_t maskList = 0;  // its number in the one-walk search
  // A rule that takes every name in its folder speaks for what it lists: findings in Temp are
  // junk whatever the notes on their names say of such files elsewhere.
  std::string noteKey;
};

std::string noteKeyOf(const ScanItem& item) {
  const std::vector<std::string> masks = platform::splitLines(item.file);
  return std::ranges::any_of(masks, matchesEveryName) ? item.folder : std::string();
}

bool folderExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(platform::fsPath(path), error);
}

class BasicScan {
 public:
  BasicScan(const ScanSettings& settings, const std::vector<ScanResourceRow>& resources, ScanSession& session,
            platform::DirLister& lister, TSQLiteTable& items)
      : m_settings(settings),
        m_resources(resources),
        m_session(session),
        m_lister(lister),
        m_items(items),
        m_multiSearch(m_lister) {
    m_multiSearch.setRootBase(settings.cloudCachePath);
    m_multiSearch.setPump([this] { m_session.pump(); });
    // A folder that cannot be read is counted and left out: the scan goes on past it.
    m_multiSearch.setAtUnlistedFolder(UnlistedFolder::Skip);
  }

  void run() {
    m_session.progress().setRange(static_cast<int>(m_resources.size()));
    m_multiSearch.setStopToken(beginScan(m_session, kPreparingText, [] {}));
    scanResources();
  }

 private:
  void scanResources() {
    for (size_t i = 0; i < m_resources.size(); ++i) {
      const ScanResourceRow& resource = m_resources[i];
      m_session.pump();
      if (m_session.stopRequested())
        return;
      m_session.progress().setPosition(static_cast<int>(i));
      m_session.progress().setText(std::string(kScanningItemPrefix) + resource.caption);
      if (!resource.checked)
        continue;
      const std::string resourceFolder =
          m_settings.cloudCachePath + platform::kSeparator + resource.resourceId;
      // The numbering ends at the first missing folder: without "1", "2" is never visited.
      for (int n = 0;; ++n) {
        const std::string contentFolder = resourceFolder + platform::kSeparator + std::to_string(n);
        if (!folderExists(contentFolder))
          break;
        m_session.pump();
        if (m_session.stopRequested())
          return;
        scanContentFolder(contentFolder);
      }
    }
  }

  // The searches of all rules run in as few walks as the roots allow; the findings are then listed
  // rule by rule, so the rows and their order are those of one search per rule, and an error
  // comes after the rows its rule found. Walks cut short by a stop list what they found before it.
  void scanContentFolder(const std::string& contentFolder) {
    m_resolver.emplace(m_lister);
    m_contentFolderLinked = passesThroughLink(
        m_settings.cloudCachePath, std::string_view(contentFolder).substr(m_settings.cloudCachePath.size()));
    const std::vector<ScanRule>& rules = this->rules();
    std::vector<MultiRuleSearch::Request> requests;
    std::vector<std::optional<size_t>> requestOfRule(rules.size());
    for (size_t i = 0; i < rules.size(); ++i) {
      if (std::optional<std::string> root = rootOf(rules[i].item, contentFolder)) {
        requestOfRule[i] = requests.size();
        requests.push_back({std::move(*root), rules[i].maskList});
      }
    }
    const std::vector<MultiRuleSearch::Result> results = m_multiSearch.search(requests);
    for (size_t i = 0; i < rules.size(); ++i) {
      m_session.pump();
      if (!requestOfRule[i])
        continue;
      const MultiRuleSearch::Result& result = results[*requestOfRule[i]];
      for (const TFileInformations& found : result.found)
        m_session.addFinding(found, true, {.scanItem = rules[i].item.name, .noteKey = rules[i].noteKey});
      m_session.unreadable().insert(result.unreadable.begin(), result.unreadable.end());
      if (result.error)
        std::rethrow_exception(result.error);
      m_session.updateCounter();
    }
  }

  // A link below the cache directory, as a resource, content or rule folder, would take the
  // search, and the cleaning after it, out of the cache. The resource and content folders are
  // tested once per content folder, a rule's own folders once per rule as they are resolved
  // without regard to ASCII case.
  std::optional<std::string> rootOf(const ScanItem& item, const std::string& contentFolder) {
    if (item.excluded() || m_contentFolderLinked)
      return std::nullopt;
    std::optional<std::string> root = scanItemRoot(contentFolder, item.folder);
    if (!root || item.folder.empty())
      return root;
    return m_resolver->resolve(contentFolder, std::string_view(*root).substr(contentFolder.size()));
  }

  // The rule rows, read from the query's result at the first content folder. Reading them all
  // there raises a missing column before any search, where a row-by-row reading raises it too:
  // every enabled row reads the same columns.
  const std::vector<ScanRule>& rules() {
    if (m_rules)
      return *m_rules;
    std::vector<ScanRule> rules;
    for (ScanItem& item : scanItemsToScan(m_items)) {
      ScanRule& rule = rules.emplace_back();
      rule.item = std::move(item);
      if (!rule.item.excluded()) {
        rule.maskList = m_multiSearch.addMaskList(platform::splitLines(rule.item.file));
        rule.noteKey = noteKeyOf(rule.item);
      }
    }
    m_rules = std::move(rules);
    return *m_rules;
  }

  const ScanSettings& m_settings;
  const std::vector<ScanResourceRow>& m_resources;
  ScanSession& m_session;
  platform::DirLister& m_lister;
  TSQLiteTable& m_items;
  MultiRuleSearch m_multiSearch;
  std::optional<std::vector<ScanRule>> m_rules;
  bool m_contentFolderLinked = false;
  std::optional<CaselessResolver> m_resolver;  // the listings of one content folder
};

}  // namespace

ScanTotals runBasicScan(const ScanSettings& settings, const std::vector<ScanResourceRow>& resources,
                        ScanFront& front, const BasicScanOptions& options) {
  std::unique_ptr<TSQLiteDatabase> database = openScanRules(settings);
  ScanSession session(front, SessionKind::BasicScan);
  session.keepRecentFindings(settings.olderThanDays);
  {
    const std::unique_ptr<TSQLiteTable> items = queryScanItems(*database, kScanItemTable);
    BasicScan(settings, resources, session, scanLister(options.lister), *items).run();
  }
  database.reset();
  return session.finish();
}

}  // namespace qinglan
