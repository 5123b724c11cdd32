#include "platform/FileHandle_win.h"

#include <winternl.h>

#include "platform/NativePath.h"

namespace qinglan::platform {

namespace {

constexpr DWORD kShareAllButDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr ULONG kFileOpen = 1;                // FILE_OPEN: only an existing entry
constexpr ULONG kSynchronousIo = 0x00000020;  // FILE_SYNCHRONOUS_IO_NONALERT
constexpr ULONG kBackupIntent = 0x00004000;   // FILE_OPEN_FOR_BACKUP_INTENT: folders open too
constexpr size_t kListingBufferSize = 64 * 1024;

}  // namespace

uint32_t entryTypeOf(DWORD attributes) {
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return kTypeLink;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? kTypeFolder : kTypeFile;
}

std::optional<HandleInfo> infoOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION data{};
  if (!::GetFileInformationByHandle(handle, &data))
    return std::nullopt;
  HandleInfo info;
  info.attributes = data.dwFileAttributes;
  info.id = {data.dwVolumeSerialNumber,
             (static_cast<uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow,
             entryTypeOf(data.dwFileAttributes)};
  info.size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  info.created = data.ftCreationTime;
  info.accessed = data.ftLastAccessTime;
  info.written = data.ftLastWriteTime;
  return info;
}

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
  return FileHandle(::CreateFileW(widePath(path).c_str(), access | SYNCHRONIZE, kShareAllButDelete, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                  nullptr));
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
  const NTSTATUS result =
      ::NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &status, nullptr, 0, kShareAllButDelete,
                     kFileOpen, kSynchronousIo | kBackupIntent | FILE_OPEN_REPARSE_POINT, nullptr, 0);
  if (!NT_SUCCESS(result)) {
    ::SetLastError(::RtlNtStatusToDosError(result));
    return {};
  }
  return FileHandle(handle);
}

std::optional<std::vector<ChildEntry>> childrenOf(HANDLE folder) {
  std::vector<ChildEntry> children;
  std::vector<char> buffer(kListingBufferSize);
  FILE_INFO_BY_HANDLE_CLASS query = FileFullDirectoryRestartInfo;
  for (;;) {
    if (!::GetFileInformationByHandleEx(folder, query, buffer.data(), static_cast<DWORD>(buffer.size()))) {
      if (::GetLastError() == ERROR_NO_MORE_FILES)
        return children;
      return std::nullopt;
    }
    query = FileFullDirectoryInfo;
    for (size_t offset = 0;;) {
      const auto* record = reinterpret_cast<const FILE_FULL_DIR_INFO*>(buffer.data() + offset);
      const std::wstring_view name(record->FileName, record->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..")
        children.push_back({std::wstring(name), record->FileAttributes});
      if (record->NextEntryOffset == 0)
        break;
      offset += record->NextEntryOffset;
    }
  }
}

bool isNotFoundError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace qinglan::platform
