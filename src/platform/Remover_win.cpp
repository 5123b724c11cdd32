#include "platform/Remover.h"

#include <cstring>

#include <windows.h>
#include <winioctl.h>

#include "platform/FileHandle_win.h"
#include "platform/FindingLocate_win.h"
#include "platform/NativePath.h"
#include "platform/Path.h"

namespace qinglan::platform {

namespace {

// The extended disposition, spelled out because the headers offer it only to programs that
// require the newest systems.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x01;
constexpr DWORD kDispositionPosixSemantics = 0x02;
constexpr DWORD kDispositionIgnoreReadOnly = 0x10;
struct DispositionInfoEx {
  DWORD flags;
};

enum class Marked { Yes, No, Unsupported };

// Takes the name away as soon as this handle closes, even while another program (an indexer, a
// virus scanner) holds the entry open sharing deletion, and deletes a read-only entry as it is.
Marked markPosixDeleted(HANDLE handle) {
  DispositionInfoEx disposition{kDispositionDelete | kDispositionPosixSemantics | kDispositionIgnoreReadOnly};
  if (::SetFileInformationByHandle(handle, kFileDispositionInfoEx, &disposition, sizeof disposition))
    return Marked::Yes;
  switch (::GetLastError()) {
    // Systems before it and file systems without it refuse the request or a flag of it; one that
    // knows no ignoring of the read-only mark refuses such an entry.
    case ERROR_INVALID_PARAMETER:
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
    case ERROR_CALL_NOT_IMPLEMENTED:
    case ERROR_INVALID_LEVEL:
    case ERROR_ACCESS_DENIED:
      return Marked::Unsupported;
    default:
      return Marked::No;
  }
}

// The classic disposition: the entry goes when its last handle closes, whoever holds it. A
// read-only mark is cleared first, as the shell's deletion does, and put back when the deletion
// is refused.
bool markDeletedOnClose(HANDLE handle, DWORD attributes) {
  const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  FILE_BASIC_INFO basic{};
  if (readOnly) {
    basic.FileAttributes = attributes & ~FILE_ATTRIBUTE_READONLY;
    if (basic.FileAttributes == 0)
      basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic))
      return false;
  }
  FILE_DISPOSITION_INFO disposition{TRUE};
  if (::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition))
    return true;
  if (readOnly) {
    basic.FileAttributes = attributes;
    ::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
  }
  return false;
}

// Marks the open entry for deletion. The handle was opened without following a reparse point, so
// a link goes itself and never what it leads to.
bool deleteOpened(HANDLE handle, DWORD attributes) {
  switch (markPosixDeleted(handle)) {
    case Marked::Yes:
      return true;
    case Marked::No:
      return false;
    case Marked::Unsupported:
      break;
  }
  return markDeletedOnClose(handle, attributes);
}

// True for a volume mounted on a folder, told from a junction by its target, a volume's name.
bool isVolumeMountPoint(HANDLE handle) {
  alignas(8) char buffer[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
  DWORD size = 0;
  if (!::DeviceIoControl(handle, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer, sizeof buffer, &size, nullptr))
    return false;
  // The mount point layout: tag, length, reserved, then the substitute name's offset and length.
  DWORD tag = 0;
  WORD offset = 0;
  WORD length = 0;
  std::memcpy(&tag, buffer, sizeof tag);
  std::memcpy(&offset, buffer + 8, sizeof offset);
  std::memcpy(&length, buffer + 10, sizeof length);
  constexpr size_t kNamesStart = 16;
  if (tag != IO_REPARSE_TAG_MOUNT_POINT || kNamesStart + offset + length > size)
    return false;
  std::wstring target(length / sizeof(wchar_t), L'\0');
  std::memcpy(target.data(), buffer + kNamesStart + offset, length);
  return target.starts_with(L"\\??\\Volume{");
}

// A tree is removed bottom-up from a list of the folders on the way down, each opened relative
// to the one above it and known by its name there and its identity. The deepest kHeldLevels are
// held open, and every kHeldLevels-th above them, so a tree of any depth takes no call stack for
// its depth and a few handles; a folder let go is opened again from the held one above it on the way back up,
// and must still be the folder it was, or the removal stops there. Nothing on another volume is touched: a
// junction or link is removed as the link it is, a volume mount point and a folder whose volume differs are
// left.
constexpr size_t kHeldLevels = 64;

class TreeRemover {
 public:
  explicit TreeRemover(uint32_t volume) : m_volume(volume) {}

  // Removes the open entry, with everything inside when it is a real folder.
  bool removeOpened(HANDLE handle, const HandleInfo& info) {
    if (!isOnThisVolume(handle, info))
      return false;
    if (!info.isFolder())
      return deleteOpened(handle, info.attributes);
    return removeFolder(handle, info);
  }

 private:
  struct Level {
    std::wstring name;  // in the folder above
    HandleInfo info;
    FileHandle handle;                 // invalid while let go; the top folder's is the caller's
    std::vector<ChildEntry> children;  // still to remove
    bool complete = true;              // false once something inside it stays
  };

  // A volume mounted here stays mounted, with everything on it, as on every other system.
  bool isOnThisVolume(HANDLE handle, const HandleInfo& info) const {
    return info.id.device == m_volume && !(info.isReparsePoint() && isVolumeMountPoint(handle));
  }

  HANDLE handleAt(size_t depth) const { return depth == 0 ? m_top : m_levels[depth].handle.get(); }

  // A failure part way goes on with the rest and makes the result false.
  bool removeFolder(HANDLE top, const HandleInfo& info) {
    m_top = top;
    enter({}, info, FileHandle());
    for (;;) {
      Level& deepest = m_levels.back();
      if (!deepest.children.empty()) {
        const ChildEntry child = std::move(deepest.children.back());
        deepest.children.pop_back();
        removeChild(child);
        continue;
      }
      const bool removed =
          deleteOpened(handleAt(m_levels.size() - 1), deepest.info.attributes) && deepest.complete;
      if (m_levels.size() == 1)
        return removed;
      // Closing the handle lets the emptied folder go before the one above is removed.
      m_levels.pop_back();
      m_levels.back().complete = m_levels.back().complete && removed;
      if (!reopenDeepest())
        return false;
    }
  }

  void removeChild(const ChildEntry& child) {
    Level& parent = m_levels.back();
    // A cloud placeholder or compressed folder is a folder like any other; only a link goes itself.
    const bool folderLike = (child.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                            !isLinkReparse(child.attributes, child.reparseTag);
    FileHandle handle =
        openChild(handleAt(m_levels.size() - 1), child.name, folderLike ? kFolderAccess : kEntryAccess);
    if (!handle.valid()) {
      parent.complete = parent.complete && isNotFoundError(::GetLastError());
      return;
    }
    const std::optional<HandleInfo> info = infoOf(handle.get());
    // Not the entry listed: swapped meanwhile, or a link the system followed all the same.
    if (!info || !matchesListing(child, *info) || (info->isFolder() && !folderLike) ||
        !isOnThisVolume(handle.get(), *info)) {
      parent.complete = false;
      return;
    }
    if (info->isFolder())
      enter(child.name, *info, std::move(handle));
    else if (!deleteOpened(handle.get(), info->attributes))
      parent.complete = false;
  }

  // Goes down into an open folder, and lets go of the one that falls out of the held levels.
  void enter(const std::wstring& name, const HandleInfo& info, FileHandle handle) {
    m_levels.push_back({name, info, std::move(handle), {}, true});
    Level& level = m_levels.back();
    std::optional<std::vector<ChildEntry>> children = childrenOf(handleAt(m_levels.size() - 1));
    if (children)
      level.children = std::move(*children);
    else
      level.complete = false;
    if (m_levels.size() > kHeldLevels) {
      const size_t above = m_levels.size() - 1 - kHeldLevels;
      if (above % kHeldLevels != 0)
        m_levels[above].handle.reset();
    }
  }

  // Opens again, from the nearest held folder above, the folders between it and the deepest one.
  bool reopenDeepest() {
    size_t held = m_levels.size() - 1;
    while (held > 0 && !m_levels[held].handle.valid())
      --held;
    for (size_t depth = held + 1; depth < m_levels.size(); ++depth) {
      Level& level = m_levels[depth];
      FileHandle handle = openChild(handleAt(depth - 1), level.name, kFolderAccess);
      const std::optional<HandleInfo> info = handle.valid() ? infoOf(handle.get()) : std::nullopt;
      if (!info || info->id != level.info.id)
        return false;
      level.handle = std::move(handle);
    }
    return true;
  }

  uint32_t m_volume;
  HANDLE m_top = INVALID_HANDLE_VALUE;
  std::vector<Level> m_levels;
};

class WinRemover final : public Remover {
 public:
  bool remove(const std::string& path) override {
    const PathParts parts = splitPath(path);
    if (parts.name.empty() || parts.name == "." || parts.name == "..")
      return false;
    const FileHandle parent = openFolderFollowing(parts.parent.empty() ? "." : parts.parent);
    if (!parent.valid())
      return false;
    const std::wstring name = wideText(parts.name);
    // A file held open by another program for writing may still be deleted, but not read.
    FileHandle handle = openChild(parent.get(), name, kFolderAccess);
    if (!handle.valid())
      handle = openChild(parent.get(), name, kEntryAccess);
    if (!handle.valid())
      return false;
    const std::optional<HandleInfo> info = infoOf(handle.get());
    return info && isListedAs(parent.get(), name, *info) &&
           TreeRemover(static_cast<uint32_t>(info->id.device)).removeOpened(handle.get(), *info);
  }

  bool removeFinding(const std::string& path, const FindingOrigin& origin) override {
    LocatedFinding found;
    switch (locateFinding(path, origin, found)) {
      case Located::Gone:
        return true;
      case Located::Refused:
        return false;
      case Located::Found:
        break;
    }
    const std::optional<HandleInfo> info = infoOf(found.entry.get());
    return info && TreeRemover(static_cast<uint32_t>(info->id.device)).removeOpened(found.entry.get(), *info);
  }
};

}  // namespace

Remover& Remover::system() {
  static WinRemover remover;
  return remover;
}

}  // namespace qinglan::platform
