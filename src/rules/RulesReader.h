#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "rules/RulesSql.h"
#include "rules/SQLiteTable3.h"

// Rows of the rules database as plain values. Texts are UTF-8: the scan items and notes as stored,
// the cache rules converted from their stored GBK bytes. A missing column raises
// "Field not found in dataset: <Column>" as the table does.
namespace qinglan {

// One row of the scan item table.
struct ScanItem {
  std::string id;
  std::string name;
  std::string unScan;
  // Below a numbered content folder, "\" between folder names; empty for the folder itself.
  std::string folder;
  std::string file;  // name masks, one per line

  // Only an UnScan that reads exactly "1" excludes an item; 0, NULL or anything else includes it.
  bool excluded() const { return unScan == "1"; }
};

// One row of CacheClean.
struct CacheRule {
  std::string dir;       // below a drive root, no leading separator
  std::string fileName;  // name masks, one per line
  std::string des;
};

// The current row of a table read with the scan item columns Id, Name, UnScan, Folder, File.
ScanItem scanItemAt(const TSQLiteTable& table);
// The current row of a table read with the CacheClean columns dir, FileName, Des.
CacheRule cacheRuleAt(const TSQLiteTable& table);

// Every row of the scan item table, in the database's order.
std::vector<ScanItem> readScanItems(TSQLiteDatabase& db, std::string_view tableName = kScanItemTable);
// Every row of CacheClean, in the database's order.
std::vector<CacheRule> readCacheRules(TSQLiteDatabase& db);

// The note for a file name: the first whole-name note (Px 0); when there is none or it is empty,
// the first note on the name's extension (Px 1); else "".
std::string lookupNote(TSQLiteDatabase& db, std::string_view fileName);

}  // namespace qinglan
