#include "platform/FileHandle_win.h"

#include <winternl.h>

#include <atomic>
#include <cstring>
#include <tuple>

#include "platform/NativePath.h"

extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE folder, HANDLE event, PVOID apcRoutine,
                                               PVOID apcContext, PIO_STATUS_BLOCK status, PVOID buffer,
                                               ULONG length, FILE_INFORMATION_CLASS query, BOOLEAN single,
                                               PUNICODE_STRING name, BOOLEAN restart);

namespace qinglan::platform {

namespace {

constexpr DWORD kShareAllButDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr ULONG kFileOpen = 1;                // FILE_OPEN: only an existing entry
constexpr ULONG kFileCreate = 2;              // FILE_CREATE: only a new entry
constexpr ULONG kSynchronousIo = 0x00000020;  // FILE_SYNCHRONOUS_IO_NONALERT
constexpr ULONG kBackupIntent = 0x00004000;   // FILE_OPEN_FOR_BACKUP_INTENT: folders open too
constexpr size_t kListingBufferSize = 64 * 1024;
constexpr auto kIdExtdDirectoryInformation = static_cast<FILE_INFORMATION_CLASS>(60);
constexpr NTSTATUS kInvalidInfoClass = static_cast<NTSTATUS>(0xC0000003);
constexpr NTSTATUS kInvalidParameter = static_cast<NTSTATUS>(0xC000000D);
constexpr NTSTATUS kNotSupported = static_cast<NTSTATUS>(0xC00000BB);

std::atomic<uint64_t> g_opens{0};

DWORD reparseTagOf(HANDLE handle, DWORD attributes) {
  FILE_ATTRIBUTE_TAG_INFO tagInfo{};
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
      !::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tagInfo, sizeof tagInfo))
    return 0;
  return tagInfo.ReparseTag;
}

FILETIME fileTimeOf(const LARGE_INTEGER& time) {
  return {static_cast<DWORD>(time.QuadPart & 0xFFFFFFFF), static_cast<DWORD>(time.QuadPart >> 32)};
}

// The low and high halves of a 128-bit id, as the system lays them out.
std::pair<uint64_t, uint64_t> halvesOf(const FILE_ID_128& id) {
  uint64_t low = 0;
  uint64_t high = 0;
  std::memcpy(&low, id.Identifier, sizeof low);
  std::memcpy(&high, id.Identifier + sizeof low, sizeof high);
  return {low, high};
}

void takeId(const FILE_ID_EXTD_DIR_INFO& record, ChildEntry& child) {
  std::tie(child.fileId, child.fileIdHigh) = halvesOf(record.FileId);
  child.wholeId = true;
}

// ReFS puts FILE_INVALID_FILE_ID in the 64-bit field of an entry whose id needs more: no number.
void takeId(const FILE_ID_BOTH_DIR_INFO& record, ChildEntry& child) {
  const auto id = static_cast<uint64_t>(record.FileId.QuadPart);
  child.fileId = id == ~uint64_t{0} ? 0 : id;
}

DWORD reparseTagOf(const FILE_ID_EXTD_DIR_INFO& record) {
  return record.ReparsePointTag;
}

// This record gives a reparse point's tag in place of the extended attributes' size.
DWORD reparseTagOf(const FILE_ID_BOTH_DIR_INFO& record) {
  return record.EaSize;
}

template <class Record>
ChildEntry childOf(const Record& record, std::wstring_view name) {
  const bool reparse = (record.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  ChildEntry child{std::wstring(name),
                   record.FileAttributes,
                   0,
                   0,
                   false,
                   reparse ? reparseTagOf(record) : 0,
                   record.EndOfFile.QuadPart,
                   fileTimeOf(record.CreationTime),
                   fileTimeOf(record.LastAccessTime),
                   fileTimeOf(record.LastWriteTime)};
  takeId(record, child);
  return child;
}

// Lists the folder in records of one kind; false when it cannot be listed so.
template <class Record>
bool readListing(HANDLE folder, FILE_INFO_BY_HANDLE_CLASS restart, FILE_INFO_BY_HANDLE_CLASS more,
                 std::vector<ChildEntry>& children) {
  std::vector<char> buffer(kListingBufferSize);
  for (FILE_INFO_BY_HANDLE_CLASS query = restart;; query = more) {
    if (!::GetFileInformationByHandleEx(folder, query, buffer.data(), static_cast<DWORD>(buffer.size())))
      return ::GetLastError() == ERROR_NO_MORE_FILES;
    for (size_t offset = 0;;) {
      const auto* record = reinterpret_cast<const Record*>(buffer.data() + offset);
      const std::wstring_view name(record->FileName, record->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..")
        children.push_back(childOf(*record, name));
      if (record->NextEntryOffset == 0)
        break;
      offset += record->NextEntryOffset;
    }
  }
}

// True when the system or file system knows no such kind of listing, and so read nothing.
bool isUnknownListing(NTSTATUS result) {
  return result == kInvalidInfoClass || result == kInvalidParameter || result == kNotSupported;
}

}  // namespace

bool isLinkReparse(DWORD attributes, DWORD tag) {
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
    return false;
  return tag == 0 || IsReparseTagNameSurrogate(tag);
}

DWORD linkAttributes(DWORD attributes, DWORD tag) {
  return isLinkReparse(attributes, tag) ? attributes : attributes & ~DWORD{FILE_ATTRIBUTE_REPARSE_POINT};
}

uint32_t entryTypeOf(DWORD attributes, DWORD tag) {
  if (isLinkReparse(attributes, tag))
    return kTypeLink;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? kTypeFolder : kTypeFile;
}

std::optional<HandleInfo> infoOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION data{};
  if (!::GetFileInformationByHandle(handle, &data))
    return std::nullopt;
  HandleInfo info;
  info.attributes = data.dwFileAttributes;
  info.reparseTag = reparseTagOf(handle, data.dwFileAttributes);
  info.fileIndex = (static_cast<uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
  info.id = {data.dwVolumeSerialNumber, info.fileIndex, entryTypeOf(data.dwFileAttributes, info.reparseTag)};
  // The 128-bit id where the system tells one (on NTFS it is the index); the device stays the
  // 32-bit serial number, as everywhere else ids are made.
  FILE_ID_INFO wide{};
  if (::GetFileInformationByHandleEx(handle, FileIdInfo, &wide, sizeof wide)) {
    const auto [low, high] = halvesOf(wide.FileId);
    if (low != 0 || high != 0)
      std::tie(info.id.inode, info.id.inodeHigh) = std::pair(low, high);
  }
  info.size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  info.created = data.ftCreationTime;
  info.accessed = data.ftLastAccessTime;
  info.written = data.ftLastWriteTime;
  return info;
}

timespec timespecOf(const FILETIME& time) {
  constexpr int64_t kUnixEpoch = 116444736000000000LL;
  const int64_t ticks =
      static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) -
      kUnixEpoch;
  int64_t seconds = ticks / 10000000;
  int64_t rest = ticks % 10000000;
  if (rest < 0) {
    rest += 10000000;
    --seconds;
  }
  return timespec{static_cast<time_t>(seconds), static_cast<long>(rest * 100)};
}

uint64_t openCount() {
  return g_opens.load(std::memory_order_relaxed);
}

FileHandle openEntry(const std::string& path, DWORD access) {
  g_opens.fetch_add(1, std::memory_order_relaxed);
  return FileHandle(::CreateFileW(
      widePath(path).c_str(), access | SYNCHRONIZE, kShareAllButDelete, nullptr, OPEN_EXISTING,
      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_OPEN_NO_RECALL | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

namespace {

// NtCreateFile on a name relative to an open folder, the last error set from its status on failure.
FileHandle createRelative(HANDLE folder, std::wstring_view name, DWORD access, DWORD attributes, DWORD share,
                          ULONG disposition, ULONG options, PSECURITY_DESCRIPTOR security) {
  UNICODE_STRING text;
  text.Buffer = const_cast<wchar_t*>(name.data());
  text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  text.MaximumLength = text.Length;
  OBJECT_ATTRIBUTES object;
  InitializeObjectAttributes(&object, &text, OBJ_CASE_INSENSITIVE, folder, security);
  IO_STATUS_BLOCK status{};
  HANDLE handle = INVALID_HANDLE_VALUE;
  const NTSTATUS result = ::NtCreateFile(&handle, access | SYNCHRONIZE, &object, &status, nullptr, attributes,
                                         share, disposition, options | kSynchronousIo, nullptr, 0);
  if (!NT_SUCCESS(result)) {
    ::SetLastError(::RtlNtStatusToDosError(result));
    return {};
  }
  return FileHandle(handle);
}

}  // namespace

FileHandle openChild(HANDLE folder, std::wstring_view name, DWORD access) {
  g_opens.fetch_add(1, std::memory_order_relaxed);
  return createRelative(folder, name, access, 0, kShareAllButDelete, kFileOpen,
                        kBackupIntent | FILE_OPEN_NO_RECALL | FILE_OPEN_REPARSE_POINT, nullptr);
}

FileHandle createChild(HANDLE folder, std::wstring_view name, DWORD access, ULONG options, DWORD attributes,
                       DWORD share, PSECURITY_DESCRIPTOR security) {
  return createRelative(folder, name, access, attributes, share, kFileCreate, options, security);
}

std::optional<std::vector<ChildEntry>> childrenOf(HANDLE folder) {
  std::vector<ChildEntry> children;
  if (readListing<FILE_ID_EXTD_DIR_INFO>(folder, FileIdExtdDirectoryRestartInfo, FileIdExtdDirectoryInfo,
                                         children))
    return children;
  children.clear();
  if (readListing<FILE_ID_BOTH_DIR_INFO>(folder, FileIdBothDirectoryRestartInfo, FileIdBothDirectoryInfo,
                                         children))
    return children;
  return std::nullopt;
}

bool isListedAs(HANDLE folder, std::wstring_view name, const HandleInfo& opened) {
  UNICODE_STRING pattern;
  pattern.Buffer = const_cast<wchar_t*>(name.data());
  pattern.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  pattern.MaximumLength = pattern.Length;
  // A handle answers a name query once only, so the folder is asked through a handle of its own.
  const FileHandle listing = openChild(folder, L"", FILE_LIST_DIRECTORY);
  if (!listing.valid())
    return false;
  alignas(8) char buffer[sizeof(FILE_ID_EXTD_DIR_INFO) + MAX_PATH * sizeof(wchar_t) * 2];
  const auto query = [&](FILE_INFORMATION_CLASS kind) {
    IO_STATUS_BLOCK status{};
    return ::NtQueryDirectoryFile(listing.get(), nullptr, nullptr, nullptr, &status, buffer, sizeof buffer,
                                  kind, TRUE, &pattern, TRUE);
  };
  const NTSTATUS result = query(kIdExtdDirectoryInformation);
  if (NT_SUCCESS(result))
    return matchesListing(childOf(*reinterpret_cast<const FILE_ID_EXTD_DIR_INFO*>(buffer), {}), opened);
  if (!isUnknownListing(result) || !NT_SUCCESS(query(FileIdBothDirectoryInformation)))
    return false;
  return matchesListing(childOf(*reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer), {}), opened);
}

bool matchesListing(const ChildEntry& listed, const HandleInfo& opened) {
  const bool listedReparse = (listed.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if (listedReparse != opened.isReparsePoint())
    return false;
  if (listed.fileId == 0 && listed.fileIdHigh == 0)
    return true;
  if (listed.wholeId)
    return listed.fileId == opened.id.inode && listed.fileIdHigh == opened.id.inodeHigh;
  return listed.fileId == opened.fileIndex;
}

bool isNotFoundError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace qinglan::platform
