#include "platform/NativePath.h"

#include <algorithm>
#include <vector>

#include <windows.h>

namespace qinglan::platform {

namespace {

constexpr std::wstring_view kVerbatim = L"\\\\?\\";
constexpr std::wstring_view kDevice = L"\\\\.\\";

bool isDriveAbsolute(std::wstring_view path) {
  return path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
}

// The length of the part that "." and ".." never climb out of: "C:\", or "\\server\share\".
size_t rootLength(std::wstring_view path) {
  if (isDriveAbsolute(path))
    return 3;
  if (!path.starts_with(L"\\\\"))
    return 0;
  const size_t server = path.find(L'\\', 2);
  const size_t share = server == std::wstring_view::npos ? server : path.find(L'\\', server + 1);
  return share == std::wstring_view::npos ? path.size() : share + 1;
}

std::wstring currentFolder() {
  const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
  std::wstring folder(needed, L'\0');
  const DWORD written = ::GetCurrentDirectoryW(needed, folder.data());
  folder.resize(written < needed ? written : 0);
  return folder;
}

// The path made absolute with its "." and ".." taken out, every other name kept exactly: the
// system's own clean-up would also cut trailing dots and spaces ("ff." would name "ff") and turn
// names such as "CON" into devices.
std::wstring absoluteWithoutCleanUp(std::wstring path) {
  if (path.starts_with(L"\\") && !path.starts_with(L"\\\\")) {
    const std::wstring current = currentFolder();
    path = current.substr(0, rootLength(current) == 3 ? 2 : 0) + path;  // rooted on the current drive
  } else if (path.size() >= 2 && path[1] == L':' && !isDriveAbsolute(path)) {
    // "C:x" is relative to the current folder of drive C, which the system keeps.
    const DWORD needed = ::GetFullPathNameW(path.substr(0, 2).c_str(), 0, nullptr, nullptr);
    std::wstring drive(needed, L'\0');
    drive.resize(::GetFullPathNameW(path.substr(0, 2).c_str(), needed, drive.data(), nullptr));
    path = drive + L"\\" + path.substr(2);
  } else if (rootLength(path) == 0) {
    path = currentFolder() + L"\\" + path;
  }
  const size_t root = rootLength(path);
  if (root == 0)
    return path;
  std::vector<std::wstring_view> names;
  const std::wstring_view rest = std::wstring_view(path).substr(root);
  for (size_t start = 0; start <= rest.size();) {
    const size_t end = std::min(rest.find(L'\\', start), rest.size());
    const std::wstring_view name = rest.substr(start, end - start);
    if (name == L"..") {
      if (!names.empty())
        names.pop_back();
    } else if (!name.empty() && name != L".") {
      names.push_back(name);
    }
    start = end + 1;
  }
  std::wstring full = path.substr(0, root);
  for (size_t i = 0; i < names.size(); ++i)
    full += (i == 0 ? L"" : L"\\") + std::wstring(names[i]);
  if (!names.empty() && path.back() == L'\\')
    full += L'\\';
  return full;
}

}  // namespace

std::wstring wideText(std::string_view utf8) {
  if (utf8.empty())
    return {};
  const int size = static_cast<int>(utf8.size());
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string utf8Text(std::wstring_view wide) {
  if (wide.empty())
    return {};
  const int size = static_cast<int>(wide.size());
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

std::wstring widePath(std::string_view utf8) {
  std::wstring path = wideText(utf8);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  if (path.empty() || path.starts_with(kVerbatim))
    return path;
  if (path.starts_with(kDevice))  // "\\.\C:\x" names the same entry as "\\?\C:\x"
    return std::wstring(kVerbatim) + path.substr(kDevice.size());
  const std::wstring full = absoluteWithoutCleanUp(path);
  if (isDriveAbsolute(full))
    return std::wstring(kVerbatim) + full;
  if (full.starts_with(L"\\\\"))
    return std::wstring(kVerbatim) + L"UNC\\" + full.substr(2);
  return full;
}

bool entryExists(const std::string& path) {
  // The attributes are those of the entry itself, a reparse point included, and the verbatim path
  // reaches entries beyond 260 characters.
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (::GetFileAttributesExW(widePath(path).c_str(), GetFileExInfoStandard, &data))
    return true;
  const DWORD error = ::GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

std::string absolutePath(std::string_view utf8) {
  const std::wstring path = widePath(utf8);
  if (path.starts_with(L"\\\\?\\UNC\\"))
    return "\\\\" + utf8Text(std::wstring_view(path).substr(8));
  if (path.starts_with(kVerbatim))
    return utf8Text(std::wstring_view(path).substr(kVerbatim.size()));
  return utf8Text(path);
}

}  // namespace qinglan::platform
