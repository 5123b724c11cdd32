#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Codepage.h"
#include "rules/RulesSql.h"
#include "rules/SQLiteTable3.h"

// Rules databases for the window's tests, written through the access layer. The scan item table
// leaves UnScan untyped and nullable so that tests store 1, '1', NULL or '' as they need.
namespace qinglan::test {

struct ScanItemSpec {
  std::string unScan = "0";  // an SQL literal
  std::string folder = {};
  std::string file = {};
  std::string name = "项目";
  std::string id = {};  // an SQL literal; empty: numbered from 1
};

struct CacheRuleSpec {
  std::string dir;
  std::string fileName;
  std::string des;  // stored as GBK bytes, as shipped databases hold them
};

struct InfoSpec {
  std::string keyName;
  std::string keyValue;
  int px = 0;
};

inline void writeScanItemTable(const std::string& dbFile, const std::vector<ScanItemSpec>& items) {
  TSQLiteDatabase db(dbFile, TSQLiteDatabase::OpenMode::Create);
  db.Query("CREATE TABLE ccdb (Id, Name TEXT, UnScan, Folder TEXT, File TEXT)");
  for (size_t i = 0; i < items.size(); ++i) {
    const ScanItemSpec& item = items[i];
    const std::string id = item.id.empty() ? std::to_string(i + 1) : item.id;
    db.Query("INSERT INTO ccdb VALUES (" + id + ", " + quoteSqlText(item.name) + ", " + item.unScan + ", " +
             quoteSqlText(item.folder) + ", " + quoteSqlText(item.file) + ")");
  }
}

inline void writeCacheCleanTable(const std::string& dbFile, const std::vector<CacheRuleSpec>& rules) {
  TSQLiteDatabase db(dbFile, TSQLiteDatabase::OpenMode::Create);
  db.Query("CREATE TABLE CacheClean (dir TEXT, FileName TEXT, Des TEXT)");
  for (const CacheRuleSpec& rule : rules)
    db.Query("INSERT INTO CacheClean VALUES (" + quoteSqlText(platform::utf8ToGbk(rule.dir)) + ", " +
             quoteSqlText(rule.fileName) + ", " + quoteSqlText(platform::utf8ToGbk(rule.des)) + ")");
}

inline void writeInfoTable(const std::string& dbFile, const std::vector<InfoSpec>& notes) {
  TSQLiteDatabase db(dbFile, TSQLiteDatabase::OpenMode::Create);
  db.Query("CREATE TABLE Info (KeyName TEXT, KeyValue TEXT, Px INTEGER)");
  for (const InfoSpec& note : notes)
    db.Query("INSERT INTO Info VALUES (" + quoteSqlText(note.keyName) + ", " + quoteSqlText(note.keyValue) +
             ", " + std::to_string(note.px) + ")");
}

// One column of every row, as text, in the table's order.
inline std::vector<std::string> columnValues(const std::string& dbFile, const std::string& sql) {
  TSQLiteDatabase db(dbFile, TSQLiteDatabase::OpenMode::Create);
  const std::unique_ptr<TSQLiteTable> table = db.Query(sql);
  std::vector<std::string> values;
  table->FirstRow();
  for (uint32_t row = 0; row < table->RowCount(); ++row, table->NextRow())
    values.push_back(table->ValueText(0));
  return values;
}

}  // namespace qinglan::test
