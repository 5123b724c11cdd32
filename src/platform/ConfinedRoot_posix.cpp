#include "platform/ConfinedRoot.h"

#include <atomic>
#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/Path.h"

namespace qinglan::platform {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// openat2 takes at most PATH_MAX bytes at once; longer paths are resolved in pieces.
constexpr size_t kPieceLength = PATH_MAX - 1;

std::atomic<bool> g_openat2Usable{true};

void closeKeepingErrno(int fd) {
  const int saved = errno;
  ::close(fd);
  errno = saved;
}

std::string_view trimSeparators(std::string_view path) {
  while (!path.empty() && path.front() == kSeparator)
    path.remove_prefix(1);
  while (!path.empty() && path.back() == kSeparator)
    path.remove_suffix(1);
  return path;
}

// The longest run of whole components that openat2 takes in one call.
std::string_view nextPiece(std::string_view rest) {
  if (rest.size() <= kPieceLength)
    return rest;
  const size_t cut = rest.rfind(kSeparator, kPieceLength);
  return cut == std::string_view::npos || cut == 0 ? rest.substr(0, kPieceLength) : rest.substr(0, cut);
}

// -1 with errno ENOSYS when the kernel (or a sandbox) has no openat2.
int openat2Beneath(int dirFd, std::string_view relative) {
  int current = dirFd;
  for (std::string_view rest = relative; !rest.empty();) {
    const std::string_view piece = nextPiece(rest);
    rest = trimSeparators(rest.substr(piece.size()));
    open_how how{};
    how.flags = static_cast<uint64_t>(kFolderFlags);
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_XDEV | RESOLVE_NO_MAGICLINKS;
    const std::string text(piece);
    const int next = static_cast<int>(::syscall(SYS_openat2, current, text.c_str(), &how, sizeof how));
    if (current != dirFd)
      closeKeepingErrno(current);
    if (next < 0)
      return -1;
    current = next;
  }
  return current;
}

// One component at a time: a link is refused by O_NOFOLLOW, another mount by its device and id.
int componentsBeneath(int dirFd, std::string_view relative, uint64_t device, uint64_t mount) {
  int current = dirFd;
  for (std::string_view rest = relative; !rest.empty();) {
    const size_t end = rest.find(kSeparator);
    const std::string name(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : trimSeparators(rest.substr(end));
    const int next = name == "." ? ::dup(current) : ::openat(current, name.c_str(), kFolderFlags);
    if (current != dirFd)
      closeKeepingErrno(current);
    if (next < 0)
      return -1;
    current = next;
    if (name == ".." || isOtherMount(current, device, mount)) {
      ::close(current);
      errno = EXDEV;
      return -1;
    }
  }
  return current;
}

int openBeneath(int dirFd, std::string_view relative, uint64_t device, uint64_t mount) {
  relative = trimSeparators(relative);
  if (relative.empty())
    return ::fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
  if (g_openat2Usable.load(std::memory_order_relaxed)) {
    const int fd = openat2Beneath(dirFd, relative);
    if (fd >= 0 || (errno != ENOSYS && errno != EPERM))
      return fd;
    g_openat2Usable.store(false, std::memory_order_relaxed);
  }
  return componentsBeneath(dirFd, relative, device, mount);
}

}  // namespace

EntryId entryIdOf(const struct stat& info) {
  return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
          static_cast<uint32_t>(info.st_mode & S_IFMT)};
}

EntryId entryIdOf(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 ? entryIdOf(info) : EntryId{};
}

uint64_t mountIdOf(int fd) {
  struct statx info {};
  if (::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &info) != 0 || (info.stx_mask & STATX_MNT_ID) == 0)
    return 0;
  return info.stx_mnt_id;
}

bool isOtherMount(int fd, uint64_t device, uint64_t mount) {
  if (entryIdOf(fd).device != device)
    return true;
  const uint64_t own = mountIdOf(fd);
  return own != 0 && mount != 0 && own != mount;
}

ConfinedRoot::ConfinedRoot(int fd) : m_fd(fd), m_id(entryIdOf(fd)), m_mount(mountIdOf(fd)) {}

ConfinedRoot::~ConfinedRoot() {
  ::close(m_fd);
}

std::unique_ptr<ConfinedRoot> ConfinedRoot::open(const std::string& base, std::string_view below) {
  const int baseFd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (baseFd < 0)
    return nullptr;
  const int rootFd = openBeneath(baseFd, below, entryIdOf(baseFd).device, mountIdOf(baseFd));
  closeKeepingErrno(baseFd);
  if (rootFd < 0)
    return nullptr;
  return std::make_unique<ConfinedRoot>(rootFd);
}

std::unique_ptr<ConfinedRoot> ConfinedRoot::reopen(const ScanRoot& root) {
  std::unique_ptr<ConfinedRoot> opened = open(root.base, root.below);
  if (opened && opened->id() != root.id) {
    errno = EXDEV;
    return nullptr;
  }
  return opened;
}

int ConfinedRoot::openFolder(std::string_view relative) const {
  return openBeneath(m_fd, relative, m_id.device, m_mount);
}

void ConfinedRoot::setComponentWalkOnly(bool only) {
  g_openat2Usable.store(!only, std::memory_order_relaxed);
}

LocatedFinding::~LocatedFinding() {
  if (parentFd >= 0)
    ::close(parentFd);
}

Located locateFinding(const std::string& path, const FindingOrigin& origin, LocatedFinding& found) {
  if (!origin.root || !origin.root->id.known() || !origin.id.known())
    return Located::Refused;
  const ScanRoot& root = *origin.root;
  if (path.size() <= root.path.size() || !path.starts_with(root.path))
    return Located::Refused;
  PathParts parts = splitPath(std::string_view(path).substr(root.path.size()));
  if (parts.name.empty() || parts.name == "." || parts.name == "..")
    return Located::Refused;
  // Whatever is missing on the way means the entry is gone.
  const std::unique_ptr<ConfinedRoot> confined = ConfinedRoot::reopen(root);
  if (!confined)
    return errno == ENOENT ? Located::Gone : Located::Refused;
  found.parentFd = confined->openFolder(parts.parent);
  if (found.parentFd < 0)
    return errno == ENOENT ? Located::Gone : Located::Refused;
  struct stat info {};
  if (::fstatat(found.parentFd, parts.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT ? Located::Gone : Located::Refused;
  // Another entry in its place, or a file system mounted there, is not what the scan listed.
  if (entryIdOf(info) != origin.id || origin.id.device != root.id.device)
    return Located::Refused;
  found.name = std::move(parts.name);
  found.mode = info.st_mode;
  return Located::Found;
}

}  // namespace qinglan::platform
