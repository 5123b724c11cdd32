#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ScanRoot.h"
#include "platform/SystemTime.h"

namespace qinglan::platform {

// Attribute bits of a listed entry.
inline constexpr uint32_t kAttrReadOnly = 0x01;       // owner may not write
inline constexpr uint32_t kAttrHidden = 0x02;         // name begins with "."
inline constexpr uint32_t kAttrSystem = 0x04;         // device, pipe or socket
inline constexpr uint32_t kAttrDirectory = 0x10;      // a folder, or a link to one
inline constexpr uint32_t kAttrArchive = 0x20;        // a regular file
inline constexpr uint32_t kAttrReparsePoint = 0x400;  // a symbolic link

// One entry of a folder as the listing gives it: its raw name and the attribute bits that
// need no stat call (every bit but kAttrReadOnly; a link is resolved to learn kAttrDirectory).
struct DirEntry {
  std::string name;
  uint32_t attributes = 0;

  bool isFolder() const { return (attributes & kAttrDirectory) != 0; }
  bool isLink() const { return (attributes & kAttrReparsePoint) != 0; }
  // A folder the walk may enter: a real folder, never a link to one.
  bool isEnterableFolder() const { return isFolder() && !isLink(); }
};

// The order of a listing, the one NTFS keeps: ASCII letters compared upper-cased, everything else
// by byte value; names that fold to the same text by their raw bytes, so the order is total.
bool listedBefore(const DirEntry& left, const DirEntry& right);
// Puts a folder's entries in listing order (listedBefore), cheaper than a plain sort by it.
void sortListed(std::vector<DirEntry>& entries);

// What a stat of one entry adds to the listing.
struct EntryDetails {
  uint32_t attributes = 0;  // complete, kAttrReadOnly included
  int64_t size = 0;         // bytes; 0 for folders and links
  SystemTime creationTime;  // birth time where the file system keeps one, else the write time
  SystemTime lastAccessTime;
  SystemTime lastWriteTime;
  EntryId id;  // unknown where the lister has none
};

// The entries of one opened folder, sorted by name with ASCII letters upper-cased; "." and ".."
// are never listed. Owns the folder's descriptor so details are read relative to it.
class DirListing {
 public:
  virtual ~DirListing() = default;
  virtual const std::vector<DirEntry>& entries() const = 0;
  // Stats one entry of this listing without following a link. Empty when the entry has gone.
  virtual std::optional<EntryDetails> details(const DirEntry& entry) = 0;
  // False once the folder has been removed since it was listed.
  virtual bool stillThere() const { return true; }
};

// The root folder of one walk, held open while the walk lasts.
class WalkRoot {
 public:
  struct Listed {
    std::unique_ptr<DirListing> listing;  // null when the folder cannot be listed
    bool leftOut = false;                 // a link or another file system stands there: not entered
    // A folder stands there but cannot be read (refused, an I/O error), as opposed to nothing
    // standing there at all; the scans count such folders.
    bool unreadable = false;
    // Refused for want of a descriptor, the process's or the system's: the folder itself may be
    // fine, and listing it again once others are closed may succeed. Unreadable all the same.
    bool outOfDescriptors = false;
  };

  virtual ~WalkRoot() = default;
  // Lists the folder `relative` beneath the root (separator-joined names, empty for the root
  // itself); `folder` is the same folder's path text.
  virtual Listed list(std::string_view relative, const std::string& folder) = 0;
  // What the walk's findings keep to be found again.
  virtual const std::shared_ptr<const ScanRoot>& scanRoot() const = 0;
};

// Opens folders for listing. Tests substitute their own to inject failures.
class DirLister {
 public:
  virtual ~DirLister() = default;
  // The folder's entries, or nullptr when it cannot be listed (missing, refused, not a folder).
  // The folder may be given with or without a trailing separator.
  virtual std::unique_ptr<DirListing> list(const std::string& folder) = 0;

  // Opens the root of a walk as scanRootOf(base, root) describes it. A root that cannot be opened
  // comes back all the same, and listing it says why. The system's lister opens every folder
  // beneath it from the root's descriptor, never through a link or into another file system; this
  // default lists each by its path text and, unable to tell a missing folder from a refused one,
  // takes every folder it cannot list for unreadable.
  virtual std::unique_ptr<WalkRoot> openRoot(const std::string& base, const std::string& root);

  // The lister over the real file system.
  static DirLister& system();
};

}  // namespace qinglan::platform
