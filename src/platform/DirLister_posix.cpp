#include "platform/DirLister.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/ConfinedRoot.h"

namespace qinglan::platform {

namespace {

// Large enough that a folder of a few hundred entries is read in one call.
constexpr size_t kReadBufferSize = 64 * 1024;
constexpr size_t kInitialEntryCapacity = 64;

uint32_t attributesOfMode(mode_t mode) {
  if (S_ISDIR(mode))
    return kAttrDirectory;
  if (S_ISREG(mode))
    return kAttrArchive;
  if (S_ISLNK(mode))
    return kAttrReparsePoint;
  return kAttrSystem;
}

uint32_t attributesOfLink(int folderFd, const char* name) {
  struct stat target {};
  const bool pointsToFolder = ::fstatat(folderFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
  return kAttrReparsePoint | (pointsToFolder ? kAttrDirectory : 0);
}

// Only links and file systems that leave the type out of the listing cost a stat here.
uint32_t attributesOfListed(int folderFd, const char* name, unsigned char type) {
  switch (type) {
    case DT_DIR:
      return kAttrDirectory;
    case DT_REG:
      return kAttrArchive;
    case DT_LNK:
      return attributesOfLink(folderFd, name);
    case DT_CHR:
    case DT_BLK:
    case DT_FIFO:
    case DT_SOCK:
      return kAttrSystem;
    default: {
      struct stat info {};
      if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return 0;
      return S_ISLNK(info.st_mode) ? attributesOfLink(folderFd, name) : attributesOfMode(info.st_mode);
    }
  }
}

bool isDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

timespec toTimespec(const statx_timestamp& stamp) {
  return timespec{static_cast<time_t>(stamp.tv_sec), static_cast<long>(stamp.tv_nsec)};
}

class PosixDirListing final : public DirListing {
 public:
  explicit PosixDirListing(int folderFd) : m_folderFd(folderFd) { m_entries.reserve(kInitialEntryCapacity); }
  ~PosixDirListing() override { ::close(m_folderFd); }
  PosixDirListing(const PosixDirListing&) = delete;
  PosixDirListing& operator=(const PosixDirListing&) = delete;

  // A read failure part way ends the listing with the entries read so far.
  void readAll() {
    alignas(dirent64) std::array<char, kReadBufferSize> buffer;
    for (;;) {
      const ssize_t filled = ::getdents64(m_folderFd, buffer.data(), buffer.size());
      if (filled <= 0)
        break;
      for (ssize_t offset = 0; offset < filled;) {
        const auto* record = reinterpret_cast<const dirent64*>(buffer.data() + offset);
        offset += record->d_reclen;
        if (isDotOrDotDot(record->d_name))
          continue;
        addEntry(record->d_name, record->d_type);
      }
    }
    sortListed(m_entries);
  }

  const std::vector<DirEntry>& entries() const override { return m_entries; }

  std::optional<EntryDetails> details(const DirEntry& entry) override {
    struct statx info {};
    constexpr unsigned kWanted =
        STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME;
    if (::statx(m_folderFd, entry.name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kWanted, &info) != 0) {
      return std::nullopt;
    }
    EntryDetails details;
    details.attributes = entry.attributes;
    if ((info.stx_mode & S_IWUSR) == 0)
      details.attributes |= kAttrReadOnly;
    const bool hasContent = !S_ISDIR(info.stx_mode) && !S_ISLNK(info.stx_mode);
    details.size = hasContent ? static_cast<int64_t>(info.stx_size) : 0;
    // Images built with fixed time stamps report a birth time of 0: it says nothing either.
    const bool hasBirth =
        (info.stx_mask & STATX_BTIME) != 0 && (info.stx_btime.tv_sec != 0 || info.stx_btime.tv_nsec != 0);
    details.creationTime = toLocalSystemTime(toTimespec(hasBirth ? info.stx_btime : info.stx_mtime));
    details.lastAccessTime = toLocalSystemTime(toTimespec(info.stx_atime));
    details.lastWriteTime = toLocalSystemTime(toTimespec(info.stx_mtime));
    details.id = {static_cast<uint64_t>(makedev(info.stx_dev_major, info.stx_dev_minor)),
                  static_cast<uint64_t>(info.stx_ino), static_cast<uint32_t>(info.stx_mode & S_IFMT)};
    return details;
  }

  // A removed folder keeps no link; its open descriptor still reads.
  bool stillThere() const override {
    struct stat info {};
    return ::fstat(m_folderFd, &info) != 0 || info.st_nlink > 0;
  }

 private:
  void addEntry(const char* name, unsigned char type) {
    DirEntry& entry = m_entries.emplace_back();
    entry.name.assign(name);
    entry.attributes = attributesOfListed(m_folderFd, name, type);
    if (name[0] == '.')
      entry.attributes |= kAttrHidden;
  }

  int m_folderFd;
  std::vector<DirEntry> m_entries;
};

std::unique_ptr<DirListing> listingOf(int folderFd) {
  if (folderFd < 0)
    return nullptr;
  auto listing = std::make_unique<PosixDirListing>(folderFd);
  listing->readAll();
  return listing;
}

// What a failed open of a folder means for the walk. Beneath the root, a link or another file
// system is left out; nothing standing there (or no folder, or a name no folder can have) is no
// failure to read. The root itself is never left out: a walk that cannot start says so.
WalkRoot::Listed failedOpen(int error, bool beneathRoot) {
  WalkRoot::Listed listed;
  const bool linkOrMount = error == ELOOP || error == EXDEV;
  listed.leftOut = beneathRoot && linkOrMount;
  listed.unreadable = !linkOrMount && error != ENOENT && error != ENOTDIR && error != ENAMETOOLONG;
  listed.outOfDescriptors = error == EMFILE || error == ENFILE;
  return listed;
}

// Every folder is opened from the root's descriptor; a folder swapped for a link since its parent
// was listed, or another file system mounted there, is left out rather than entered. A root that
// could not be opened keeps why, for its listing to tell.
class ConfinedWalkRoot final : public WalkRoot {
 public:
  ConfinedWalkRoot(std::unique_ptr<ConfinedRoot> root, int openError, ScanRoot scanRoot)
      : m_root(std::move(root)), m_openError(openError) {
    if (m_root)
      scanRoot.id = m_root->id();
    m_scanRoot = std::make_shared<const ScanRoot>(std::move(scanRoot));
  }

  Listed list(std::string_view relative, const std::string&) override {
    if (!m_root)
      return failedOpen(m_openError, false);
    const int folderFd = m_root->openFolder(relative);
    if (folderFd < 0)
      return failedOpen(errno, !relative.empty());
    return {listingOf(folderFd)};
  }
  const std::shared_ptr<const ScanRoot>& scanRoot() const override { return m_scanRoot; }

 private:
  std::unique_ptr<ConfinedRoot> m_root;
  int m_openError;
  std::shared_ptr<const ScanRoot> m_scanRoot;
};

class PosixDirLister final : public DirLister {
 public:
  std::unique_ptr<DirListing> list(const std::string& folder) override {
    return listingOf(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  }

  std::unique_ptr<WalkRoot> openRoot(const std::string& base, const std::string& root) override {
    ScanRoot scanRoot = scanRootOf(base, root);
    std::unique_ptr<ConfinedRoot> opened = ConfinedRoot::open(scanRoot.base, scanRoot.below);
    const int openError = opened ? 0 : errno;
    return std::make_unique<ConfinedWalkRoot>(std::move(opened), openError, std::move(scanRoot));
  }
};

}  // namespace

DirLister& DirLister::system() {
  static PosixDirLister lister;
  return lister;
}

}  // namespace qinglan::platform
