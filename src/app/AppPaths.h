#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qinglan {

// Where the program keeps its files.
//  Portable: the executable's folder holds ccdb.db and is writable; everything lives there.
//  Installed: the shipped ccdb.db is a read-only template; the user's copy lives under the XDG data
//    folder, wb.lst under the XDG configuration folder, the state under the XDG state folder.
//  AppFolder: one folder given by the caller holds everything, as the portable layout does.
enum class Layout { Portable, Installed, AppFolder };

struct AppPaths {
  Layout layout = Layout::Portable;
  std::string appPath;        // the program's folder (or the given one), with a trailing separator
  std::string dbFileName;     // the rules database the scans read and the scan list dialog writes
  std::string templateDb;     // installed: the shipped database the user's copy comes from; else empty
  std::string whiteListFile;  // wb.lst
  std::string stateFolder;    // with a trailing separator; for what the program records of its runs
};

// Everything in one folder.
AppPaths appFolderPaths(const std::string& folder);

// Chooses the layout for an executable in executableFolder; the installed one reads HOME and the
// XDG variables (a relative XDG value is ignored, as the XDG rules ask). writable is the test of the
// executable's folder.
AppPaths decideAppPaths(const std::string& executableFolder,
                        const std::function<bool(const std::string&)>& writable);

// The paths of this run: appFolder when given, else the layout of the running executable.
AppPaths appPaths(const std::string& appFolder = {});

// Installed layout: makes the program's folders for wb.lst, the state and the user's database, whose
// writes do not make folders; gives the user a copy of the template on first use, and replaces an
// older copy by a newer template's rows while keeping the user's UnScan choices by Id. The copy is
// prepared beside the user's file and renamed over it, so a failure leaves the user's file as it
// was. Other layouts: checks the program's folder when it exists. Every folder is made and checked
// as platform::OwnFolder does, raising platform::UnsafeFolderError before anything is written; other
// failures raise ESQLiteException or std::filesystem::filesystem_error.
void prepareUserFolders(const AppPaths& paths);

// The version of a rules database's rows: a nonzero 31-bit digest of the shipped file's bytes,
// which a user's copy keeps as its user_version, so that the next start can tell whether the
// template changed since.
int32_t rulesFingerprint(std::string_view bytes);

// appPaths(appFolder) after prepareUserFolders on it.
AppPaths startUpPaths(const std::string& appFolder = {});

}  // namespace qinglan
