#include "app/AppPaths.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/FileReplace.h"
#include "platform/Locations.h"
#include "platform/NativePath.h"
#include "platform/OwnFolder.h"
#include "platform/Path.h"
#include "rules/RulesReader.h"
#include "rules/RulesWriter.h"
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

[[noreturn]] void failOn(const std::string& what, const std::string& path) {
  throw fs::filesystem_error(what, platform::fsPath(path), std::error_code(errno, std::generic_category()));
}

// The program's folder that holds the file (or is the folder), opened and checked; made first when
// asked. Empty when it is missing and not to be made.
std::optional<platform::OwnFolder> ownFolder(const std::string& folder, bool make) {
  std::optional<platform::OwnFolder> opened =
      make ? platform::OwnFolder::make(folder) : platform::OwnFolder::open(folder);
  if (!opened && (make || errno != ENOENT))
    failOn("cannot open the folder", folder);
  return opened;
}

std::string folderOf(const std::string& file) {
  return platform::splitPath(file).parent;
}

// The rules database is opened by path, so nothing but the file may stand under its name.
void requireDatabaseFile(const platform::OwnFolder& folder) {
  if (folder.holdsOtherThanFile(kDbName))
    throw platform::UnsafeFolderError(folder.path(), std::string(kDbName) + " is not a plain file");
}

void writeUserCopy(const platform::OwnFolder& folder, const std::string& templateBytes, int32_t fingerprint,
                   const std::vector<ScanItem>& choices) {
  const std::string temporary = folder.writeTemporary("." + std::string(kDbName) + ".new-", templateBytes);
  if (temporary.empty())
    failOn("cannot write a new copy in", folder.path());
  try {
    {
      const std::unique_ptr<TSQLiteDatabase> db = openRulesDatabase(folder.path() + temporary);
      restoreUnScanChoices(*db, choices);
      writeUserVersion(*db, fingerprint);
    }
    if (!folder.rename(temporary, kDbName))
      failOn("cannot rename the new copy to", folder.path() + kDbName);
  } catch (...) {
    folder.removeTemporary(temporary);
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
  const bool dbBeside = fs::is_regular_file(platform::fsPath(paths.dbFileName), error);
  if (dbBeside && writable(paths.appPath)) {
    paths.layout = Layout::Portable;
    return paths;
  }
  paths.layout = Layout::Installed;
  // An unpacked program in a folder the user cannot write ships its database beside itself.
  paths.templateDb =
      dbBeside ? paths.dbFileName
               : platform::pathText(
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
  if (paths.layout != Layout::Installed) {
    if (!paths.appPath.empty())
      if (const std::optional<platform::OwnFolder> folder = ownFolder(paths.appPath, false))
        requireDatabaseFile(*folder);
    return;
  }
  ownFolder(folderOf(paths.whiteListFile), true);
  if (!paths.stateFolder.empty())
    ownFolder(paths.stateFolder, true);
  const bool shipped = fs::is_regular_file(platform::fsPath(paths.templateDb));
  const std::optional<platform::OwnFolder> data = ownFolder(folderOf(paths.dbFileName), shipped);
  if (data)
    requireDatabaseFile(*data);
  if (!shipped)
    return;
  const platform::WholeFile shippedFile = platform::readWholeFile(paths.templateDb);
  if (shippedFile.status != platform::ReadStatus::Read)
    failOn("cannot read", paths.templateDb);
  const int32_t fingerprint = rulesFingerprint(shippedFile.bytes);
  std::vector<ScanItem> choices;
  if (data->fileSize(kDbName)) {
    const std::unique_ptr<TSQLiteDatabase> db = openRulesDatabase(paths.dbFileName);
    if (readUserVersion(*db) == fingerprint)
      return;
    choices = readUnScanChoices(*db);
  }
  writeUserCopy(*data, shippedFile.bytes, fingerprint, choices);
}

int32_t rulesFingerprint(std::string_view bytes) {
  uint32_t hash = 2166136261u;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 16777619u;
  }
  return static_cast<int32_t>((hash & 0x7fffffffu) | 1u);
}

AppPaths startUpPaths(const std::string& appFolder) {
  AppPaths paths = appPaths(appFolder);
  prepareUserFolders(paths);
  return paths;
}

}  // namespace qinglan
