#include "platform/OwnFolder.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "platform/FileHandle_win.h"
#include "platform/IniFileIo.h"
#include "platform/NativePath.h"
#include "platform/Path.h"

// Windows keeps no owner or permission bits that a folder check could read as POSIX does: a folder
// here is refused when it is a reparse point (a link or junction) or no folder, and held open
// without delete sharing, so it cannot be renamed or replaced while the program writes in it.

namespace qinglan::platform {

namespace {

HANDLE folderHandle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

bool isMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The entry at the path itself, a reparse point not followed.
HANDLE openEntry(const std::string& path, DWORD access, DWORD disposition) {
  return ::CreateFileW(widePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       disposition, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// The attributes with the reparse bit kept for links only: a file or folder kept in sync with a
// cloud, or compressed, is a reparse point too and no less the program's own.
DWORD attributesOf(HANDLE handle) {
  const std::optional<HandleInfo> info = infoOf(handle);
  return info ? linkAttributes(info->attributes, info->reparseTag) : INVALID_FILE_ATTRIBUTES;
}

// As attributesOf for the entry at the path, with its size, read from the folder's listing.
std::optional<WIN32_FIND_DATAW> listedAt(const std::string& path) {
  WIN32_FIND_DATAW data{};
  const HANDLE search =
      ::FindFirstFileExW(widePath(path).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE)
    return std::nullopt;
  ::FindClose(search);
  data.dwFileAttributes = linkAttributes(data.dwFileAttributes, data.dwReserved0);
  return data;
}

std::string freshName(std::string_view prefix) {
  static std::random_device random;
  char digits[17];
  std::snprintf(digits, sizeof digits, "%08x%08x", random(), random());
  return std::string(prefix) + digits + ".tmp";
}

// A new file under a fresh name in the folder, removed again unless kept.
class TemporaryFile {
 public:
  TemporaryFile(const std::string& folder, std::string_view prefix) : m_folder(folder) {
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
      m_name = freshName(prefix);
      m_fd = detail::iniFileIo.open(-1, (m_folder + m_name).c_str(),
                                    _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                                    _S_IREAD | _S_IWRITE);
      if (m_fd < 0 && errno != EEXIST)
        break;
    }
    m_created = m_fd >= 0;
  }
  ~TemporaryFile() {
    if (m_fd >= 0)
      ::_close(m_fd);
    if (!m_kept && m_created)
      ::DeleteFileW(widePath(m_folder + m_name).c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool opened() const { return m_created; }
  const std::string& name() const { return m_name; }

  bool write(std::string_view bytes) { return detail::writeWhole(m_fd, bytes, detail::iniFileIo.write); }

  bool finish() {
    if (detail::iniFileIo.fsync(m_fd) != 0)
      return false;
    return ::_close(std::exchange(m_fd, -1)) == 0;
  }

  void keep() { m_kept = true; }

 private:
  std::string m_folder;
  std::string m_name;
  int m_fd = -1;
  bool m_created = false;
  bool m_kept = false;
};

}  // namespace

AppendedFile::~AppendedFile() {
  if (m_fd >= 0)
    ::_close(m_fd);
}

AppendedFile::AppendedFile(AppendedFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

bool AppendedFile::endsWithLineEnd() const {
  const __int64 size = ::_lseeki64(m_fd, 0, SEEK_END);
  if (size <= 0 || ::_lseeki64(m_fd, size - 1, SEEK_SET) < 0)
    return true;
  char last = '\n';
  return ::_read(m_fd, &last, 1) != 1 || last == '\n';
}

std::optional<OwnFolder> OwnFolder::open(const std::string& path) {
  return opened(path, false);
}

std::optional<OwnFolder> OwnFolder::make(const std::string& path) {
  return opened(path, true);
}

std::optional<OwnFolder> OwnFolder::opened(const std::string& given, bool create) {
  std::error_code error;
  const std::filesystem::path absolute =
      std::filesystem::absolute(fsPath(given.empty() ? "." : given), error).lexically_normal();
  const std::string path = pathText(absolute);
  const std::string shown = withTrailingSeparator(given.empty() ? path : given);
  const PathParts parts = splitPath(path);
  if (error || parts.parent.empty() || parts.name.empty() || parts.name == "..")
    throw UnsafeFolderError(shown, "it has no name of its own");
  if (create) {
    std::filesystem::create_directories(fsPath(parts.parent), error);
    ::CreateDirectoryW(widePath(path).c_str(), nullptr);
  }
  const HANDLE handle = openEntry(path, FILE_READ_ATTRIBUTES, OPEN_EXISTING);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = isMissing(::GetLastError()) ? ENOENT : EACCES;
    return std::nullopt;
  }
  const DWORD attributes = attributesOf(handle);
  std::string problem;
  if (attributes == INVALID_FILE_ATTRIBUTES)
    problem = "its attributes cannot be read";
  else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    problem = "it is a link or junction";
  if (problem.empty() && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ::CloseHandle(handle);
    errno = ENOTDIR;
    return std::nullopt;
  }
  if (!problem.empty()) {
    ::CloseHandle(handle);
    throw UnsafeFolderError(shown, problem);
  }
  return OwnFolder(withTrailingSeparator(path), reinterpret_cast<std::intptr_t>(handle));
}

OwnFolder::~OwnFolder() {
  if (m_handle != -1)
    ::CloseHandle(folderHandle(m_handle));
}

OwnFolder::OwnFolder(OwnFolder&& other) noexcept
    : m_path(std::move(other.m_path)), m_handle(std::exchange(other.m_handle, -1)) {}

WholeFile OwnFolder::read(std::string_view name) const {
  const std::string file(name);
  const HANDLE handle = openEntry(m_path + file, GENERIC_READ, OPEN_EXISTING);
  if (handle == INVALID_HANDLE_VALUE)
    return {isMissing(::GetLastError()) ? ReadStatus::Missing : ReadStatus::Failed, {}, 0};
  const DWORD attributes = attributesOf(handle);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    ::CloseHandle(handle);
    throw UnsafeFolderError(m_path, file + " is a link");
  }
  WholeFile read = attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                       ? WholeFile{ReadStatus::Failed, {}, 0}
                       : readWholeFromHandle(handle);
  ::CloseHandle(handle);
  return read;
}

bool OwnFolder::holdsOtherThanFile(std::string_view name) const {
  const std::optional<WIN32_FIND_DATAW> listed = listedAt(m_path + std::string(name));
  return listed &&
         (listed->dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

std::optional<std::uintmax_t> OwnFolder::fileSize(std::string_view name) const {
  const std::optional<WIN32_FIND_DATAW> listed = listedAt(m_path + std::string(name));
  if (!listed || (listed->dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0)
    return std::nullopt;
  return (static_cast<std::uintmax_t>(listed->nFileSizeHigh) << 32) | listed->nFileSizeLow;
}

std::optional<AppendedFile> OwnFolder::openForAppend(std::string_view name) const {
  const std::string file(name);
  const HANDLE handle = openEntry(m_path + file, GENERIC_READ | FILE_APPEND_DATA, OPEN_ALWAYS);
  if (handle == INVALID_HANDLE_VALUE)
    return std::nullopt;
  const DWORD attributes = attributesOf(handle);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    ::CloseHandle(handle);
    throw UnsafeFolderError(m_path, file + " is a link");
  }
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    ::CloseHandle(handle);
    return std::nullopt;
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_APPEND | _O_BINARY);
  if (fd < 0) {
    ::CloseHandle(handle);
    return std::nullopt;
  }
  return AppendedFile(fd);
}

// Windows keeps no permission bits worth carrying over; the mode is not used here.
std::string OwnFolder::writeTemporary(std::string_view prefix, std::string_view bytes, unsigned) const {
  TemporaryFile file(m_path, prefix);
  if (!file.opened() || !file.write(bytes) || !file.finish())
    return {};
  file.keep();
  return file.name();
}

bool OwnFolder::rename(std::string_view from, std::string_view to) const {
  return detail::iniFileIo.rename(-1, (m_path + std::string(from)).c_str(),
                                  (m_path + std::string(to)).c_str()) == 0;
}

void OwnFolder::removeTemporary(std::string_view name) const {
  ::DeleteFileW(widePath(m_path + std::string(name)).c_str());
}

}  // namespace qinglan::platform
