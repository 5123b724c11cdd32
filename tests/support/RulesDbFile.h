#pragma once

#include <string>
#include <vector>

#include "rules/SQLiteTable3.h"

namespace qinglan::test {

// One scan item; unScan is an SQL literal so that tests store 1, '1', NULL or '' as they need.
struct ScanItemRow {
  std::string unScan = "0";
  std::string folder = {};
  std::string file = {};
  std::string name = "item";
  std::string id = {};  // an SQL literal; empty: numbered from 1
};

struct CacheRuleRow {
  std::string dir;  // UTF-8 here; stored as GBK bytes as shipped databases hold them
  std::string fileName;
  std::string des;
};

struct InfoRow {
  std::string keyName;
  std::string keyValue;
  int px = 0;
};

// Creates the tables of a rules database at the path and fills them. The scan item table leaves
// UnScan untyped and nullable, so it keeps the storage class of its literal.
void writeScanItems(const std::string& dbFile, const std::vector<ScanItemRow>& items);
void writeCacheRules(const std::string& dbFile, const std::vector<CacheRuleRow>& rules);
void writeInfoNotes(const std::string& dbFile, const std::vector<InfoRow>& notes);

// The message of the ESQLiteException that `action` raises, or a marker when it raises none.
template <typename Action>
std::string errorOf(Action&& action) {
  try {
    action();
  } catch (const ESQLiteException& error) {
    return error.what();
  }
  return "<no ESQLiteException>";
}

// The first column of every row the query gives, as text, in order.
std::vector<std::string> columnValues(const std::string& dbFile, const std::string& sql);

}  // namespace qinglan::test
