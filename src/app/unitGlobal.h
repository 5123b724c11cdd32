#pragma once

#include <cstdint>
#include <string>

namespace qinglan {

// The settings every part of the program reads, fixed at start-up.
struct GlobalSettings {
  std::string AppPath;         // the executable's folder, with a trailing separator
  std::string DbFileName;      // AppPath + "ccdb.db"
  std::string DbTableName;     // "ccdb"
  std::string DbPassword;      // always empty: the database is opened without a key
  std::string CloudCachePath;  // the cache directory in use, never ending with a separator
  double ScanTotalKB = 0;      // sizes of the files the last scan listed, in kilobytes
  int32_t CachePathConfirmed = 0;
};

GlobalSettings& globals();

// Sets AppPath, DbFileName, DbTableName and DbPassword for an executable in appDir.
void initGlobalSettings(const std::string& appDir);

// The folder of the running executable, with a trailing separator.
std::string executableFolder();

}  // namespace qinglan
