#include "platform/OwnFolder.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Descriptor_posix.h"
#include "platform/IniFileIo.h"
#include "platform/Path.h"

namespace qinglan::platform {

namespace {

constexpr int kNewFileMode = 0666;

int folderFd(std::intptr_t handle) {
  return static_cast<int>(handle);
}

// Why an open folder must not hold the program's files; empty when it may.
std::string problemOf(const struct stat& status) {
  if (status.st_uid != ::geteuid() && status.st_uid != 0)
    return "it is owned by user " + std::to_string(status.st_uid) + ", not by the running user";
  if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    return "other users may write to it";
  return {};
}

bool isLinkAt(int folder, const char* name) {
  struct stat status {};
  return ::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(status.st_mode);
}

// A name of the folder that no entry has yet; the random part keeps others from guessing it.
std::string freshName(std::string_view prefix) {
  static std::random_device random;
  char digits[17];
  std::snprintf(digits, sizeof digits, "%08x%08x", random(), random());
  return std::string(prefix) + digits + ".tmp";
}

// A new file under a fresh name in the folder, removed again unless kept.
class TemporaryFile {
 public:
  TemporaryFile(int folder, std::string_view prefix) : m_folder(folder) {
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
      m_name = freshName(prefix);
      m_fd = detail::iniFileIo.open(m_folder, m_name.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFileMode);
      if (m_fd < 0 && errno != EEXIST)
        break;
    }
    m_created = m_fd >= 0;
  }
  ~TemporaryFile() {
    if (m_fd >= 0)
      ::close(m_fd);
    if (!m_kept && m_created)
      ::unlinkat(m_folder, m_name.c_str(), 0);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool opened() const { return m_created; }
  const std::string& name() const { return m_name; }

  void keepMode(unsigned mode) { ::fchmod(m_fd, mode & 07777); }

  bool write(std::string_view bytes) { return detail::writeWhole(m_fd, bytes, detail::iniFileIo.write); }

  // Makes the content durable and closes the file.
  bool finish() {
    if (detail::iniFileIo.fsync(m_fd) != 0)
      return false;
    return ::close(std::exchange(m_fd, -1)) == 0;
  }

  // Leaves the finished file for the caller.
  void keep() { m_kept = true; }

 private:
  int m_folder;
  std::string m_name;
  int m_fd = -1;
  bool m_created = false;
  bool m_kept = false;
};

// The rename is durable only once the folder itself is synced; the new content is in place either
// way, so a failure here is not a failed write.
void syncFolder(int folder) {
  ::fsync(folder);
}

// Opens `name` in the folder open as `parent`, refusing a link there.
std::intptr_t openChecked(int parent, const std::string& name, const std::string& shown) {
  Descriptor fd(::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (fd.get() < 0) {
    const int error = errno;
    if (isLinkAt(parent, name.c_str()))
      throw UnsafeFolderError(shown, "it is a symbolic link");
    errno = error;
    return -1;
  }
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0)
    return -1;
  if (const std::string problem = problemOf(status); !problem.empty())
    throw UnsafeFolderError(shown, problem);
  return fd.release();
}

}  // namespace

AppendedFile::~AppendedFile() {
  if (m_fd >= 0)
    ::close(m_fd);
}

AppendedFile::AppendedFile(AppendedFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

bool AppendedFile::endsWithLineEnd() const {
  struct stat status {};
  if (::fstat(m_fd, &status) != 0 || status.st_size <= 0)
    return true;
  char last = '\n';
  return ::pread(m_fd, &last, 1, status.st_size - 1) != 1 || last == '\n';
}

std::optional<OwnFolder> OwnFolder::open(const std::string& path) {
  return opened(path, false);
}

std::optional<OwnFolder> OwnFolder::make(const std::string& path) {
  return opened(path, true);
}

std::optional<OwnFolder> OwnFolder::opened(const std::string& given, bool create) {
  std::error_code error;
  const std::string path =
      std::filesystem::absolute(given.empty() ? "." : given, error).lexically_normal().string();
  const std::string shown = withTrailingSeparator(given.empty() ? path : given);
  const PathParts parts = splitPath(path);
  if (error || parts.name.empty() || parts.name == "/" || parts.name == "..")
    throw UnsafeFolderError(shown, "it has no name of its own");
  const std::string& parent = parts.parent;
  if (create) {
    std::error_code ignored;
    std::filesystem::create_directories(parent, ignored);
  }
  const Descriptor parentFd(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (parentFd.get() < 0)
    return std::nullopt;
  if (create && ::mkdirat(parentFd.get(), parts.name.c_str(), 0700) != 0 && errno != EEXIST)
    return std::nullopt;
  const std::intptr_t fd = openChecked(parentFd.get(), parts.name, shown);
  if (fd < 0)
    return std::nullopt;
  return OwnFolder(shown, fd);
}

OwnFolder::~OwnFolder() {
  if (m_handle >= 0)
    ::close(folderFd(m_handle));
}

OwnFolder::OwnFolder(OwnFolder&& other) noexcept
    : m_path(std::move(other.m_path)), m_handle(std::exchange(other.m_handle, -1)) {}

WholeFile OwnFolder::read(std::string_view name) const {
  const std::string file(name);
  const Descriptor fd(
      ::openat(folderFd(m_handle), file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ELOOP)
      throw UnsafeFolderError(m_path, file + " is a symbolic link");
    return {errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed, {}, 0};
  }
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
    return {ReadStatus::Failed, {}, 0};
  return readWholeFromFd(fd.get());
}

bool OwnFolder::holdsOtherThanFile(std::string_view name) const {
  struct stat status {};
  return ::fstatat(folderFd(m_handle), std::string(name).c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
         !S_ISREG(status.st_mode);
}

std::optional<std::uintmax_t> OwnFolder::fileSize(std::string_view name) const {
  struct stat status {};
  if (::fstatat(folderFd(m_handle), std::string(name).c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISREG(status.st_mode))
    return std::nullopt;
  return static_cast<std::uintmax_t>(status.st_size);
}

std::optional<AppendedFile> OwnFolder::openForAppend(std::string_view name) const {
  const std::string file(name);
  Descriptor fd(::openat(folderFd(m_handle), file.c_str(),
                         O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, kNewFileMode));
  if (fd.get() < 0) {
    if (errno == ELOOP)
      throw UnsafeFolderError(m_path, file + " is a symbolic link");
    return std::nullopt;
  }
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
    return std::nullopt;
  return AppendedFile(fd.release());
}

std::string OwnFolder::writeTemporary(std::string_view prefix, std::string_view bytes, unsigned mode) const {
  TemporaryFile file(folderFd(m_handle), prefix);
  if (!file.opened())
    return {};
  if (mode != 0)
    file.keepMode(mode);
  if (!file.write(bytes) || !file.finish())
    return {};
  file.keep();
  return file.name();
}

bool OwnFolder::rename(std::string_view from, std::string_view to) const {
  if (detail::iniFileIo.rename(folderFd(m_handle), std::string(from).c_str(), std::string(to).c_str()) != 0)
    return false;
  syncFolder(folderFd(m_handle));
  return true;
}

void OwnFolder::removeTemporary(std::string_view name) const {
  ::unlinkat(folderFd(m_handle), std::string(name).c_str(), 0);
}

}  // namespace qinglan::platform
