#include "platform/Remover_posix.h"

#include <array>
#include <cerrno>
#include <memory>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ConfinedRoot.h"
#include "platform/Descriptor_posix.h"
#include "platform/Path.h"

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

class SystemRemoverCalls final : public RemoverCalls {};

}  // namespace

// One folder on the way down a tree being removed: held by name and identity, not by an open
// descriptor, so the depth costs no descriptors.
struct PosixRemover::Level {
  EntryId id;
  std::string name;                  // in its parent
  std::vector<std::string> folders;  // sub-folders still to remove
  bool complete = true;              // false once something inside it stays
};

int RemoverCalls::openFolderAt(int parentFd, const char* name) {
  return ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

int RemoverCalls::unlinkAt(int parentFd, const char* name, int flags) {
  return ::unlinkat(parentFd, name, flags);
}

bool PosixRemover::remove(const std::string& path) {
  const PathParts parts = splitPath(path);
  // "." and ".." would name a folder above the one meant; "/" has no parent to remove it from.
  if (parts.name.empty() || isDotOrDotDot(parts.name) || path.empty())
    return false;
  const Descriptor parent(
      ::open(parts.parent.empty() ? "." : parts.parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (parent.get() < 0)
    return false;
  struct stat info {};
  if (::fstatat(parent.get(), parts.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
    return false;
  return removeEntry(parent.get(), parts.name, S_ISDIR(info.st_mode), entryIdOf(info)) &&
         isGoneAt(parent.get(), parts.name.c_str());
}

bool PosixRemover::removeFinding(const std::string& path, const FindingOrigin& origin) {
  LocatedFinding found;
  switch (locateFinding(path, origin, found)) {
    case Located::Gone:
      return true;
    case Located::Refused:
      return false;
    case Located::Found:
      break;
  }
  return removeEntry(found.parentFd, found.name, S_ISDIR(found.mode), origin.id) &&
         isGoneAt(found.parentFd, found.name.c_str());
}

bool PosixRemover::removeEntry(int parentFd, const std::string& name, bool isFolder, const EntryId& id) {
  if (isFolder)
    return removeFolder(parentFd, name, id);
  // The name may have passed to another entry since it was found, or the entry may have gone
  // elsewhere: neither is this entry removed.
  struct stat info {};
  if (::fstatat(parentFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || entryIdOf(info) != id)
    return false;
  return m_calls.unlinkAt(parentFd, name.c_str(), 0) == 0;
}

// Goes down one folder at a time and climbs back through "..", checking there that the folder
// reached is still the one left, so a tree of any depth takes a few descriptors and a tree moved
// away meanwhile is left alone.
bool PosixRemover::removeFolder(int parentFd, const std::string& name, const EntryId& id) {
  std::vector<Level> levels;
  levels.push_back({id, name, {}, true});
  // Whatever stands in the folder's place now, a link or a file, is not the entry found: it stays.
  int folderFd = m_calls.openFolderAt(parentFd, name.c_str());
  if (folderFd < 0)
    return false;
  // The folder must be the one found, and not a mount of its own.
  const uint64_t mount = mountIdOf(parentFd);
  if (entryIdOf(folderFd) != id || isOtherMount(folderFd, id.device, mount)) {
    ::close(folderFd);
    return false;
  }
  clearFiles(folderFd, levels.back());
  bool result = true;
  while (!levels.empty()) {
    Level& level = levels.back();
    if (!level.folders.empty()) {
      const std::string child = std::move(level.folders.back());
      level.folders.pop_back();
      const int childFd = openSubfolder(folderFd, child, level);
      if (childFd < 0)
        continue;
      const EntryId childId = entryIdOf(childFd);
      if (isOtherMount(childFd, id.device, mount)) {
        // A mount point: it stays, with what is beneath it.
        ::close(childFd);
        level.complete = false;
        continue;
      }
      ::close(folderFd);
      folderFd = childFd;
      levels.push_back({childId, child, {}, true});
      clearFiles(folderFd, levels.back());
      continue;
    }
    const Level done = std::move(levels.back());
    levels.pop_back();
    int upFd = -1;
    if (!levels.empty()) {
      upFd = ::openat(folderFd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (upFd < 0 || entryIdOf(upFd) != levels.back().id) {
        if (upFd >= 0)
          ::close(upFd);
        ::close(folderFd);
        return false;
      }
    }
    ::close(folderFd);
    folderFd = upFd;
    const int at = levels.empty() ? parentFd : upFd;
    const bool removed =
        done.complete && (m_calls.unlinkAt(at, done.name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT);
    if (!removed) {
      if (levels.empty())
        result = false;
      else
        levels.back().complete = false;
    }
  }
  return result;
}

int PosixRemover::openSubfolder(int folderFd, const std::string& name, Level& level) {
  const int fd = m_calls.openFolderAt(folderFd, name.c_str());
  if (fd >= 0)
    return fd;
  // Gone, or replaced by a link or a file since it was listed: remove that, never what a link
  // points to.
  const bool handled = errno == ENOENT || ((errno == ELOOP || errno == ENOTDIR) &&
                                           m_calls.unlinkAt(folderFd, name.c_str(), 0) == 0);
  if (!handled)
    level.complete = false;
  return -1;
}

void PosixRemover::clearFiles(int folderFd, Level& level) {
  std::vector<Child> children;
  if (!readChildren(folderFd, children))
    level.complete = false;
  for (Child& child : children) {
    if (!child.isFolder && (m_calls.unlinkAt(folderFd, child.name.c_str(), 0) == 0 || errno == ENOENT))
      continue;
    if (child.isFolder || errno == EISDIR) {
      level.folders.push_back(std::move(child.name));
    } else {
      level.complete = false;
    }
  }
}

Remover& Remover::system() {
  static SystemRemoverCalls calls;
  static PosixRemover remover(calls);
  return remover;
}

}  // namespace qinglan::platform
