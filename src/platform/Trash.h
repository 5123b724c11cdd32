#pragma once

#include <cstdint>
#include <string>

#include "platform/ScanRoot.h"

namespace qinglan::platform {

// Where a trashed entry went: the trash folder (holding files/ and info/), the entry's name in
// files/, and the path it was moved from, links resolved, as its trash info records it. The
// identities tell the entry, the trash folder and the folder it came from apart from whatever
// takes their names later; unknown ones mean it cannot be restored.
struct TrashLocation {
  std::string folder;
  std::string name;
  std::string origin;
  EntryId entry;         // the entry moved; a rename keeps its device and inode
  EntryId trashFolder;   // the folder `folder` names
  EntryId originFolder;  // the folder it was moved from
  // The entry's birth time in nanoseconds, which tells it from a later entry given its freed
  // inode; 0 where its file system keeps none.
  int64_t entryBorn = 0;

  friend bool operator==(const TrashLocation&, const TrashLocation&) = default;
};

// The outcome of trashing one entry. Nothing is ever copied or deleted instead: an entry that
// cannot be renamed into a trash on its own file system stays where it is, with the reason.
struct TrashResult {
  bool moved = false;
  bool absent = false;  // nothing was at the path
  TrashLocation location;
  std::string reason;  // why the entry stayed, when it did
};

struct RestoreResult {
  bool restored = false;
  std::string reason;  // why the entry stayed in the trash
};

struct PurgeResult {
  bool purged = false;
  bool gone = false;   // the trash no longer holds it: emptied or restored by other means
  std::string reason;  // why the entry stayed in the trash
};

// The device and inode an entry had when it was listed.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
};

// The desktop trash: the home trash when the entry is on the home trash's file system, else the
// trash at the top of the entry's own volume.
class Trash {
 public:
  virtual ~Trash() = default;
  // Moves the entry at the path into the trash. The path's folders are resolved without
  // following links; the entry itself may be a link, which is moved, never what it points to.
  virtual TrashResult moveToTrash(const std::string& path) = 0;
  // Moves a finding into the trash after finding it again from the root its walk recorded, as
  // deletion does: never through a link or a mount, and only while it is the entry listed.
  virtual TrashResult moveFinding(const std::string& path, const FindingOrigin& origin) = 0;
  // Puts a trashed entry back at its origin and drops its trash info, only while the trash entry
  // and the origin's folder are the ones recorded. Never replaces an entry that has taken the
  // origin's name meanwhile: the trashed one then stays in the trash.
  virtual RestoreResult restore(const TrashLocation& location) = 0;
  // Deletes a trashed entry and its trash info for good, through the remover, only while the trash
  // folder and the entry are the ones recorded; never through a link or a mount.
  virtual PurgeResult purge(const TrashLocation& location) = 0;

  static Trash& system();
};

}  // namespace qinglan::platform
