#include "scan/BasicScan.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/DirLister.h"
#include "platform/NativePath.h"
#include "platform/Path.h"
#include "rules/RulesSql.h"
#include "rules/SQLiteTable3.h"
#include "scan/RuleRoot.h"
#include "scan/ScanSession.h"
#include "search/EasyFileSearch.h"
#include "search/MultiRuleSearch.h"

namespace qinglan {

namespace {

constexpr int32_t kBusyTimeoutMs = 1000;

// One row of the scan item table as the scan uses it.
struct ScanRule {
  bool excluded = false;
  std::string name;    // what the findings are listed under in the junk summary
  std::string folder;  // as stored, "\" between folder names
  std::string maskText;
  std::vector<std::string> masks;
  size_t maskList = 0;  // its number in the one-walk search
};

bool folderExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(platform::fsPath(path), error);
}

class BasicScan {
 public:
  BasicScan(const ScanSettings& settings, const std::vector<ScanResourceRow>& resources, ScanFront& front,
            const BasicScanOptions& options)
      : m_settings(settings),
        m_resources(resources),
        m_front(front),
        m_lister(options.lister ? *options.lister : platform::DirLister::system()),
        m_walk(options.walk),
        m_multiSearch(m_lister) {
    const TPump pump = [this] { m_front.pump(); };
    m_search.setLister(m_lister);
    m_search.setRootBase(settings.cloudCachePath);
    m_search.setPump(pump);
    m_search.OnFileFound = [this](const TFileInformations& found) {
      m_session->addFinding(found, true, m_currentItem);
    };
    // A folder that cannot be read is counted and left out: the scan goes on past it.
    m_search.AtUnlistedFolder = UnlistedFolder::Skip;
    m_search.OnUnreadableFolder = [this](const std::string& folder) {
      m_session->unreadable().insert(folder);
    };
    m_multiSearch.setRootBase(settings.cloudCachePath);
    m_multiSearch.setPump(pump);
    m_multiSearch.setAtUnlistedFolder(UnlistedFolder::Skip);
  }

  // A database that cannot be opened changes nothing on the front.
  ScanTotals run() {
    m_database = std::make_unique<TSQLiteDatabase>(m_settings.dbFileName, kBusyTimeoutMs);
    ScanSession session(m_front, SessionKind::BasicScan);
    m_session = &session;
    m_table = m_database->Query(selectAllSql(kScanItemTable));
    prepare();
    scanResources();
    m_table.reset();
    m_database.reset();
    return session.finish();
  }

 private:
  void prepare() {
    m_session->progress().setRange(static_cast<int>(m_resources.size()));
    m_session->progress().setText(std::string(kPreparingText));
    m_front.setSummary(std::string(kScanningText));
    m_session->begin();
    m_front.setFindingOrigin({});
    m_front.setFindingNote({});
    m_front.pump();
    m_search.setStopToken(m_session->stopToken());
    m_multiSearch.setStopToken(m_session->stopToken());
  }

  void scanResources() {
    for (size_t i = 0; i < m_resources.size(); ++i) {
      const ScanResourceRow& resource = m_resources[i];
      m_front.pump();
      if (m_session->stopRequested())
        return;
      m_session->progress().setPosition(static_cast<int>(i));
      m_session->progress().setText(std::string(kScanningItemPrefix) + resource.caption);
      if (!resource.checked)
        continue;
      const std::string resourceFolder =
          m_settings.cloudCachePath + platform::kSeparator + resource.resourceId;
      // The numbering ends at the first missing folder: without "1", "2" is never visited.
      for (int n = 0;; ++n) {
        const std::string contentFolder = resourceFolder + platform::kSeparator + std::to_string(n);
        if (!folderExists(contentFolder))
          break;
        m_front.pump();
        if (m_session->stopRequested())
          return;
        scanContentFolder(contentFolder);
      }
    }
  }

  void scanContentFolder(const std::string& contentFolder) {
    m_resolver.emplace(m_lister);
    m_contentFolderLinked = passesThroughLink(
        m_settings.cloudCachePath, std::string_view(contentFolder).substr(m_settings.cloudCachePath.size()));
    const std::vector<ScanRule>& rules = this->rules();
    if (m_walk == RuleWalk::PerRule) {
      scanRuleByRule(rules, contentFolder);
      return;
    }
    scanRootByRoot(rules, contentFolder);
  }

  void scanRuleByRule(const std::vector<ScanRule>& rules, const std::string& contentFolder) {
    for (const ScanRule& rule : rules) {
      m_front.pump();
      if (m_session->stopRequested())
        return;
      const std::optional<std::string> root = rootOf(rule, contentFolder);
      if (!root)
        continue;
      m_currentItem = rule.name;
      RunRuleSearch(m_search, *root, rule.maskText);
      m_session->updateCounter();
    }
  }

  // The searches of all rules run in as few walks as the roots allow; the findings are then listed
  // rule by rule, so the rows and their order are those of one search per rule, and an error
  // comes after the rows its rule found. Walks cut short by a stop list what they found before it.
  void scanRootByRoot(const std::vector<ScanRule>& rules, const std::string& contentFolder) {
    std::vector<MultiRuleSearch::Request> requests;
    std::vector<std::optional<size_t>> requestOfRule(rules.size());
    for (size_t i = 0; i < rules.size(); ++i) {
      if (std::optional<std::string> root = rootOf(rules[i], contentFolder)) {
        requestOfRule[i] = requests.size();
        requests.push_back({std::move(*root), rules[i].maskList});
      }
    }
    const std::vector<MultiRuleSearch::Result> results = m_multiSearch.search(requests);
    for (size_t i = 0; i < rules.size(); ++i) {
      m_front.pump();
      if (!requestOfRule[i])
        continue;
      const MultiRuleSearch::Result& result = results[*requestOfRule[i]];
      for (const TFileInformations& found : result.found)
        m_session->addFinding(found, true, rules[i].name);
      m_session->unreadable().insert(result.unreadable.begin(), result.unreadable.end());
      if (result.error)
        std::rethrow_exception(result.error);
      m_session->updateCounter();
    }
  }

  // A link below the cache directory, as a resource, content or rule folder, would take the
  // search, and the cleaning after it, out of the cache. The resource and content folders are
  // tested once per content folder, a rule's own folders once per rule as they are resolved
  // without regard to ASCII case.
  std::optional<std::string> rootOf(const ScanRule& rule, const std::string& contentFolder) {
    if (rule.excluded || m_contentFolderLinked)
      return std::nullopt;
    std::optional<std::string> root = scanItemRoot(contentFolder, rule.folder);
    if (!root || rule.folder.empty())
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
    // The name only labels findings, so a table without it still scans.
    const bool named = m_table->HasColumn("Name");
    m_table->FirstRow();
    for (uint32_t row = 0; row < m_table->RowCount(); ++row) {
      ScanRule& rule = rules.emplace_back();
      rule.excluded = m_table->ValueByName("UnScan") == "1";
      if (!rule.excluded) {
        rule.folder = m_table->ValueByName("Folder");
        rule.name = named ? m_table->ValueByName("Name") : std::string();
        rule.maskText = m_table->ValueByName("File");
        rule.masks = splitLines(rule.maskText);
        rule.maskList = m_multiSearch.addMaskList(rule.masks);
      }
      m_table->NextRow();
    }
    m_rules = std::move(rules);
    return *m_rules;
  }

  const ScanSettings& m_settings;
  const std::vector<ScanResourceRow>& m_resources;
  ScanFront& m_front;
  ScanSession* m_session = nullptr;  // the running scan's
  platform::DirLister& m_lister;
  const RuleWalk m_walk;
  TEasyFileSearch m_search;
  MultiRuleSearch m_multiSearch;
  std::unique_ptr<TSQLiteDatabase> m_database;
  std::unique_ptr<TSQLiteTable> m_table;
  std::optional<std::vector<ScanRule>> m_rules;
  bool m_contentFolderLinked = false;
  std::string m_currentItem;
  std::optional<CaselessResolver> m_resolver;  // the listings of one content folder
};

}  // namespace

ScanTotals runBasicScan(const ScanSettings& settings, const std::vector<ScanResourceRow>& resources,
                        ScanFront& front, const BasicScanOptions& options) {
  return BasicScan(settings, resources, front, options).run();
}

void RunRuleSearch(TEasyFileSearch& search, const std::string& root, const std::string& maskText) {
  search.setRootPath(root);
  search.FileNames.clear();
  search.FileNames = splitLines(maskText);
  search.Execute();
}

}  // namespace qinglan
