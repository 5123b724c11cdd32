#include "scan/BasicScan.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/unitGlobal.h"
#include "platform/DirLister.h"
#include "platform/NativePath.h"
#include "platform/Path.h"
#include "rules/RulesSql.h"
#include "rules/SQLiteTable3.h"
#include "scan/ResultsPage.h"
#include "scan/RuleRoot.h"
#include "scan/ScanView.h"
#include "search/EasyFileSearch.h"
#include "search/MultiRuleSearch.h"

namespace qinglan {

namespace {

constexpr std::string_view kScanCaption = "扫描";
constexpr std::string_view kScanBusyCaption = "扫描中…";
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
  BasicScan(const ScanSettings& settings, const std::vector<ScanResourceRow>& resources, ScanView& view,
            const BasicScanOptions& options)
      : m_settings(settings),
        m_resources(resources),
        m_view(view),
        m_lister(options.lister ? *options.lister : platform::DirLister::system()),
        m_walk(options.walk),
        m_multiSearch(m_lister) {
    const TPump pump = [this] { m_view.pump(); };
    m_search.setLister(m_lister);
    m_search.setRootBase(settings.cloudCachePath);
    m_search.setPump(pump);
    m_search.OnFileFound = [this](const TFileInformations& found) {
      appendFinding(m_view, found, true, m_currentItem);
    };
    // A folder that cannot be read is counted and left out: the scan goes on past it.
    m_search.AtUnlistedFolder = UnlistedFolder::Skip;
    m_search.OnUnreadableFolder = [this](const std::string& folder) { m_unreadable.insert(folder); };
    m_multiSearch.setRootBase(settings.cloudCachePath);
    m_multiSearch.setPump(pump);
    m_multiSearch.setAtUnlistedFolder(UnlistedFolder::Skip);
  }

  void run() {
    m_database =
        std::make_unique<TSQLiteDatabase>(m_settings.dbFileName, kBusyTimeoutMs, m_settings.dbPassword);
    try {
      m_table = m_database->Query(selectAllSql(m_settings.dbTableName));
      prepare();
      scanResources();
    } catch (...) {
      finish();
      throw;
    }
    finish();
  }

 private:
  void prepare() {
    m_view.setScanButton(std::string(kScanBusyCaption), false);
    m_view.setProgressMaximum(static_cast<int>(m_resources.size()));
    m_view.setLabel1(std::string(kPreparingText));
    m_view.setLabel2(std::string(kScanningText));
    openResultsPage(m_view);
    globals().ScanTotalKB = 0;
    m_view.setProgressMinimum(0);
    m_view.setEdit1({});
    m_view.setEdit2({});
    m_view.pump();
  }

  void scanResources() {
    for (size_t i = 0; i < m_resources.size(); ++i) {
      const ScanResourceRow& resource = m_resources[i];
      m_view.pump();
      m_view.setProgressPosition(static_cast<int>(i));
      m_view.setLabel1(std::string(kScanningItemPrefix) + resource.caption);
      if (!resource.checked)
        continue;
      const std::string resourceFolder =
          m_settings.cloudCachePath + platform::kSeparator + resource.resourceId;
      // The numbering ends at the first missing folder: without "1", "2" is never visited.
      for (int n = 0;; ++n) {
        const std::string contentFolder = resourceFolder + platform::kSeparator + std::to_string(n);
        if (!folderExists(contentFolder))
          break;
        m_view.pump();
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
      m_view.pump();
      const std::optional<std::string> root = rootOf(rule, contentFolder);
      if (!root)
        continue;
      m_currentItem = rule.name;
      RunRuleSearch(m_search, *root, rule.maskText);
      updateResultsCounter(m_view);
    }
  }

  // The searches of all rules run in as few walks as the roots allow; the findings are then listed
  // rule by rule, so the rows and their order are those of one search per rule, and an error
  // comes after the rows its rule found.
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
      m_view.pump();
      if (!requestOfRule[i])
        continue;
      const MultiRuleSearch::Result& result = results[*requestOfRule[i]];
      for (const TFileInformations& found : result.found)
        appendFinding(m_view, found, true, rules[i].name);
      m_unreadable.insert(result.unreadable.begin(), result.unreadable.end());
      if (result.error)
        std::rethrow_exception(result.error);
      updateResultsCounter(m_view);
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

  void finish() {
    m_table.reset();
    m_database.reset();
    showScanTotals(m_view, m_unreadable);
    m_view.setScanButton(std::string(kScanCaption), true);
    closeResultsPage(m_view);
  }

  const ScanSettings& m_settings;
  const std::vector<ScanResourceRow>& m_resources;
  ScanView& m_view;
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
  UnreadableFolders m_unreadable;
};

}  // namespace

void runBasicScan(const ScanSettings& settings, const std::vector<ScanResourceRow>& resources, ScanView& view,
                  const BasicScanOptions& options) {
  BasicScan(settings, resources, view, options).run();
}

void RunRuleSearch(TEasyFileSearch& search, const std::string& root, const std::string& maskText) {
  search.setRootPath(root);
  search.FileNames.clear();
  search.FileNames = splitLines(maskText);
  search.Execute();
}

}  // namespace qinglan
