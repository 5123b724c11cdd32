#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <windows.h>

#include "platform/NativePath.h"
#include "platform/ScanRoot.h"

namespace qinglan::platform {

// An open file or folder, closed with this object.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(HANDLE handle) : m_handle(handle) {}
  ~FileHandle() { reset(); }
  FileHandle(FileHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    if (this != &other) {
      reset();
      m_handle = std::exchange(other.m_handle, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return m_handle; }
  void reset() {
    if (valid())
      ::CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE m_handle = INVALID_HANDLE_VALUE;
};

// The type marks of an EntryId, numbered as the POSIX file types so that ids read alike.
inline constexpr uint32_t kTypeFolder = 0040000;
inline constexpr uint32_t kTypeFile = 0100000;
inline constexpr uint32_t kTypeLink = 0120000;

// True when a reparse point with the given tag is a link: only a name surrogate (a junction, a
// symbolic link) leads to another entry. Any other tag marks a file or folder that is itself, its
// content kept elsewhere (a cloud placeholder, a compressed or deduplicated file). A reparse point
// whose tag the system did not tell is taken for a link, the safe reading for a walk.
bool isLinkReparse(DWORD attributes, DWORD tag);

// The attributes as the rest of the program reads them, where the reparse bit marks a link: it is
// cleared for a reparse point that is no link.
DWORD linkAttributes(DWORD attributes, DWORD tag);

// What the system tells of an open entry.
struct HandleInfo {
  EntryId id;              // the volume serial number, the 128-bit id (or the file index) and the type
  uint64_t fileIndex = 0;  // the 64-bit index, as a listing of 64-bit ids numbers the entry
  DWORD attributes = 0;
  DWORD reparseTag = 0;  // 0 when no reparse point, or the tag could not be read
  int64_t size = 0;
  FILETIME created{};
  FILETIME accessed{};
  FILETIME written{};

  bool isReparsePoint() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
  bool isLink() const { return isLinkReparse(attributes, reparseTag); }
  bool isFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !isLink(); }
};

std::optional<HandleInfo> infoOf(HANDLE handle);

uint32_t entryTypeOf(DWORD attributes, DWORD tag);

// An instant of the file system's clock as the rest of the program counts time.
timespec timespecOf(const FILETIME& time);

// Opens the entry at the path itself, never what a reparse point there leads to, and never
// recalling a cloud placeholder's content from its provider. Sharing leaves out deletion, so
// nobody renames or replaces the entry while it is held. Invalid, with the last error set, when
// that fails.
FileHandle openEntry(const std::string& path, DWORD access);

// Opens the entry `name` of an open folder relative to that folder, as openEntry does: the way to
// it is the folder held, never a path text that could be swapped meanwhile. An empty name opens the
// folder itself anew.
FileHandle openChild(HANDLE folder, std::wstring_view name, DWORD access);

// Makes the entry `name` in an open folder, relative to it, with the native create options given;
// a name taken sets ERROR_ALREADY_EXISTS.
FileHandle createChild(HANDLE folder, std::wstring_view name, DWORD access, ULONG options, DWORD attributes,
                       DWORD share, PSECURITY_DESCRIPTOR security = nullptr);

// Every entry opened by openEntry and openChild so far: tests count what a walk opens.
uint64_t openCount();

// The names and attributes of an open folder's entries, "." and ".." left out; empty when the
// folder cannot be read. The entries' ids are the 128-bit ids (FileIdExtdDirectoryInfo) where the
// system lists them, as infoOf reads them, so that a walk records the id a later open finds
// without opening the entry. A system that lists only 64-bit ids (before Windows 8, Wine) has no
// file system with wider ones and gives the index, the upper half taken as 0.
struct ChildEntry {
  std::wstring name;
  DWORD attributes = 0;
  uint64_t fileId = 0;      // 0 where the file system numbers no entries
  uint64_t fileIdHigh = 0;  // the upper half of a 128-bit id, where wholeId
  bool wholeId = false;     // the listing told the 128-bit id, not the 64-bit index
  DWORD reparseTag = 0;     // as HandleInfo's
  int64_t size = 0;
  FILETIME created{};
  FILETIME accessed{};
  FILETIME written{};
};
std::optional<std::vector<ChildEntry>> childrenOf(HANDLE folder);

// What the open folder's own listing says of its entry `name`, asked after the entry was opened
// relative to it: true when the listing holds the very entry opened, a reparse point exactly when
// the handle is one. Systems that follow some links even when asked not to (Wine follows its
// host's symbolic links) are caught here, and the entry they led to is never taken for the link.
bool isListedAs(HANDLE folder, std::wstring_view name, const HandleInfo& opened);
bool matchesListing(const ChildEntry& listed, const HandleInfo& opened);

// True when the error says nothing stands at the path (or at a folder on the way).
bool isNotFoundError(DWORD error);

}  // namespace qinglan::platform
