#include "rules/RulesReader.h"

#include "platform/Codepage.h"

namespace qinglan {

std::unique_ptr<TSQLiteDatabase> openRulesDatabase(const std::string& file) {
  return std::make_unique<TSQLiteDatabase>(file, kBusyTimeoutMs);
}

ScanItem scanItemAt(const TSQLiteTable& table) {
  return ScanItem{table.ValueByName("Id"), table.ValueByName("Name"), table.ValueByName("UnScan"),
                  table.ValueByName("Folder"), table.ValueByName("File")};
}

CacheRule cacheRuleAt(const TSQLiteTable& table) {
  return CacheRule{platform::gbkToUtf8(table.ValueByName("dir")),
                   platform::gbkToUtf8(table.ValueByName("FileName")),
                   platform::gbkToUtf8(table.ValueByName("Des"))};
}

std::string cacheRuleDescriptionAt(const TSQLiteTable& table) {
  return platform::gbkToUtf8(table.ValueByName("Des"));
}

std::vector<ScanItem> readScanItems(TSQLiteDatabase& db, std::string_view tableName) {
  std::unique_ptr<TSQLiteTable> table = db.Query(selectAllSql(tableName));
  std::vector<ScanItem> items;
  for (table->FirstRow(); !table->AtEnd(); table->NextRow()) {
    items.push_back(scanItemAt(*table));
  }
  return items;
}

std::vector<CacheRule> readCacheRules(TSQLiteDatabase& db) {
  std::unique_ptr<TSQLiteTable> table = db.Query(selectCacheCleanSql());
  std::vector<CacheRule> rules;
  for (table->FirstRow(); !table->AtEnd(); table->NextRow()) {
    rules.push_back(cacheRuleAt(*table));
  }
  return rules;
}

std::vector<InfoNote> readNotes(TSQLiteDatabase& db) {
  std::unique_ptr<TSQLiteTable> table = db.Query(selectAllSql(kInfoTable));
  std::vector<InfoNote> notes;
  for (table->FirstRow(); !table->AtEnd(); table->NextRow())
    notes.push_back(
        {table->ValueByName("KeyName"), table->ValueByName("KeyValue"), table->ValueByName("Px") == "1"});
  return notes;
}

std::unique_ptr<TSQLiteTable> queryScanItems(TSQLiteDatabase& db, std::string_view tableName) {
  return db.Query(selectAllSql(tableName));
}

std::vector<ScanItem> scanItemsToScan(TSQLiteTable& table) {
  // The name only labels findings, so a table without it still scans.
  const bool named = table.HasColumn("Name");
  std::vector<ScanItem> items;
  for (table.FirstRow(); !table.AtEnd(); table.NextRow()) {
    // Every column is read before the switch is tested, so a table lacking one fails even when
    // all of its items are switched off.
    ScanItem& item = items.emplace_back();
    item.unScan = table.ValueByName("UnScan");
    item.folder = table.ValueByName("Folder");
    item.file = table.ValueByName("File");
    item.name = named ? table.ValueByName("Name") : std::string();
  }
  return items;
}

std::unique_ptr<TSQLiteTable> queryCacheRules(TSQLiteDatabase& db) {
  return db.Query(selectCacheCleanSql());
}

std::vector<ScanItem> readScanItemStates(TSQLiteDatabase& db, std::string_view tableName) {
  std::unique_ptr<TSQLiteTable> table = db.Query(selectAllSql(tableName));
  std::vector<ScanItem> items;
  for (table->FirstRow(); !table->AtEnd(); table->NextRow()) {
    ScanItem item;
    // In the order the dialog shows them, so a table lacking several names the first of those.
    item.id = table->ValueByName("Id");
    item.name = table->ValueByName("Name");
    item.unScan = table->ValueByName("UnScan");
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<ScanItem> readUnScanChoices(TSQLiteDatabase& db) {
  std::unique_ptr<TSQLiteTable> table = db.Query(std::string(kSelectUnScanChoicesSql));
  std::vector<ScanItem> items;
  for (table->FirstRow(); !table->AtEnd(); table->NextRow()) {
    ScanItem item;
    item.id = table->ValueByName("Id");
    item.unScan = table->ValueByName("UnScan");
    items.push_back(std::move(item));
  }
  return items;
}

int32_t readUserVersion(TSQLiteDatabase& db) {
  std::unique_ptr<TSQLiteTable> table = db.Query(std::string(kUserVersionSql));
  return table->RowCount() == 0 ? 0 : static_cast<int32_t>(std::stoll(table->ValueText(0)));
}

namespace {

// KeyValue of the lookup's first row, or "" when it returns none.
std::string firstNote(TSQLiteDatabase& db, const std::string& sql) {
  std::unique_ptr<TSQLiteTable> table = db.Query(sql);
  return table->RowCount() > 0 ? table->ValueByName("KeyValue") : std::string();
}

}  // namespace

std::string lookupWholeNameNote(TSQLiteDatabase& db, std::string_view name) {
  return firstNote(db, infoByNameSql(name));
}

std::string lookupNote(TSQLiteDatabase& db, std::string_view fileName) {
  std::string note = lookupWholeNameNote(db, fileName);
  if (note.empty())
    note = firstNote(db, infoByExtensionSql(fileName));
  return note;
}

}  // namespace qinglan
