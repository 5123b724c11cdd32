#pragma once

#include <string>

#include <windows.h>

#include "platform/FileHandle_win.h"
#include "platform/ScanRoot.h"

namespace qinglan::platform {

// Removing or renaming needs DELETE; the attributes are read to know the entry and written to
// clear a read-only mark, which would refuse a deletion.
inline constexpr DWORD kEntryAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
inline constexpr DWORD kFolderAccess = kEntryAccess | FILE_LIST_DIRECTORY;

// A folder the user named, reached as given, links and all.
FileHandle openFolderFollowing(const std::string& path);

// The root of the volume holding a path, in the system's own form ("\\?\C:\" or a volume mounted
// on a folder); empty when the system cannot tell.
std::wstring volumeRootOf(const std::string& path);

// The folder at an absolute path: its volume's root as the system names it, then every component
// below opened relative to the one before, never through a reparse point. Invalid, with the last
// error set, when that cannot be done.
FileHandle openFolderNoFollow(const std::string& path, DWORD access);

enum class Located { Found, Gone, Refused };

// A finding found again, open with kEntryAccess (kFolderAccess for a folder), and the folder
// holding it.
struct LocatedFinding {
  FileHandle entry;
  FileHandle parent;
};

// Finds a finding again from its walk's root: the base as the user gave it, then every component
// below it and on to the finding relative to the handle before, never through a reparse point nor
// onto another volume, and only while the entry there is the one listed.
Located locateFinding(const std::string& path, const FindingOrigin& origin, LocatedFinding& found);

}  // namespace qinglan::platform
