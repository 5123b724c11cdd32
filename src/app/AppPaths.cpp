#include "app/AppPaths.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/Locations.h"
#include "platform/NativePath.h"
#include "platform/Path.h"
#include "rules/RulesSql.h"
#include "rules/SQLiteTable3.h"
#include "whitelist/Whitelist.h"

#ifndef QINGLAN_DATA_FROM_BIN
#define QINGLAN_DATA_FROM_BIN "../share/qinglan"
#endif

namespace qinglan {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDbName = "ccdb.db";
constexpr const char* kProgramFolder = "qinglan";

std::string programFolderIn(platform::UserFolder kind) {
  return platform::userFolder(kind) + kProgramFolder + platform::kSeparator;
}

// A nonzero 31-bit digest of the file's bytes, kept in the user's copy as its user_version so that
// the next start can tell whether the template changed since.
int32_t templateFingerprint(const std::string& file) {
  std::ifstream in(platform::fsPath(file), std::ios::binary);
  uint32_t hash = 2166136261u;
  for (std::istreambuf_iterator<char> it(in), end; it != end; ++it) {
    hash ^= static_cast<unsigned char>(*it);
    hash *= 16777619u;
  }
  if (in.bad())
    throw fs::filesystem_error("cannot read", platform::fsPath(file),
                               std::make_error_code(std::errc::io_error));
  return static_cast<int32_t>((hash & 0x7fffffffu) | 1u);
}

int32_t storedFingerprint(TSQLiteDatabase& db) {
  const auto table = db.Query("PRAGMA user_version");
  return table->RowCount() == 0 ? 0 : static_cast<int32_t>(std::stoll(table->ValueText(0)));
}

// Every scan item's Id with whether the user switched it off.
std::vector<std::pair<std::string, bool>> unScanChoices(TSQLiteDatabase& db) {
  std::vector<std::pair<std::string, bool>> choices;
  const auto table = db.Query("SELECT Id, UnScan FROM ccdb");
  for (table->FirstRow(); !table->AtEnd(); table->NextRow())
    choices.emplace_back(table->ValueByName("Id"), table->ValueByName("UnScan") == "1");
  return choices;
}

std::string temporarySibling(const std::string& file) {
  std::random_device random;
  return file + ".new-" + std::to_string(random());
}

void writeUserCopy(const AppPaths& paths, int32_t fingerprint,
                   const std::vector<std::pair<std::string, bool>>& choices) {
  fs::create_directories(platform::fsPath(paths.dbFileName).parent_path());
  const std::string temporary = temporarySibling(paths.dbFileName);
  try {
    fs::copy_file(platform::fsPath(paths.templateDb), platform::fsPath(temporary),
                  fs::copy_options::overwrite_existing);
    // The template may be read-only; the copy is the user's to write.
    fs::permissions(platform::fsPath(temporary), fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::add);
    {
      TSQLiteDatabase db(temporary);
      db.Execute("BEGIN");
      for (const auto& [id, off] : choices)
        db.Execute(std::string("UPDATE ccdb SET UnScan=") + (off ? "1" : "0") +
                   " WHERE Id=" + quoteSqlText(id));
      db.Execute("COMMIT");
      db.Execute("PRAGMA user_version=" + std::to_string(fingerprint));
    }
    fs::rename(platform::fsPath(temporary), platform::fsPath(paths.dbFileName));
  } catch (...) {
    std::error_code ignored;
    fs::remove(platform::fsPath(temporary), ignored);
    throw;
  }
}

}  // namespace

AppPaths appFolderPaths(const std::string& folder) {
  AppPaths paths;
  paths.layout = Layout::AppFolder;
  paths.appPath = platform::withTrailingSeparator(folder);
  paths.dbFileName = paths.appPath + kDbName;
  paths.whiteListFile = Whitelist::inAppFolder(paths.appPath).fileName();
  paths.stateFolder = paths.appPath;
  return paths;
}

AppPaths decideAppPaths(const std::string& executableFolder,
                        const std::function<bool(const std::string&)>& writable) {
  AppPaths paths = appFolderPaths(executableFolder);
  std::error_code error;
  if (fs::is_regular_file(platform::fsPath(paths.dbFileName), error) && writable(paths.appPath)) {
    paths.layout = Layout::Portable;
    return paths;
  }
  paths.layout = Layout::Installed;
  paths.templateDb = platform::pathText(
      (platform::fsPath(paths.appPath) / QINGLAN_DATA_FROM_BIN / kDbName).lexically_normal());
  paths.dbFileName = programFolderIn(platform::UserFolder::Data) + kDbName;
  paths.whiteListFile = programFolderIn(platform::UserFolder::Config) + std::string(kWhitelistFileName);
  paths.stateFolder = programFolderIn(platform::UserFolder::State);
  return paths;
}

AppPaths appPaths(const std::string& appFolder) {
  if (!appFolder.empty())
    return appFolderPaths(appFolder);
  return decideAppPaths(platform::executableFolder(), platform::folderIsWritable);
}

void prepareUserFolders(const AppPaths& paths) {
  if (paths.layout != Layout::Installed)
    return;
  fs::create_directories(platform::fsPath(paths.whiteListFile).parent_path());
  if (!fs::is_regular_file(platform::fsPath(paths.templateDb)))
    return;
  const int32_t fingerprint = templateFingerprint(paths.templateDb);
  std::vector<std::pair<std::string, bool>> choices;
  if (fs::exists(platform::fsPath(paths.dbFileName))) {
    TSQLiteDatabase db(paths.dbFileName);
    if (storedFingerprint(db) == fingerprint)
      return;
    choices = unScanChoices(db);
  }
  writeUserCopy(paths, fingerprint, choices);
}

AppPaths startUpPaths(const std::string& appFolder) {
  AppPaths paths = appPaths(appFolder);
  prepareUserFolders(paths);
  return paths;
}

}  // namespace qinglan
