#include "platform/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "platform/IniFileIo.h"
#include "platform/NativePath.h"

namespace qinglan::platform {

namespace {

// The calls below take UTF-8 path texts, as the seam's calls do on every system.
int openUtf8(const char* path, int flags, unsigned mode) {
  return ::_wopen(widePath(path).c_str(), flags, static_cast<int>(mode));
}

// One step, so a reader sees the old file or the new; written through, so the new name is durable
// once it returns.
int renameReplacing(const char* from, const char* to) {
  if (::MoveFileExW(widePath(from).c_str(), widePath(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return 0;
  }
  errno = EACCES;
  return -1;
}

}  // namespace

namespace detail {

IniFileIo systemIniFileIo() {
  return {
      openUtf8,
      [](int fd, const void* data, std::size_t size) -> std::ptrdiff_t {
        return ::_write(fd, data, static_cast<unsigned>(size));
      },
      [](int fd) { return ::_commit(fd); },
      renameReplacing,
  };
}

IniFileIo iniFileIo = systemIniFileIo();

}  // namespace detail

namespace {

// The file a write replaces: the target of a symbolic link, so the link itself survives.
std::string replacedPath(const std::string& path) {
  const std::wstring wide = widePath(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
    return path;
  const HANDLE file = ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return path;
  std::wstring target(MAX_PATH, L'\0');
  DWORD length = ::GetFinalPathNameByHandleW(file, target.data(), static_cast<DWORD>(target.size()), 0);
  if (length >= target.size()) {
    target.resize(length + 1);
    length = ::GetFinalPathNameByHandleW(file, target.data(), static_cast<DWORD>(target.size()), 0);
  }
  ::CloseHandle(file);
  if (length == 0 || length >= target.size())
    return path;
  target.resize(length);
  return utf8Text(target);
}

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A new file beside the one it will replace; removed again unless committed by the rename.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& target) : m_target(target) {
    static std::atomic<unsigned> counter{0};
    const std::string folder = folderOf(target);
    const std::string name = target.substr(folder.size());
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
      m_path = folder + "." + name + "." + std::to_string(::GetCurrentProcessId()) + "." +
               std::to_string(counter++) + ".tmp";
      m_fd = detail::iniFileIo.open(m_path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                                    _S_IREAD | _S_IWRITE);
      if (m_fd < 0 && errno != EEXIST)
        break;
    }
    m_created = m_fd >= 0;
  }
  ~TemporaryFile() {
    if (m_fd >= 0)
      ::_close(m_fd);
    if (!m_committed && m_created)
      ::DeleteFileW(widePath(m_path).c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool opened() const { return m_created; }

  bool write(std::string_view bytes) {
    while (!bytes.empty()) {
      const std::ptrdiff_t count = detail::iniFileIo.write(m_fd, bytes.data(), bytes.size());
      if (count <= 0)
        return false;
      bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
  }

  bool commit() {
    if (detail::iniFileIo.fsync(m_fd) != 0)
      return false;
    if (::_close(std::exchange(m_fd, -1)) != 0)
      return false;
    if (detail::iniFileIo.rename(m_path.c_str(), m_target.c_str()) != 0)
      return false;
    m_committed = true;
    return true;
  }

 private:
  std::string m_target;
  std::string m_path;
  int m_fd = -1;
  bool m_created = false;
  bool m_committed = false;
};

}  // namespace

WholeFile readWholeFile(const std::string& path) {
  WholeFile file;
  const HANDLE handle =
      ::CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    file.status = missing ? ReadStatus::Missing : ReadStatus::Failed;
    return file;
  }
  file.status = ReadStatus::Read;
  char buffer[65536];
  for (;;) {
    DWORD count = 0;
    if (!::ReadFile(handle, buffer, sizeof buffer, &count, nullptr)) {
      file.status = ReadStatus::Failed;
      break;
    }
    if (count == 0)
      break;
    file.bytes.append(buffer, count);
  }
  ::CloseHandle(handle);
  return file;
}

// Windows keeps no permission bits worth carrying over; the mode is not used here.
bool replaceFile(const std::string& path, std::string_view bytes, unsigned) {
  TemporaryFile file(replacedPath(path));
  return file.opened() && file.write(bytes) && file.commit();
}

}  // namespace qinglan::platform
