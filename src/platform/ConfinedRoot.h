#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/ScanRoot.h"

struct stat;

namespace qinglan::platform {

// A root folder held open, below which nothing a link or a mount leads to is ever reached: every
// folder beneath it is opened from its descriptor without following a link and without leaving
// its file system (a folder on another device, or a bind mount, is refused). Paths of any length
// are resolved. The walks list through it and the remover deletes through it.
class ConfinedRoot {
 public:
  // Opens `base` as given, then each component of `below` the confined way. Null with errno set
  // when that fails: ENOENT, ELOOP for a link, ENOTDIR, EXDEV for another file system.
  static std::unique_ptr<ConfinedRoot> open(const std::string& base, std::string_view below);
  // Opens the root a walk recorded; null with errno EXDEV too when it is no longer that folder.
  static std::unique_ptr<ConfinedRoot> reopen(const ScanRoot& root);

  explicit ConfinedRoot(int fd);
  ~ConfinedRoot();
  ConfinedRoot(const ConfinedRoot&) = delete;
  ConfinedRoot& operator=(const ConfinedRoot&) = delete;

  int fd() const { return m_fd; }
  const EntryId& id() const { return m_id; }

  // A new descriptor of the folder `relative` beneath the root (separator-joined names; empty for
  // the root itself), or -1 with errno set as for open.
  int openFolder(std::string_view relative) const;

  // Kernels without openat2 are served one component at a time; tests make this the only way.
  static void setComponentWalkOnly(bool only);

 private:
  int m_fd;
  EntryId m_id;
  uint64_t m_mount;
};

// A finding found again: the folder holding it, open and closed with this object, its name there
// and its mode.
struct LocatedFinding {
  LocatedFinding() = default;
  ~LocatedFinding();
  LocatedFinding(const LocatedFinding&) = delete;
  LocatedFinding& operator=(const LocatedFinding&) = delete;

  int parentFd = -1;
  std::string name;
  unsigned mode = 0;
};

enum class Located {
  Found,
  Gone,     // nothing is at its place any more, or a folder on the way has gone
  Refused,  // no known root, another entry in its place, or the way leads through a link or a mount
};

// Finds a finding again from the root its walk recorded, through the confined root, and only
// while the entry there is still the one listed (device, inode and type, on the root's device).
Located locateFinding(const std::string& path, const FindingOrigin& origin, LocatedFinding& found);

// The identity of an open entry, or of a stat result; unknown when the stat fails.
EntryId entryIdOf(int fd);
EntryId entryIdOf(const struct stat& info);
// The mount an open entry belongs to, which tells a bind mount of the same file system apart; 0
// where the kernel does not tell.
uint64_t mountIdOf(int fd);
// True when an open folder lies on another mount than the given device and mount.
bool isOtherMount(int fd, uint64_t device, uint64_t mount);

}  // namespace qinglan::platform
