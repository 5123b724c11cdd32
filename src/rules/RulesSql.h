#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Every SQL text the program runs against the rules database, built by plain concatenation.
namespace qinglan {

inline constexpr std::string_view kScanItemTable = "ccdb";
inline constexpr std::string_view kCacheCleanTable = "CacheClean";
inline constexpr std::string_view kInfoTable = "Info";

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

// The pragmas every connection runs once it is open.
inline constexpr std::string_view kConnectionPragmaSql[] = {"PRAGMA SYNCHRONOUS=NORMAL;",
                                                            "PRAGMA temp_store = MEMORY;"};

// The installed copy's upgrade: the user's UnScan choices by Id, carried into a newer template in
// one transaction, and the template's fingerprint kept as the copy's user_version.
inline constexpr std::string_view kSelectUnScanChoicesSql = "SELECT Id, UnScan FROM ccdb";
// "UPDATE ccdb SET UnScan=1 WHERE Id=" + the quoted id (UnScan=0 when not off).
std::string restoreUnScanSql(std::string_view id, bool off);
inline constexpr std::string_view kBeginSql = "BEGIN";
inline constexpr std::string_view kCommitSql = "COMMIT";
inline constexpr std::string_view kUserVersionSql = "PRAGMA user_version";
// "PRAGMA user_version=" + the number.
std::string setUserVersionSql(int32_t version);

}  // namespace qinglan
