#include "platform/FindingLocate_win.h"

#include <optional>
#include <vector>

#include "platform/NativePath.h"
#include "platform/Path.h"

namespace qinglan::platform {

namespace {

Located failure() {
  return isNotFoundError(::GetLastError()) ? Located::Gone : Located::Refused;
}

// The part of a path below the volume root given, whether or not one of them has the "\\?\" prefix;
// nullopt when the path is not below it.
std::optional<std::wstring> belowRoot(std::wstring_view path, std::wstring_view root) {
  const auto startsWith = [](std::wstring_view text, std::wstring_view start) {
    return text.size() >= start.size() &&
           ::CompareStringOrdinal(text.data(), static_cast<int>(start.size()), start.data(),
                                  static_cast<int>(start.size()), TRUE) == CSTR_EQUAL;
  };
  constexpr std::wstring_view kPrefix = L"\\\\?\\";
  if (startsWith(path, kPrefix) && !startsWith(root, kPrefix))
    path.remove_prefix(kPrefix.size());
  if (root.empty() || !startsWith(path, root))
    return std::nullopt;
  return std::wstring(path.substr(root.size()));
}

}  // namespace

std::wstring volumeRootOf(const std::string& path) {
  const std::wstring wide = widePath(path);
  std::vector<wchar_t> root(wide.size() + 2);
  if (!::GetVolumePathNameW(wide.c_str(), root.data(), static_cast<DWORD>(root.size())))
    return {};
  return root.data();
}

FileHandle openFolderFollowing(const std::string& path) {
  return FileHandle(::CreateFileW(
      widePath(path).c_str(), FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY | SYNCHRONIZE,
      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

FileHandle openFolderNoFollow(const std::string& path, DWORD access) {
  const std::wstring wide = widePath(path);
  const std::wstring root = volumeRootOf(path);
  const std::optional<std::wstring> below = belowRoot(wide, root);
  if (!below) {
    ::SetLastError(ERROR_BAD_PATHNAME);
    return {};
  }
  FileHandle folder(::CreateFileW(root.c_str(), access | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const std::vector<std::string> names = pathNames(utf8Text(*below));
  for (const std::string& part : names) {
    if (!folder.valid())
      return {};
    if (part == "." || part == "..") {
      ::SetLastError(ERROR_BAD_PATHNAME);
      return {};
    }
    const std::wstring name = wideText(part);
    FileHandle next = openChild(folder.get(), name, access);
    if (!next.valid())
      return {};
    const std::optional<HandleInfo> info = infoOf(next.get());
    if (!info || !info->isFolder() || info->isReparsePoint() || !isListedAs(folder.get(), name, *info)) {
      ::SetLastError(ERROR_CANT_ACCESS_FILE);
      return {};
    }
    folder = std::move(next);
  }
  return folder;
}

Located locateFinding(const std::string& path, const FindingOrigin& origin, LocatedFinding& found) {
  if (!origin.root || !origin.root->id.known() || !origin.id.known())
    return Located::Refused;
  const ScanRoot& root = *origin.root;
  if (path.size() <= root.path.size() || !path.starts_with(root.path))
    return Located::Refused;
  std::vector<std::string> way = pathNames(root.below);
  const std::vector<std::string> rest = pathNames(std::string_view(path).substr(root.path.size()));
  if (rest.empty() || rest.back() == "." || rest.back() == "..")
    return Located::Refused;
  const size_t rootDepth = way.size();
  way.insert(way.end(), rest.begin(), rest.end());

  FileHandle folder = openFolderFollowing(root.base);
  if (!folder.valid())
    return failure();
  if (rootDepth == 0) {
    const std::optional<HandleInfo> base = infoOf(folder.get());
    if (!base || base->id != root.id)
      return Located::Refused;
  }
  for (size_t i = 0; i < way.size(); ++i) {
    const bool last = i + 1 == way.size();
    const DWORD access =
        last ? (origin.id.type == kTypeFolder ? kFolderAccess : kEntryAccess) : FILE_READ_ATTRIBUTES;
    const std::wstring name = wideText(way[i]);
    FileHandle next = openChild(folder.get(), name, access);
    if (!next.valid())
      return failure();
    const std::optional<HandleInfo> info = infoOf(next.get());
    if (!info || info->id.device != root.id.device || !isListedAs(folder.get(), name, *info))
      return Located::Refused;
    if (last) {
      if (info->id != origin.id)
        return Located::Refused;
      found.entry = std::move(next);
      found.parent = std::move(folder);
      return Located::Found;
    }
    if (!info->isFolder())
      return info->isLink() ? Located::Refused : Located::Gone;
    if (i + 1 == rootDepth && info->id != root.id)
      return Located::Refused;
    folder = std::move(next);
  }
  return Located::Refused;
}

}  // namespace qinglan::platform
