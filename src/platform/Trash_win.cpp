#include "platform/Trash_win.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#include <windows.h>

// Declared only once windows.h is in.
#include <sddl.h>
#include <winternl.h>

#include "platform/FileHandle_win.h"
#include "platform/FindingLocate_win.h"
#include "platform/NativePath.h"
#include "platform/Path.h"
#include "platform/Remover.h"

namespace qinglan::platform {

namespace {

// The Recycle Bin as the shell keeps it: on every volume a folder per user, named by the user's
// SID, holding each entry as "$R" + six random characters + its extension, and beside it its
// record "$I" + the same, which tells the shell where the entry came from.
constexpr std::wstring_view kBinName = L"$Recycle.Bin";
constexpr std::wstring_view kRandomAlphabet = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr size_t kRandomLength = 6;
constexpr size_t kNameMax = 255;
constexpr int kMaxNameTries = 100;
constexpr int64_t kRecordVersion = 2;
constexpr size_t kRecordHeader = 8 + 8 + 8 + 4;
constexpr size_t kMaxRecordSize = kRecordHeader + 2 * (32768 + 1);
// A folder's size is summed while no more than this many folders wait open; beyond, it is given as
// 0, which the shell takes as unknown.
constexpr size_t kMaxPendingFolders = 4096;

constexpr DWORD kBinAccess =
    FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
constexpr DWORD kParentAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;

std::string withError(std::string what, DWORD error) {
  return what + " (system error " + std::to_string(error) + ")";
}

bool isCollision(DWORD error) {
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

TrashResult refused(std::string reason) {
  return {false, false, {}, std::move(reason)};
}

TrashResult absent() {
  return {false, true, {}, {}};
}

RestoreResult kept(std::string reason) {
  return {false, std::move(reason)};
}

std::wstring userSid() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
    return {};
  const FileHandle owned(token);
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<char> buffer(size);
  if (size == 0 || !::GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
    return {};
  wchar_t* text = nullptr;
  if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
    return {};
  std::wstring sid(text);
  ::LocalFree(text);
  return sid;
}

struct LocalFreeDeleter {
  void operator()(void* memory) const { ::LocalFree(memory); }
};
using SecurityDescriptor = std::unique_ptr<void, LocalFreeDeleter>;

// Full control for the user, the system and the administrators only, passed on to everything
// inside, as the shell gives a user's bin folder: nobody else may read what the user threw away.
SecurityDescriptor userOnlySecurity(const std::wstring& sid) {
  const std::wstring text = L"D:P(A;OICI;FA;;;" + sid + L")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1, &descriptor,
                                                              nullptr))
    return nullptr;
  return SecurityDescriptor(descriptor);
}

struct OpenFolder {
  FileHandle handle;
  HandleInfo info;
};

// The folder `name` of an open folder, made hidden and system when missing. One that is there
// already must be a real folder: a planted junction or link would lead the entries elsewhere.
std::optional<OpenFolder> openOrMakeBinFolder(HANDLE parent, std::wstring_view name, const std::string& shown,
                                              PSECURITY_DESCRIPTOR security, std::string& reason) {
  FileHandle folder = createChild(parent, name, kBinAccess, FILE_DIRECTORY_FILE,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, security);
  const bool made = folder.valid();
  if (!made && !isCollision(::GetLastError())) {
    reason = withError("the Recycle Bin folder " + shown + " cannot be made", ::GetLastError());
    return std::nullopt;
  }
  if (!made)
    folder = openChild(parent, name, kBinAccess);
  const std::optional<HandleInfo> info = folder.valid() ? infoOf(folder.get()) : std::nullopt;
  if (!info) {
    reason = withError("the Recycle Bin folder " + shown + " cannot be opened", ::GetLastError());
    return std::nullopt;
  }
  if (info->isReparsePoint() || !info->isFolder() || (!made && !isListedAs(parent, name, *info))) {
    reason = "the Recycle Bin folder " + shown + " is a link or not a folder";
    return std::nullopt;
  }
  return OpenFolder{std::move(folder), *info};
}

struct Bin {
  OpenFolder folder;  // the user's own folder in the volume's $Recycle.Bin
  std::string path;
};

// The user's bin folder on the volume holding `path` (in binRoot when given), made when missing.
std::optional<Bin> openBin(const std::string& path, const std::string& binRoot, std::string& reason) {
  const std::wstring root = binRoot.empty() ? volumeRootOf(path) : widePath(withTrailingSeparator(binRoot));
  if (root.empty()) {
    reason = withError("the volume of " + path + " cannot be told", ::GetLastError());
    return std::nullopt;
  }
  const std::string rootText = withTrailingSeparator(absolutePath(utf8Text(root)));
  if (::GetDriveTypeW(wideText(rootText).c_str()) == DRIVE_REMOTE) {
    reason = "a network share keeps no Recycle Bin";
    return std::nullopt;
  }
  const FileHandle top(::CreateFileW(root.c_str(), kParentAccess | SYNCHRONIZE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!top.valid()) {
    reason = withError("the Recycle Bin of " + rootText + " cannot be reached", ::GetLastError());
    return std::nullopt;
  }
  const std::wstring sid = userSid();
  const SecurityDescriptor security = sid.empty() ? nullptr : userOnlySecurity(sid);
  if (!security) {
    reason = withError("the user's Recycle Bin folder cannot be named", ::GetLastError());
    return std::nullopt;
  }
  const std::string binPath = rootText + utf8Text(kBinName);
  const std::optional<OpenFolder> bin = openOrMakeBinFolder(top.get(), kBinName, binPath, nullptr, reason);
  if (!bin)
    return std::nullopt;
  const std::string ownPath = binPath + kSeparator + utf8Text(sid);
  std::optional<OpenFolder> own =
      openOrMakeBinFolder(bin->handle.get(), sid, ownPath, security.get(), reason);
  if (!own)
    return std::nullopt;
  return Bin{std::move(*own), ownPath};
}

// The bytes of a folder's files, walked without following reparse points, depth first so that
// only the folders beside the way down wait open; 0 when some folder cannot be read or too many
// wait at once.
int64_t folderSize(HANDLE top) {
  int64_t total = 0;
  std::vector<FileHandle> pending;
  const auto addChildren = [&](HANDLE folder) {
    const std::optional<std::vector<ChildEntry>> children = childrenOf(folder);
    if (!children)
      return false;
    for (const ChildEntry& child : *children) {
      if (isLinkReparse(child.attributes, child.reparseTag))
        continue;
      if ((child.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        total += child.size;
        continue;
      }
      FileHandle next = openChild(folder, child.name, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES);
      const std::optional<HandleInfo> info = next.valid() ? infoOf(next.get()) : std::nullopt;
      if (!info || !matchesListing(child, *info) || pending.size() >= kMaxPendingFolders)
        return false;
      pending.push_back(std::move(next));
    }
    return true;
  };
  if (!addChildren(top))
    return 0;
  while (!pending.empty()) {
    const FileHandle folder = std::move(pending.back());
    pending.pop_back();
    if (!addChildren(folder.get()))
      return 0;
  }
  return total;
}

int64_t bornOf(const HandleInfo& info) {
  if (info.created.dwHighDateTime == 0 && info.created.dwLowDateTime == 0)
    return 0;
  const timespec born = timespecOf(info.created);
  return static_cast<int64_t>(born.tv_sec) * 1000000000 + born.tv_nsec;
}

// The record the shell reads back: version, size, deletion time, then the original path with its
// length in UTF-16 units, the terminating NUL counted.
std::string recordOf(int64_t size, const FILETIME& deleted, const std::wstring& origin) {
  std::string record;
  const auto put = [&record](const void* data, size_t bytes) {
    record.append(static_cast<const char*>(data), bytes);
  };
  const uint64_t time = (static_cast<uint64_t>(deleted.dwHighDateTime) << 32) | deleted.dwLowDateTime;
  const auto length = static_cast<int32_t>(origin.size() + 1);
  put(&kRecordVersion, sizeof kRecordVersion);
  put(&size, sizeof size);
  put(&time, sizeof time);
  put(&length, sizeof length);
  put(origin.c_str(), (origin.size() + 1) * sizeof(wchar_t));
  return record;
}

// The original path a record holds; empty when it is no record of this form.
std::wstring recordedOrigin(HANDLE record) {
  std::vector<char> bytes(kMaxRecordSize + 1);
  DWORD got = 0;
  if (!::ReadFile(record, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
      got < kRecordHeader || got > kMaxRecordSize)
    return {};
  int64_t version = 0;
  int32_t length = 0;
  std::memcpy(&version, bytes.data(), sizeof version);
  std::memcpy(&length, bytes.data() + 24, sizeof length);
  if (version != kRecordVersion || length < 1 || kRecordHeader + size_t(length) * sizeof(wchar_t) != got)
    return {};
  std::wstring origin(static_cast<size_t>(length), L'\0');
  std::memcpy(origin.data(), bytes.data() + kRecordHeader, origin.size() * sizeof(wchar_t));
  if (origin.back() != L'\0')
    return {};
  origin.pop_back();
  return origin;
}

bool writeAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// Only the program's own record goes this way, by the handle that made or checked it.
void dropRecord(HANDLE record) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  ::SetFileInformationByHandle(record, FileDispositionInfo, &disposition, sizeof disposition);
}

// Renames the open entry to `name` in the open folder `target`, never replacing an entry there.
// The native call takes the name relative to the folder as it is; the Win32 one would make it a
// path of the current folder first (Wine does).
bool renameInto(HANDLE entry, HANDLE target, std::wstring_view name) {
  // FILE_RENAME_INFO is laid out as the native call's FILE_RENAME_INFORMATION.
  std::vector<char> buffer(offsetof(FILE_RENAME_INFO, FileName) + (name.size() + 1) * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = FALSE;
  rename->RootDirectory = target;
  rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
  std::memcpy(rename->FileName, name.data(), name.size() * sizeof(wchar_t));
  IO_STATUS_BLOCK status{};
  const NTSTATUS result = ::NtSetInformationFile(entry, &status, rename, static_cast<ULONG>(buffer.size()),
                                                 static_cast<FILE_INFORMATION_CLASS>(FileRenameInformation));
  if (!NT_SUCCESS(result))
    ::SetLastError(::RtlNtStatusToDosError(result));
  return NT_SUCCESS(result);
}

std::wstring randomPart() {
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, kRandomAlphabet.size() - 1);
  std::wstring part;
  for (size_t i = 0; i < kRandomLength; ++i)
    part += kRandomAlphabet[pick(generator)];
  return part;
}

// The name's extension, its dot included; none for a name ending in a dot, which the shell could
// not name, nor for one too long to fit beside the prefix.
std::wstring extensionOf(std::wstring_view name) {
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos || dot + 1 == name.size() ||
      name.size() - dot > kNameMax - 2 - kRandomLength)
    return {};
  return std::wstring(name.substr(dot));
}

// The path of the entry `name` of the open folder, links on the way resolved, so that a restore
// reaches the folder without following any; the path as given where the system cannot tell.
std::string resolvedOrigin(HANDLE parent, const std::string& given) {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = ::GetFinalPathNameByHandleW(parent, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (length == 0 || length >= buffer.size())
    return given;
  const std::string folder = absolutePath(utf8Text(std::wstring_view(buffer.data(), length)));
  return withTrailingSeparator(folder) + splitPath(given).name;
}

// Moves the open entry, a child of the open folder `parent`, into the user's bin on its volume:
// the record is made first under a new name, which claims it, and the entry renamed beside it.
TrashResult moveOpened(HANDLE entry, HANDLE parent, const std::string& path, const std::string& binRoot) {
  const std::string origin = resolvedOrigin(parent, path);
  const std::optional<HandleInfo> info = infoOf(entry);
  const std::optional<HandleInfo> parentInfo = infoOf(parent);
  if (!info || !parentInfo)
    return refused(withError("cannot be examined", ::GetLastError()));
  std::string reason;
  std::optional<Bin> bin = openBin(origin, binRoot, reason);
  if (!bin)
    return refused(reason);
  if (bin->folder.info.id.device != info->id.device)
    return refused("the Recycle Bin " + bin->path + " is on another volume");
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  const std::wstring wideOrigin = wideText(origin);
  const std::string record = recordOf(info->isFolder() ? folderSize(entry) : info->size, now, wideOrigin);
  const std::wstring extension = extensionOf(wideText(splitPath(origin).name));
  TrashLocation location{bin->path, {}, origin, info->id, bin->folder.info.id, parentInfo->id, bornOf(*info)};
  const HANDLE binFolder = bin->folder.handle.get();
  for (int tries = 0; tries < kMaxNameTries; ++tries) {
    const std::wstring part = randomPart() + extension;
    const FileHandle recordFile =
        createChild(binFolder, L"$I" + part, GENERIC_WRITE | DELETE, FILE_NON_DIRECTORY_FILE,
                    FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ);
    if (!recordFile.valid()) {
      if (isCollision(::GetLastError()))
        continue;
      return refused(withError("the record cannot be made in " + bin->path, ::GetLastError()));
    }
    const bool written = writeAll(recordFile.get(), record);
    if (written && renameInto(entry, binFolder, L"$R" + part)) {
      location.name = utf8Text(L"$R" + part);
      return {true, false, std::move(location), {}};
    }
    const DWORD error = written ? ::GetLastError() : ERROR_WRITE_FAULT;
    // The claim is ours alone: it goes, and the entry stays where it was.
    dropRecord(recordFile.get());
    if (isCollision(error))
      continue;
    return refused(withError("the move into " + bin->path + " was refused", error));
  }
  return refused("no free name in " + bin->path);
}

bool isPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of(kSeparators) == std::string::npos;
}

}  // namespace

TrashResult WinTrash::moveToTrash(const std::string& path) {
  const std::string full = absolutePath(path);
  const PathParts parts = splitPath(full);
  if (parts.parent.empty() || !isPlainName(parts.name))
    return refused("not an entry that can be trashed");
  const FileHandle parent = openFolderNoFollow(parts.parent, kParentAccess);
  if (!parent.valid()) {
    if (isNotFoundError(::GetLastError()))
      return absent();
    return refused(withError("its folder cannot be opened without following a link", ::GetLastError()));
  }
  const std::wstring name = wideText(parts.name);
  // A folder is listed through the handle for its size; a file may be held open for writing.
  FileHandle entry = openChild(parent.get(), name, kFolderAccess);
  if (!entry.valid())
    entry = openChild(parent.get(), name, kEntryAccess);
  if (!entry.valid()) {
    if (isNotFoundError(::GetLastError()))
      return absent();
    return refused(withError("cannot be opened", ::GetLastError()));
  }
  const std::optional<HandleInfo> info = infoOf(entry.get());
  if (!info || !isListedAs(parent.get(), name, *info))
    return refused("no longer the entry that was listed");
  return moveOpened(entry.get(), parent.get(), full, m_binRoot);
}

TrashResult WinTrash::moveFinding(const std::string& path, const FindingOrigin& origin) {
  LocatedFinding found;
  switch (locateFinding(path, origin, found)) {
    case Located::Gone:
      return absent();
    case Located::Refused:
      return refused("no longer the entry that was listed, or out of its scan's reach");
    case Located::Found:
      break;
  }
  return moveOpened(found.entry.get(), found.parent.get(), absolutePath(path), m_binRoot);
}

namespace {

// A Recycle Bin entry found again, with its record: opened in the user's bin folder only while
// that folder is the one recorded, and only while both are still the ones the pass made.
struct FoundTrashed {
  FileHandle bin;
  FileHandle entry;
  FileHandle record;
  std::wstring recordName;
  std::optional<HandleInfo> recordInfo;
  bool gone = false;
  std::string reason;  // why it is not the entry recorded
};

FoundTrashed findTrashed(const TrashLocation& location) {
  FoundTrashed found;
  const PathParts target = splitPath(location.origin);
  if (target.parent.empty() || !isPlainName(target.name) || !isPlainName(location.name) ||
      !location.name.starts_with("$R")) {
    found.reason = "not a trashed entry";
    return found;
  }
  // Without the identities nothing tells the entry this pass moved from one put there later.
  if (!location.entry.known() || !location.trashFolder.known() || !location.originFolder.known()) {
    found.reason = "its identity was not recorded when it was trashed; left in the trash";
    return found;
  }
  found.bin = openFolderNoFollow(location.folder, kBinAccess);
  const std::optional<HandleInfo> binInfo = found.bin.valid() ? infoOf(found.bin.get()) : std::nullopt;
  if (!binInfo || binInfo->id != location.trashFolder) {
    found.reason = "its Recycle Bin folder is no longer the one it was moved into";
    return found;
  }
  const std::wstring name = wideText(location.name);
  found.entry = openChild(found.bin.get(), name, DELETE | FILE_READ_ATTRIBUTES);
  if (!found.entry.valid()) {
    found.gone = isNotFoundError(::GetLastError());
    if (!found.gone)
      found.reason = withError("cannot be opened in the Recycle Bin", ::GetLastError());
    return found;
  }
  // Another entry may have taken the name since: only the one this pass moved is this entry.
  const std::optional<HandleInfo> info = infoOf(found.entry.get());
  found.recordName = L"$I" + name.substr(2);
  found.record = openChild(found.bin.get(), found.recordName, FILE_READ_DATA | FILE_READ_ATTRIBUTES | DELETE);
  found.recordInfo = found.record.valid() ? infoOf(found.record.get()) : std::nullopt;
  if (!info || info->id != location.entry || !isListedAs(found.bin.get(), name, *info) ||
      (location.entryBorn != 0 && bornOf(*info) != location.entryBorn) || !found.recordInfo ||
      found.recordInfo->isFolder() || found.recordInfo->isReparsePoint() ||
      !isListedAs(found.bin.get(), found.recordName, *found.recordInfo) ||
      recordedOrigin(found.record.get()) != wideText(location.origin))
    found.reason = "the Recycle Bin entry of that name is another one now";
  return found;
}

// Deletes the entry `name` of the user's bin folder through the remover, only while it is `id`.
bool removeFromBin(const TrashLocation& location, const std::string& name, const EntryId& id) {
  const std::string rootPath = withTrailingSeparator(location.folder);
  const std::string path = rootPath + name;
  auto root = std::make_shared<const ScanRoot>(ScanRoot{location.folder, {}, rootPath, location.trashFolder});
  return Remover::system().removeFinding(path, FindingOrigin{std::move(root), id});
}

}  // namespace

RestoreResult WinTrash::restore(const TrashLocation& location) {
  const FoundTrashed found = findTrashed(location);
  if (found.gone)
    return kept("no longer in the Recycle Bin");
  if (!found.reason.empty())
    return kept(found.reason);
  const PathParts target = splitPath(location.origin);
  const FileHandle parent = openFolderNoFollow(target.parent, kParentAccess);
  if (!parent.valid())
    return kept(withError("its folder cannot be opened without following a link", ::GetLastError()));
  const std::optional<HandleInfo> parentInfo = infoOf(parent.get());
  if (!parentInfo || parentInfo->id != location.originFolder)
    return kept("its folder is no longer the one it was trashed from");
  if (!renameInto(found.entry.get(), parent.get(), wideText(target.name))) {
    if (isCollision(::GetLastError()))
      return kept("an entry of that name exists; left in the trash");
    return kept(withError("the move back was refused", ::GetLastError()));
  }
  dropRecord(found.record.get());
  return {true, {}};
}

PurgeResult WinTrash::purge(const TrashLocation& location) {
  FoundTrashed found = findTrashed(location);
  if (found.gone)
    return {false, true, {}};
  if (!found.reason.empty())
    return {false, false, found.reason};
  const EntryId recordId = found.recordInfo->id;
  const std::string recordName = utf8Text(found.recordName);
  // The remover opens both again by their identities; these handles would stand in its way.
  found.entry.reset();
  found.record.reset();
  if (!removeFromBin(location, location.name, location.entry))
    return {false, false, "it could not be deleted whole; what stays is still in the Recycle Bin"};
  // The record goes once its entry has, so a part left behind still shows in the Recycle Bin.
  if (!removeFromBin(location, recordName, recordId))
    return {false, false, "deleted, but its record " + recordName + " stays"};
  return {true, false, {}};
}

Trash& Trash::system() {
  static WinTrash trash;
  return trash;
}

}  // namespace qinglan::platform
