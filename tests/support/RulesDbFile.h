#pragma once

#include <string>
#include <vector>

namespace qinglan::test {

// One scan item; unScan is an SQL literal so that tests store 1, '1', NULL or '' as they need.
struct ScanItemRow {
  std::string unScan = "0";
  std::string folder;
  std::string file;
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

// Creates the tables of a rules database at the path and fills them; Id counts from 1.
void writeScanItems(const std::string& dbFile, const std::vector<ScanItemRow>& items);
void writeCacheRules(const std::string& dbFile, const std::vector<CacheRuleRow>& rules);
void writeInfoNotes(const std::string& dbFile, const std::vector<InfoRow>& notes);

}  // namespace qinglan::test
