#include "platform/Remover_posix.h"

#include <array>
#include <cerrno>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qinglan::platform {

namespace {

constexpr size_t kReadBufferSize = 32 * 1024;

struct Child {
  std::string name;
  bool isFolder = false;
};

bool isDotOrDotDot(std::string_view name) {
  return name == "." || name == "..";
}

bool isFolderAt(int parentFd, const char* name) {
  struct stat info {};
  return ::fstatat(parentFd, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

bool isGoneAt(int parentFd, const char* name) {
  struct stat info {};
  return ::fstatat(parentFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT;
}

// Every child of the folder, read before anything in it is removed. False when the read fails
// part way; the children read so far are still returned.
bool readChildren(int folderFd, std::vector<Child>& children) {
  alignas(dirent64) std::array<char, kReadBufferSize> buffer;
  for (;;) {
    const ssize_t filled = ::getdents64(folderFd, buffer.data(), buffer.size());
    if (filled == 0)
      return true;
    if (filled < 0)
      return false;
    for (ssize_t offset = 0; offset < filled;) {
      const auto* record = reinterpret_cast<const dirent64*>(buffer.data() + offset);
      offset += record->d_reclen;
      if (isDotOrDotDot(record->d_name))
        continue;
      const bool isFolder =
          record->d_type == DT_UNKNOWN ? isFolderAt(folderFd, record->d_name) : record->d_type == DT_DIR;
      children.push_back({record->d_name, isFolder});
    }
  }
}

struct PathParts {
  std::string parent;
  std::string name;
};

// Splits off the last component; trailing separators are ignored.
PathParts splitPath(std::string_view path) {
  while (path.size() > 1 && path.back() == '/')
    path.remove_suffix(1);
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos)
    return {".", std::string(path)};
  return {slash == 0 ? "/" : std::string(path.substr(0, slash)), std::string(path.substr(slash + 1))};
}

class SystemRemoverCalls final : public RemoverCalls {};

}  // namespace

int RemoverCalls::openFolderAt(int parentFd, const char* name) {
  return ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

int RemoverCalls::unlinkAt(int parentFd, const char* name, int flags) {
  return ::unlinkat(parentFd, name, flags);
}

bool PosixRemover::remove(const std::string& path) {
  const PathParts parts = splitPath(path);
  // "." and ".." would name a folder above the one meant; "/" has no parent to remove it from.
  if (parts.name.empty() || isDotOrDotDot(parts.name))
    return false;
  const int parentFd = ::open(parts.parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parentFd < 0)
    return false;
  bool removed = false;
  struct stat info {};
  if (::fstatat(parentFd, parts.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
    removed =
        removeEntry(parentFd, parts.name, S_ISDIR(info.st_mode)) && isGoneAt(parentFd, parts.name.c_str());
  }
  ::close(parentFd);
  return removed;
}

bool PosixRemover::removeEntry(int parentFd, const std::string& name, bool isFolder) {
  if (isFolder)
    return removeFolder(parentFd, name);
  if (m_calls.unlinkAt(parentFd, name.c_str(), 0) == 0 || errno == ENOENT)
    return true;
  // Replaced by a folder since it was listed.
  return errno == EISDIR && removeFolder(parentFd, name);
}

bool PosixRemover::removeFolder(int parentFd, const std::string& name) {
  const int folderFd = m_calls.openFolderAt(parentFd, name.c_str());
  if (folderFd < 0) {
    if (errno == ENOENT)
      return true;
    // Replaced by a link or a file since it was listed: remove that, never what a link points to.
    if (errno == ELOOP || errno == ENOTDIR)
      return m_calls.unlinkAt(parentFd, name.c_str(), 0) == 0;
    return false;
  }
  std::vector<Child> children;
  bool complete = readChildren(folderFd, children);
  for (const Child& child : children) {
    if (!removeEntry(folderFd, child.name, child.isFolder))
      complete = false;
  }
  ::close(folderFd);
  if (m_calls.unlinkAt(parentFd, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT)
    return complete;
  return false;
}

Remover& Remover::system() {
  static SystemRemoverCalls calls;
  static PosixRemover remover(calls);
  return remover;
}

}  // namespace qinglan::platform
