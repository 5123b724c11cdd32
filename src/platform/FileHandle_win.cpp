#include "platform/FileHandle_win.h"

#include <winternl.h>

#include "platform/NativePath.h"

extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE folder, HANDLE event, PVOID apcRoutine,
                                               PVOID apcContext, PIO_STATUS_BLOCK status, PVOID buffer,
                                               ULONG length, FILE_INFORMATION_CLASS query, BOOLEAN single,
                                               PUNICODE_STRING name, BOOLEAN restart);

namespace qinglan::platform {

namespace {

constexpr DWORD kShareAllButDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr ULONG kFileOpen = 1;                // FILE_OPEN: only an existing entry
constexpr ULONG kSynchronousIo = 0x00000020;  // FILE_SYNCHRONOUS_IO_NONALERT
constexpr ULONG kBackupIntent = 0x00004000;   // FILE_OPEN_FOR_BACKUP_INTENT: folders open too
constexpr size_t kListingBufferSize = 64 * 1024;

DWORD reparseTagOf(HANDLE handle, DWORD attributes) {
  FILE_ATTRIBUTE_TAG_INFO tagInfo{};
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
      !::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tagInfo, sizeof tagInfo))
    return 0;
  return tagInfo.ReparseTag;
}

// A listing record gives a reparse point's tag in place of the extended attributes' size.
FILETIME fileTimeOf(const LARGE_INTEGER& time) {
  return {static_cast<DWORD>(time.QuadPart & 0xFFFFFFFF), static_cast<DWORD>(time.QuadPart >> 32)};
}

ChildEntry childOf(const FILE_ID_BOTH_DIR_INFO& record, std::wstring_view name) {
  const bool reparse = (record.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  return {std::wstring(name),
          record.FileAttributes,
          static_cast<uint64_t>(record.FileId.QuadPart),
          reparse ? record.EaSize : 0,
          record.EndOfFile.QuadPart,
          fileTimeOf(record.CreationTime),
          fileTimeOf(record.LastAccessTime),
          fileTimeOf(record.LastWriteTime)};
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
  info.id = {data.dwVolumeSerialNumber,
             (static_cast<uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow,
             entryTypeOf(data.dwFileAttributes, info.reparseTag)};
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

FileHandle openEntry(const std::string& path, DWORD access) {
  return FileHandle(::CreateFileW(
      widePath(path).c_str(), access | SYNCHRONIZE, kShareAllButDelete, nullptr, OPEN_EXISTING,
      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_OPEN_NO_RECALL | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

FileHandle openChild(HANDLE folder, std::wstring_view name, DWORD access) {
  UNICODE_STRING text;
  text.Buffer = const_cast<wchar_t*>(name.data());
  text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  text.MaximumLength = text.Length;
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
  IO_STATUS_BLOCK status{};
  HANDLE handle = INVALID_HANDLE_VALUE;
  const NTSTATUS result = ::NtCreateFile(
      &handle, access | SYNCHRONIZE, &attributes, &status, nullptr, 0, kShareAllButDelete, kFileOpen,
      kSynchronousIo | kBackupIntent | FILE_OPEN_NO_RECALL | FILE_OPEN_REPARSE_POINT, nullptr, 0);
  if (!NT_SUCCESS(result)) {
    ::SetLastError(::RtlNtStatusToDosError(result));
    return {};
  }
  return FileHandle(handle);
}

std::optional<std::vector<ChildEntry>> childrenOf(HANDLE folder) {
  std::vector<ChildEntry> children;
  std::vector<char> buffer(kListingBufferSize);
  FILE_INFO_BY_HANDLE_CLASS query = FileIdBothDirectoryRestartInfo;
  for (;;) {
    if (!::GetFileInformationByHandleEx(folder, query, buffer.data(), static_cast<DWORD>(buffer.size()))) {
      if (::GetLastError() == ERROR_NO_MORE_FILES)
        return children;
      return std::nullopt;
    }
    query = FileIdBothDirectoryInfo;
    for (size_t offset = 0;;) {
      const auto* record = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data() + offset);
      const std::wstring_view name(record->FileName, record->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..")
        children.push_back(childOf(*record, name));
      if (record->NextEntryOffset == 0)
        break;
      offset += record->NextEntryOffset;
    }
  }
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
  alignas(8) char buffer[sizeof(FILE_ID_BOTH_DIR_INFO) + MAX_PATH * sizeof(wchar_t) * 2];
  IO_STATUS_BLOCK status{};
  const NTSTATUS result =
      ::NtQueryDirectoryFile(listing.get(), nullptr, nullptr, nullptr, &status, buffer, sizeof buffer,
                             FileIdBothDirectoryInformation, TRUE, &pattern, TRUE);
  if (!NT_SUCCESS(result))
    return false;
  const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer);
  return matchesListing(childOf(*entry, {}), opened);
}

bool matchesListing(const ChildEntry& listed, const HandleInfo& opened) {
  const bool listedReparse = (listed.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  return listedReparse == opened.isReparsePoint() && (listed.fileId == 0 || listed.fileId == opened.id.inode);
}

bool isNotFoundError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace qinglan::platform
