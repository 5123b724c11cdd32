#pragma once

#include <cstdint>
#include <memory>
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

// One row of Info: a note on a whole file name, or on an extension with its leading point.
struct InfoNote {
  std::string key;
  std::string value;
  bool onExtension = false;  // Px 1
};

// The rules database at the file, opened with the busy time-out every user of it shares.
std::unique_ptr<TSQLiteDatabase> openRulesDatabase(const std::string& file);

// The current row of a table read with the scan item columns Id, Name, UnScan, Folder, File.
ScanItem scanItemAt(const TSQLiteTable& table);
// The current row of a table read with the CacheClean columns dir, FileName, Des.
CacheRule cacheRuleAt(const TSQLiteTable& table);
// Des alone of that row: the scan shows it before it reads the rest.
std::string cacheRuleDescriptionAt(const TSQLiteTable& table);

// Every row of Info, in the database's order.
std::vector<InfoNote> readNotes(TSQLiteDatabase& db);

// Every row of the scan item table, in the database's order.
std::vector<ScanItem> readScanItems(TSQLiteDatabase& db, std::string_view tableName = kScanItemTable);
// Every row of CacheClean, in the database's order.
std::vector<CacheRule> readCacheRules(TSQLiteDatabase& db);

// The scan item table, queried for a scan that reads its rows once it reaches its first folder.
std::unique_ptr<TSQLiteTable> queryScanItems(TSQLiteDatabase& db, std::string_view tableName);
// Every row of the queried table as a scan puts it to work, in the table's order: UnScan first,
// then for an item not excluded Folder, Name (empty when the table has no Name column) and File.
// An excluded item carries its UnScan alone, so the columns only enabled rows read may be missing.
std::vector<ScanItem> scanItemsToScan(TSQLiteTable& table);
// The queried CacheClean table: the scan counts its rows before it reads them.
std::unique_ptr<TSQLiteTable> queryCacheRules(TSQLiteDatabase& db);

// Id, Name and UnScan of every scan item, UnScan read first, as the scan list shows them.
std::vector<ScanItem> readScanItemStates(TSQLiteDatabase& db, std::string_view tableName);
// Id and UnScan of every row of ccdb: the choices an upgraded copy keeps.
std::vector<ScanItem> readUnScanChoices(TSQLiteDatabase& db);
// The database's user_version; 0 when it gives none.
int32_t readUserVersion(TSQLiteDatabase& db);

// The note for a file name: the first whole-name note (Px 0); when there is none or it is empty,
// the first note on the name's extension (Px 1); else "".
std::string lookupNote(TSQLiteDatabase& db, std::string_view fileName);
// The first whole-name note (Px 0) alone, or "".
std::string lookupWholeNameNote(TSQLiteDatabase& db, std::string_view name);

}  // namespace qinglan
