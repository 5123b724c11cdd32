#pragma once

#include <string>
#include <string_view>

// Every SQL text the program runs against the rules database, built by plain concatenation.
namespace qinglan {

inline constexpr std::string_view kScanItemTable = "ccdb";
inline constexpr std::string_view kCacheCleanTable = "CacheClean";

// Only the ASCII letters A to Z change; other bytes (UTF-8 included) stay as they are.
std::string asciiLower(std::string_view text);
// Enclosed in single quotes, every single quote inside doubled.
std::string quoteSqlText(std::string_view text);
// From the last "." of the name, inclusive; empty when the name has none.
std::string fileExtension(std::string_view fileName);

// "SELECT * FROM " + table; the table name goes in unquoted.
std::string selectAllSql(std::string_view table);
// "update " + table + " set UnScan=0 where id=" + idText (UnScan=1 when not included); idText unquoted.
std::string updateUnScanSql(std::string_view table, std::string_view idText, bool included);
// "SELECT * FROM Info where LOWER(KeyName) ='<lower-cased name>' and Px=0"
std::string infoByNameSql(std::string_view fileName);
// "SELECT * FROM Info where LOWER(KeyName) ='<lower-cased extension>' and Px=1"
std::string infoByExtensionSql(std::string_view fileName);
// "SELECT * FROM CacheClean"
std::string selectCacheCleanSql();

}  // namespace qinglan
