#include "platform/Trash_posix.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/ConfinedRoot.h"
#include "platform/Descriptor_posix.h"
#include "platform/MountTable.h"
#include "platform/MountsInTree_posix.h"
#include "platform/Remover.h"

namespace qinglan::platform {

namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr size_t kNameMax = 255;
constexpr int kMaxNameTries = 10000;

std::string errorText(std::string_view what, int error) {
  return std::string(what) + ": " + std::strerror(error);
}

// The folder `name` of parentFd, made with mode 0700 when missing; never through a link.
Descriptor openOrMakeFolderAt(int parentFd, const char* name) {
  if (::mkdirat(parentFd, name, 0700) != 0 && errno != EEXIST)
    return Descriptor();
  return Descriptor(::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

// The path a descriptor stands for, every link resolved.
std::string realPathOf(int fd) {
  std::array<char, 4096> buffer{};
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size() - 1);
  return length > 0 ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
}

std::string joinPath(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

bool isAtOrBelow(std::string_view path, std::string_view folder) {
  return folder == "/" ||
         (path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/'));
}

// The device and mount an entry lies on: a rename moves an entry only within one.
struct MountOf {
  uint64_t device = 0;
  uint64_t id = 0;  // 0 where the kernel does not tell
};

MountOf mountOfFolder(int fd) {
  return {entryIdOf(fd).device, mountIdOf(fd)};
}

bool sameMount(const MountOf& a, const MountOf& b) {
  return a.device == b.device && (a.id == 0 || b.id == 0 || a.id == b.id);
}

// A trash folder open with its files/ and info/ folders.
struct OpenTrash {
  std::string path;
  std::string top;  // the folder that relative trash info paths start from; empty: they are absolute
  Descriptor folder;
  Descriptor files;
  Descriptor info;
};

// A trash folder made by someone else, or one anybody may write in, could be read or emptied by
// others.
bool ownedByUser(const Descriptor& folder) {
  struct stat info {};
  return folder.valid() && ::fstat(folder.get(), &info) == 0 && info.st_uid == ::getuid() &&
         (info.st_mode & S_IWOTH) == 0;
}

std::optional<OpenTrash> openTrashParts(OpenTrash trash) {
  trash.files = openOrMakeFolderAt(trash.folder.get(), "files");
  trash.info = openOrMakeFolderAt(trash.folder.get(), "info");
  if (!ownedByUser(trash.files) || !ownedByUser(trash.info))
    return std::nullopt;
  return trash;
}

// $topdir/.Trash/$uid, used only when .Trash is a real folder with the sticky bit.
std::optional<OpenTrash> openSharedVolumeTrash(int topFd, const std::string& top) {
  Descriptor shared(::openat(topFd, ".Trash", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat info {};
  if (!shared.valid() || ::fstat(shared.get(), &info) != 0 || (info.st_mode & S_ISVTX) == 0)
    return std::nullopt;
  const std::string uid = std::to_string(::getuid());
  OpenTrash trash{joinPath(joinPath(top, ".Trash"), uid), top, openOrMakeFolderAt(shared.get(), uid.c_str()),
                  Descriptor(), Descriptor()};
  if (!ownedByUser(trash.folder))
    return std::nullopt;
  return openTrashParts(std::move(trash));
}

// $topdir/.Trash-$uid, made when missing; one that is not this user's own folder is refused.
std::optional<OpenTrash> openOwnVolumeTrash(int topFd, const std::string& top) {
  const std::string name = ".Trash-" + std::to_string(::getuid());
  OpenTrash trash{joinPath(top, name), top, openOrMakeFolderAt(topFd, name.c_str()), Descriptor(),
                  Descriptor()};
  if (!ownedByUser(trash.folder))
    return std::nullopt;
  return openTrashParts(std::move(trash));
}

// The trash at the top of the mount that holds the entry's folder. The top is found by the mount's
// id, and opened only while it is that mount: a path hidden by a later mount names another one.
std::optional<OpenTrash> openVolumeTrash(const MountOf& mount, const std::string& parentPath,
                                         std::string& reason) {
  const std::string top = mount.id != 0 ? mountPathOfId(mount.id) : mountPointOf(parentPath);
  const Descriptor topFd(top.empty() ? -1 : ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!topFd.valid() || !sameMount(mountOfFolder(topFd.get()), mount) || !isAtOrBelow(parentPath, top)) {
    reason = "the top of its volume cannot be reached" + (top.empty() ? std::string() : " (" + top + ")");
    return std::nullopt;
  }
  std::optional<OpenTrash> trash = openSharedVolumeTrash(topFd.get(), top);
  if (!trash)
    trash = openOwnVolumeTrash(topFd.get(), top);
  if (!trash)
    reason = "no usable trash on its volume (" + top + ")";
  return trash;
}

// The folder of an absolute path as given, links and all; made with its missing folders.
Descriptor openOrMakeBase(const std::string& base) {
  Descriptor folder(::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.valid() || errno != ENOENT)
    return folder;
  folder = Descriptor(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  for (size_t start = 1; folder.valid() && start < base.size();) {
    const size_t end = std::min(base.find('/', start), base.size());
    const std::string part = base.substr(start, end - start);
    start = end + 1;
    if (part.empty())
      continue;
    if (::mkdirat(folder.get(), part.c_str(), 0700) != 0 && errno != EEXIST)
      return Descriptor();
    folder = Descriptor(::openat(folder.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  }
  return folder;
}

// The mount the home trash lies on, told by the deepest of its folders that exists and opens as it
// must (the base's nearest folder when the base is missing or no folder), so that an unusable part
// still ties the home trash to its file system.
MountOf homeTrashMount(const HomeTrashPath& home) {
  std::string existing = home.base;
  Descriptor folder(::open(existing.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  while (!folder.valid() && existing != "/") {
    const size_t slash = existing.rfind('/');
    existing = slash == 0 ? "/" : existing.substr(0, slash);
    folder = Descriptor(::open(existing.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  }
  if (!folder.valid())
    return {};
  for (const std::string& part : home.parts) {
    Descriptor next(::openat(folder.get(), part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next.valid())
      break;
    folder = std::move(next);
  }
  return mountOfFolder(folder.get());
}

// The home trash, made when missing: the base reached as given, each part below it and files/ and
// info/ never through a link, and every one of them this user's own.
std::optional<OpenTrash> openHomeTrash(const HomeTrashPath& home, std::string& reason) {
  std::string path = home.base;
  Descriptor folder = openOrMakeBase(path);
  if (!folder.valid()) {
    reason = errorText("the home trash cannot be used: " + path, errno);
    return std::nullopt;
  }
  for (const std::string& part : home.parts) {
    path = joinPath(path, part);
    folder = openOrMakeFolderAt(folder.get(), part.c_str());
    if (!folder.valid()) {
      reason = errorText("the home trash cannot be used: " + path, errno);
      return std::nullopt;
    }
    struct stat info {};
    if (::fstat(folder.get(), &info) != 0 || info.st_uid != ::getuid()) {
      reason = "the home trash cannot be used: " + path + " is not this user's own folder";
      return std::nullopt;
    }
  }
  OpenTrash trash{realPathOf(folder.get()), {}, std::move(folder), Descriptor(), Descriptor()};
  std::optional<OpenTrash> opened;
  if (ownedByUser(trash.folder) && !trash.path.empty())
    opened = openTrashParts(std::move(trash));
  if (!opened)
    reason = "the home trash cannot be used: " + path +
             " or its files/ or info/ folder is a link, not a folder, or not this user's own";
  return opened;
}

std::string deletionDate() {
  const std::time_t now = std::time(nullptr);
  struct tm local {};
  ::localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

// The name in files/ for the k-th try: the entry's own name, then "name.2", "name.3", …, cut so
// that the info file's name still fits.
std::string candidateName(const std::string& name, int k) {
  const std::string suffix = k == 1 ? "" : "." + std::to_string(k);
  const size_t room = kNameMax - kInfoSuffix.size() - suffix.size();
  return (name.size() > room ? name.substr(0, room) : name) + suffix;
}

bool writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

// 0 when the file system does not tell.
int64_t birthTimeOf(int folderFd, const char* name) {
  struct statx info {};
  if (::statx(folderFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_BTIME, &info) != 0 ||
      (info.stx_mask & STATX_BTIME) == 0)
    return 0;
  return static_cast<int64_t>(info.stx_btime.tv_sec) * 1000000000 + info.stx_btime.tv_nsec;
}

bool sameEntry(const struct stat& info, const FileIdentity& expected) {
  return info.st_dev == expected.device && info.st_ino == expected.inode;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

// The Path value of a trash info file, made absolute; empty when it cannot be read.
std::string trashInfoOrigin(int infoFd, const std::string& infoName, const std::string& top) {
  const Descriptor file(::openat(infoFd, infoName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!file.valid())
    return {};
  std::string text;
  std::array<char, 4096> buffer{};
  for (ssize_t got; (got = ::read(file.get(), buffer.data(), buffer.size())) > 0 && text.size() < 65536;)
    text.append(buffer.data(), static_cast<size_t>(got));
  const size_t key = text.find("\nPath=");
  if (key == std::string::npos)
    return {};
  const size_t start = key + 6;
  const std::string path = percentDecodePath(text.substr(start, text.find('\n', start) - start));
  if (path.empty() || path.front() == '/' || top.empty())
    return path;
  return joinPath(top, path);
}

// The volume a trash folder belongs to: the folder holding .Trash-$uid, or .Trash for .Trash/$uid.
std::string topOfTrash(const std::string& folder) {
  const size_t slash = folder.rfind('/');
  const std::string parent = slash == 0 ? "/" : folder.substr(0, slash);
  if (folder.substr(slash + 1).starts_with(".Trash-"))
    return parent;
  const size_t up = parent.rfind('/');
  if (parent.substr(up + 1) == ".Trash")
    return up == 0 ? "/" : parent.substr(0, up);
  return {};
}

struct SplitPath {
  std::string parent;
  std::string name;
};

std::optional<SplitPath> splitPath(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || path.size() <= 1)
    return std::nullopt;
  SplitPath parts{slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
  if (parts.name == "." || parts.name == "..")
    return std::nullopt;
  return parts;
}

TrashResult refused(std::string reason) {
  return {false, false, {}, std::move(reason)};
}

RestoreResult kept(std::string reason) {
  return {false, std::move(reason)};
}

class SystemTrashCalls final : public TrashCalls {};

}  // namespace

int TrashCalls::renameNoReplace(int fromFd, const char* from, int toFd, const char* to) {
  const int result = static_cast<int>(::syscall(SYS_renameat2, fromFd, from, toFd, to, RENAME_NOREPLACE));
  if (result == 0 || errno != EINVAL)
    return result;
  // A file system without the flag: the target was seen free just before, so a plain rename must do.
  struct stat taken {};
  if (::fstatat(toFd, to, &taken, AT_SYMLINK_NOFOLLOW) == 0) {
    errno = EEXIST;
    return -1;
  }
  return ::renameat(fromFd, from, toFd, to);
}

std::string percentEncodePath(const std::string& path) {
  std::string encoded;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
        std::string_view("-_.~/").find(c) != std::string_view::npos) {
      encoded += c;
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", byte);
      encoded += hex;
    }
  }
  return encoded;
}

std::string percentDecodePath(const std::string& text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    const int high = i + 2 < text.size() && text[i] == '%' ? hexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
    if (low >= 0) {
      decoded += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

int openFolderNoFollow(const std::string& path) {
  if (path.empty() || path.front() != '/') {
    errno = EINVAL;
    return -1;
  }
  Descriptor folder(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
  for (size_t start = 1; folder.valid() && start < path.size();) {
    const size_t end = std::min(path.find('/', start), path.size());
    const std::string part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".")
      continue;
    if (part == "..") {
      errno = EINVAL;
      return -1;
    }
    folder = Descriptor(::openat(folder.get(), part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  }
  return folder.release();
}

HomeTrashPath PosixTrash::homeTrash() const {
  if (const std::optional<SplitPath> given = splitPath(m_homeTrash))
    return {given->parent, {given->name}};
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && dataHome[0] == '/')
    return {dataHome, {"Trash"}};
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/')
    return {home, {".local", "share", "Trash"}};
  return {};
}

TrashResult PosixTrash::moveToTrash(const std::string& path) {
  const std::optional<SplitPath> parts = splitPath(path);
  if (!parts)
    return refused("not an entry that can be trashed");
  const Descriptor parent(openFolderNoFollow(parts->parent));
  if (!parent.valid()) {
    if (errno == ENOENT)
      return TrashResult{false, true, {}, {}};
    return refused(errorText("its folder cannot be opened without following a link", errno));
  }
  return moveEntry(parent.get(), parts->name, nullptr);
}

TrashResult PosixTrash::moveFinding(const std::string& path, const FindingOrigin& origin) {
  LocatedFinding found;
  switch (locateFinding(path, origin, found)) {
    case Located::Gone:
      return TrashResult{false, true, {}, {}};
    case Located::Refused:
      return refused("no longer the entry that was listed, or out of its scan's reach");
    case Located::Found:
      break;
  }
  const FileIdentity expected{origin.id.device, origin.id.inode};
  return moveEntry(found.parentFd, found.name, &expected);
}

TrashResult PosixTrash::moveEntry(int parentFd, const std::string& name, const FileIdentity* expected) {
  struct stat entry {};
  if (::fstatat(parentFd, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT)
      return TrashResult{false, true, {}, {}};
    return refused(errorText("cannot be examined", errno));
  }
  if (expected && !sameEntry(entry, *expected))
    return refused("no longer the entry that was listed");
  const MountOf mount = mountOfFolder(parentFd);
  if (S_ISDIR(entry.st_mode)) {
    // A mount inside a folder would move along with it, and emptying the trash would then delete
    // what it shows.
    const Descriptor folder(
        ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.valid() || entryIdOf(folder.get()) != entryIdOf(entry))
      return refused("no longer the entry that was listed");
    if (isOtherMount(folder.get(), mount.device, mount.id))
      return refused("it is a mount point");
    if (std::string inside = mountInsideTree(folder.get()); !inside.empty())
      return refused(std::move(inside));
  }
  const std::string parentPath = realPathOf(parentFd);
  if (parentPath.empty())
    return refused("its folder cannot be located");
  const std::string origin = joinPath(parentPath, name);
  std::string reason;
  const HomeTrashPath home = homeTrash();
  // An entry on the home trash's mount goes there or nowhere; others go to their volume's trash.
  std::optional<OpenTrash> trash = !home.base.empty() && sameMount(homeTrashMount(home), mount)
                                       ? openHomeTrash(home, reason)
                                       : openVolumeTrash(mount, parentPath, reason);
  if (!trash)
    return refused(reason);
  struct stat files {};
  if (::fstat(trash->files.get(), &files) != 0 || files.st_dev != entry.st_dev)
    return refused("the trash " + trash->path + " is on another file system");

  // Relative to the volume's top in a volume trash, absolute in the home trash.
  std::string recorded = origin;
  if (!trash->top.empty())
    recorded = trash->top == "/" ? origin.substr(1) : origin.substr(trash->top.size() + 1);
  const std::string info =
      "[Trash Info]\nPath=" + percentEncodePath(recorded) + "\nDeletionDate=" + deletionDate() + "\n";
  const TrashLocation moved{trash->path,
                            {},
                            origin,
                            entryIdOf(entry),
                            entryIdOf(trash->folder.get()),
                            entryIdOf(parentFd),
                            birthTimeOf(parentFd, name.c_str())};
  for (int k = 1; k <= kMaxNameTries; ++k) {
    const std::string candidate = candidateName(name, k);
    const std::string infoName = candidate + std::string(kInfoSuffix);
    struct stat taken {};
    if (::fstatat(trash->files.get(), candidate.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0)
      continue;
    const Descriptor infoFd(::openat(trash->info.get(), infoName.c_str(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!infoFd.valid()) {
      if (errno == EEXIST)
        continue;
      return refused(errorText("the trash info cannot be created in " + trash->path, errno));
    }
    const bool written = writeAll(infoFd.get(), info);
    if (written &&
        m_calls.renameNoReplace(parentFd, name.c_str(), trash->files.get(), candidate.c_str()) == 0) {
      TrashResult result{true, false, moved, {}};
      result.location.name = candidate;
      return result;
    }
    const int error = written ? errno : EIO;
    // The claim is ours alone: it goes, and the entry stays where it was.
    ::unlinkat(trash->info.get(), infoName.c_str(), 0);
    if (error == EEXIST)
      continue;
    return refused(errorText("the move into " + trash->path + " was refused", error));
  }
  return refused("no free name in " + trash->path);
}

namespace {

// A trashed entry found again: the files/ and info/ folders of its trash folder, opened only while
// that folder is the one recorded, with the entry there still the one the pass moved.
struct FoundTrashed {
  Descriptor files;
  Descriptor info;
  std::string infoName;
  bool gone = false;
  std::string reason;  // why it is not the entry recorded
};

FoundTrashed findTrashed(const TrashLocation& location) {
  FoundTrashed found;
  if (!splitPath(location.origin) || location.name.empty() || location.name.find('/') != std::string::npos) {
    found.reason = "not a trashed entry";
    return found;
  }
  // Without the identities nothing tells the entry this pass moved from one put there later.
  if (!location.entry.known() || !location.trashFolder.known() || !location.originFolder.known()) {
    found.reason = "its identity was not recorded when it was trashed; left in the trash";
    return found;
  }
  const Descriptor folder(openFolderNoFollow(location.folder));
  if (!folder.valid() || entryIdOf(folder.get()) != location.trashFolder) {
    found.reason = "its trash folder is no longer the one it was moved into";
    return found;
  }
  found.files = Descriptor(::openat(folder.get(), "files", O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  found.info = Descriptor(::openat(folder.get(), "info", O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  found.infoName = location.name + std::string(kInfoSuffix);
  struct stat entry {};
  if (!found.files.valid() || !found.info.valid() ||
      ::fstatat(found.files.get(), location.name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
    found.gone = true;
    return found;
  }
  // Another entry may have taken the name since: only the one this pass moved is this entry.
  const int64_t born = birthTimeOf(found.files.get(), location.name.c_str());
  if (entryIdOf(entry) != location.entry || (location.entryBorn != 0 && born != location.entryBorn) ||
      trashInfoOrigin(found.info.get(), found.infoName, topOfTrash(location.folder)) != location.origin)
    found.reason = "the trash entry of that name is another one now";
  return found;
}

// Deletes the entry `name` of the open folder `parentFd`, the folder `parentPath` names, through
// the remover and only while it is `id`.
bool removeThrough(const std::string& parentPath, const char* below, int parentFd, const std::string& name,
                   const EntryId& id) {
  const std::string rootPath = joinPath(joinPath(parentPath, below), "");
  const std::string path = rootPath + name;
  auto root = std::make_shared<const ScanRoot>(ScanRoot{parentPath, below, rootPath, entryIdOf(parentFd)});
  return Remover::system().removeFinding(path, FindingOrigin{std::move(root), id});
}

}  // namespace

RestoreResult PosixTrash::restore(const TrashLocation& location) {
  const FoundTrashed found = findTrashed(location);
  if (found.gone)
    return kept("no longer in the trash");
  if (!found.reason.empty())
    return kept(found.reason);
  const std::optional<SplitPath> target = splitPath(location.origin);
  const Descriptor parent(openFolderNoFollow(target->parent));
  if (!parent.valid())
    return kept(errorText("its folder cannot be opened without following a link", errno));
  if (entryIdOf(parent.get()) != location.originFolder)
    return kept("its folder is no longer the one it was trashed from");
  if (m_calls.renameNoReplace(found.files.get(), location.name.c_str(), parent.get(), target->name.c_str()) !=
      0) {
    if (errno == EEXIST)
      return kept("an entry of that name exists; left in the trash");
    return kept(errorText("the move back was refused", errno));
  }
  ::unlinkat(found.info.get(), found.infoName.c_str(), 0);
  return RestoreResult{true, {}};
}

PurgeResult PosixTrash::purge(const TrashLocation& location) {
  const FoundTrashed found = findTrashed(location);
  if (found.gone)
    return PurgeResult{false, true, {}};
  if (!found.reason.empty())
    return PurgeResult{false, false, found.reason};
  if (!removeThrough(location.folder, "files", found.files.get(), location.name, location.entry))
    return PurgeResult{false, false, "it could not be deleted whole; what stays is still in the trash"};
  // The info file goes once its entry has, so a part left behind still shows in the trash.
  struct stat info {};
  if (::fstatat(found.info.get(), found.infoName.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
      !removeThrough(location.folder, "info", found.info.get(), found.infoName, entryIdOf(info)))
    return PurgeResult{false, false, "deleted, but its trash info " + found.infoName + " stays"};
  return PurgeResult{true, false, {}};
}

Trash& Trash::system() {
  static SystemTrashCalls calls;
  static PosixTrash trash(calls);
  return trash;
}

}  // namespace qinglan::platform
