#include "support/RulesDbFile.h"

#include <cstdio>
#include <memory>

#include "platform/Codepage.h"
#include "rules/RulesSql.h"
#include "rules/SQLiteTable3.h"

namespace qinglan::test {

namespace {

// Text stored byte for byte, whatever its encoding.
std::string bytesLiteral(const std::string& bytes) {
  std::string hex = "CAST(X'";
  for (const char c : bytes) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
    hex += digits;
  }
  return hex + "' AS TEXT)";
}

}  // namespace

void writeScanItems(const std::string& dbFile, const std::vector<ScanItemRow>& items) {
  TSQLiteDatabase db(dbFile, TSQLiteDatabase::OpenMode::Create);
  db.Execute("CREATE TABLE ccdb (Id INTEGER, Name TEXT, UnScan, Folder TEXT, File TEXT)");
  for (size_t i = 0; i < items.size(); ++i) {
    const ScanItemRow& item = items[i];
    const std::string id = item.id.empty() ? std::to_string(i + 1) : item.id;
    db.Execute("INSERT INTO ccdb VALUES (" + id + ", " + quoteSqlText(item.name) + ", " + item.unScan + ", " +
               quoteSqlText(item.folder) + ", " + quoteSqlText(item.file) + ")");
  }
}

void writeCacheRules(const std::string& dbFile, const std::vector<CacheRuleRow>& rules) {
  TSQLiteDatabase db(dbFile, TSQLiteDatabase::OpenMode::Create);
  db.Execute("CREATE TABLE CacheClean (dir TEXT, FileName TEXT, Des TEXT)");
  for (const CacheRuleRow& rule : rules) {
    db.Execute("INSERT INTO CacheClean VALUES (" + bytesLiteral(platform::utf8ToGbk(rule.dir)) + ", " +
               bytesLiteral(platform::utf8ToGbk(rule.fileName)) + ", " +
               bytesLiteral(platform::utf8ToGbk(rule.des)) + ")");
  }
}

void writeInfoNotes(const std::string& dbFile, const std::vector<InfoRow>& notes) {
  TSQLiteDatabase db(dbFile, TSQLiteDatabase::OpenMode::Create);
  db.Execute("CREATE TABLE Info (KeyName TEXT, KeyValue TEXT, Px INTEGER)");
  for (const InfoRow& note : notes) {
    db.Execute("INSERT INTO Info VALUES (" + quoteSqlText(note.keyName) + ", " + quoteSqlText(note.keyValue) +
               ", " + std::to_string(note.px) + ")");
  }
}

std::vector<std::string> columnValues(const std::string& dbFile, const std::string& sql) {
  TSQLiteDatabase db(dbFile);
  const std::unique_ptr<TSQLiteTable> table = db.Query(sql);
  std::vector<std::string> values;
  for (table->FirstRow(); !table->AtEnd(); table->NextRow())
    values.push_back(table->ValueText(0));
  return values;
}

}  // namespace qinglan::test
