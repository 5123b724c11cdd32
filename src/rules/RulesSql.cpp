#include "rules/RulesSql.h"

#include "platform/CaselessName.h"

namespace qinglan {

using platform::asciiLower;

std::string quoteSqlText(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += '\'';
    quoted += c;
  }
  return quoted + "'";
}

std::string fileExtension(std::string_view fileName) {
  std::size_t dot = fileName.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot));
}

std::string selectAllSql(std::string_view table) {
  return "SELECT * FROM " + std::string(table);
}

std::string updateUnScanSql(std::string_view table, std::string_view idText, bool included) {
  return "update " + std::string(table) + (included ? " set UnScan=0 where id=" : " set UnScan=1 where id=") +
         std::string(idText);
}

std::string infoByNameSql(std::string_view fileName) {
  return "SELECT * FROM Info where LOWER(KeyName) =" + quoteSqlText(asciiLower(fileName)) + " and Px=0";
}

std::string infoByExtensionSql(std::string_view fileName) {
  return "SELECT * FROM Info where LOWER(KeyName) =" + quoteSqlText(asciiLower(fileExtension(fileName))) +
         " and Px=1";
}

std::string selectCacheCleanSql() {
  return selectAllSql(kCacheCleanTable);
}

std::string restoreUnScanSql(std::string_view id, bool off) {
  return std::string("UPDATE ccdb SET UnScan=") + (off ? "1" : "0") + " WHERE Id=" + quoteSqlText(id);
}

std::string setUserVersionSql(int32_t version) {
  return "PRAGMA user_version=" + std::to_string(version);
}

}  // namespace qinglan
