#include "platform/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/IniFileIo.h"

namespace qinglan::platform {

namespace detail {

IniFileIo systemIniFileIo() {
  return {
      [](const char* path, int flags, unsigned mode) {
        return ::open(path, flags, static_cast<mode_t>(mode));
      },
      [](int fd, const void* data, std::size_t size) -> std::ptrdiff_t { return ::write(fd, data, size); },
      [](int fd) { return ::fsync(fd); },
      [](const char* from, const char* to) { return ::rename(from, to); },
  };
}

IniFileIo iniFileIo = systemIniFileIo();

}  // namespace detail

namespace {

// The file a write replaces: the target of a symbolic link, so the link itself survives.
std::string replacedPath(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
    return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr)
    return path;
  std::string target(resolved);
  std::free(resolved);
  return target;
}

// A new file beside the one it will replace; removed again unless committed by the rename.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& target) : m_target(target) {
    static std::atomic<unsigned> counter{0};
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
      m_path =
          folder + "." + name + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + ".tmp";
      m_fd = detail::iniFileIo.open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (m_fd < 0 && errno != EEXIST)
        break;
    }
    m_created = m_fd >= 0;
  }
  ~TemporaryFile() {
    if (m_fd >= 0)
      ::close(m_fd);
    if (!m_committed && m_created)
      ::unlink(m_path.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool opened() const { return m_created; }

  void keepMode(unsigned mode) { ::fchmod(m_fd, mode & 07777); }

  bool write(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t count = detail::iniFileIo.write(m_fd, bytes.data(), bytes.size());
      if (count < 0 && errno == EINTR)
        continue;
      if (count <= 0)
        return false;
      bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
  }

  // Makes the content durable and moves it over the target in one step.
  bool commit() {
    if (detail::iniFileIo.fsync(m_fd) != 0)
      return false;
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0)
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

// The rename is durable only once the folder itself is synced; the new content is in place
// either way, so a failure here is not a failed write.
void syncFolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

WholeFile readWholeFile(const std::string& path) {
  WholeFile file;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    file.status = errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    return file;
  }
  file.status = ReadStatus::Read;
  struct stat status {};
  if (::fstat(fd, &status) == 0)
    file.mode = status.st_mode;
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count > 0) {
      file.bytes.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0) {
      break;
    } else if (errno != EINTR) {
      file.status = ReadStatus::Failed;
      break;
    }
  }
  ::close(fd);
  return file;
}

bool replaceFile(const std::string& path, std::string_view bytes, unsigned mode) {
  const std::string target = replacedPath(path);
  TemporaryFile file(target);
  if (!file.opened())
    return false;
  if (mode != 0)
    file.keepMode(mode);
  if (!file.write(bytes) || !file.commit())
    return false;
  syncFolderOf(target);
  return true;
}

}  // namespace qinglan::platform
