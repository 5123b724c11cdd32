#pragma once

#include <cstdint>
#include <string>

namespace qinglan {

struct AppPaths;

// The settings every part of the program reads, fixed at start-up.
struct GlobalSettings {
  std::string AppPath;         // the executable's folder, with a trailing separator
  std::string DbFileName;      // the rules database: AppPath + "ccdb.db" unless installed
  std::string DbTableName;     // "ccdb"
  std::string DbPassword;      // always empty: the database is opened without a key
  std::string CloudCachePath;  // the cache directory in use, never ending with a separator
  int32_t CachePathConfirmed = 0;
  std::string WhiteListFile;  // wb.lst: in AppPath unless installed
  std::string StateFolder;    // with a trailing separator: where records of the program's runs go
};

GlobalSettings& globals();

// Sets the file settings from the paths start-up decided, DbTableName and DbPassword.
void initGlobalSettings(const AppPaths& paths);
// The same with every file in appDir.
void initGlobalSettings(const std::string& appDir);

// The folder of the running executable, with a trailing separator.
std::string executableFolder();

}  // namespace qinglan
