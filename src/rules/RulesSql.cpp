#include "rules/RulesSql.h"

namespace qinglan {

std::string asciiLower(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

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

}  // namespace qinglan
