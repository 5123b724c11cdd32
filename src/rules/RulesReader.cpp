#include "rules/RulesReader.h"

#include "platform/Codepage.h"

namespace qinglan {

ScanItem scanItemAt(const TSQLiteTable& table) {
  return ScanItem{table.ValueByName("Id"), table.ValueByName("Name"), table.ValueByName("UnScan"),
                  table.ValueByName("Folder"), table.ValueByName("File")};
}

CacheRule cacheRuleAt(const TSQLiteTable& table) {
  return CacheRule{platform::gbkToUtf8(table.ValueByName("dir")),
                   platform::gbkToUtf8(table.ValueByName("FileName")),
                   platform::gbkToUtf8(table.ValueByName("Des"))};
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

namespace {

// KeyValue of the lookup's first row, or "" when it returns none.
std::string firstNote(TSQLiteDatabase& db, const std::string& sql) {
  std::unique_ptr<TSQLiteTable> table = db.Query(sql);
  return table->RowCount() > 0 ? table->ValueByName("KeyValue") : std::string();
}

}  // namespace

std::string lookupNote(TSQLiteDatabase& db, std::string_view fileName) {
  std::string note = firstNote(db, infoByNameSql(fileName));
  if (note.empty())
    note = firstNote(db, infoByExtensionSql(fileName));
  return note;
}

}  // namespace qinglan
