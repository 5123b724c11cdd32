#include "platform/Locations.h"

#include <optional>
#include <string_view>

#include <shlobj.h>
#include <windows.h>

#include "platform/Environment.h"
#include "platform/NativePath.h"
#include "platform/Path.h"

namespace qinglan::platform {

namespace {

// The path without the "\\?\" prefix that marks a long path to the system.
std::string withoutLongPathPrefix(std::string path) {
  if (path.starts_with("\\\\?\\UNC\\"))
    return "\\" + path.substr(7);
  if (path.starts_with("\\\\?\\"))
    return path.substr(4);
  return path;
}

std::string knownFolder(REFKNOWNFOLDERID id) {
  PWSTR folder = nullptr;
  std::string path;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &folder)))
    path = utf8Text(folder);
  ::CoTaskMemFree(folder);
  return path;
}

}  // namespace

std::string executableFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0)
      break;
    if (length < buffer.size()) {
      buffer.resize(length);
      const std::string self = withoutLongPathPrefix(utf8Text(buffer));
      return withTrailingSeparator(self.substr(0, self.rfind(kSeparator)));
    }
    buffer.resize(buffer.size() * 2);
  }
  return withTrailingSeparator(pathText(std::filesystem::current_path()));
}

std::string homeFolder() {
  if (std::string home = environmentVariable("USERPROFILE").value_or(""); !home.empty())
    return home;
  return knownFolder(FOLDERID_Profile);
}

// Windows has no permission bits to ask: a file is made there, and gone again when closed.
bool folderIsWritable(const std::string& folder) {
  const std::wstring probe = widePath(withTrailingSeparator(folder) + ".qinglan-write-test." +
                                      std::to_string(::GetCurrentProcessId()));
  const HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  ::CloseHandle(file);
  return true;
}

bool isFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(widePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Settings roam with the user; the database and logs stay on the machine.
std::string userFolder(UserFolder kind) {
  const bool roaming = kind == UserFolder::Config;
  std::string folder = environmentVariable(roaming ? "APPDATA" : "LOCALAPPDATA").value_or("");
  if (folder.empty())
    folder = knownFolder(roaming ? FOLDERID_RoamingAppData : FOLDERID_LocalAppData);
  if (folder.empty())
    folder = withTrailingSeparator(homeFolder()) + (roaming ? "AppData\\Roaming" : "AppData\\Local");
  return withTrailingSeparator(folder);
}

}  // namespace qinglan::platform
