#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qinglan::platform {

// What tells one file system entry from every other while it exists: its device and inode, and
// its type, so that an inode number reused at once by an entry of another kind tells them apart.
// A file system with 128-bit ids (ReFS) keeps their upper half in inodeHigh, 0 everywhere else.
struct EntryId {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint32_t type = 0;  // the S_IFMT bits of its mode
  // Last, so that ids written {device, inode, type} mean what they always did.
  uint64_t inodeHigh = 0;

  bool known() const { return inode != 0; }
  friend bool operator==(const EntryId&, const EntryId&) = default;
};

// The folder a walk started from, as cleaning finds it again: `base` reached as given (a folder
// the user chose, links and all), then each component of `below` without following a link and
// without leaving base's file system. `path` is the text the walk's findings start with.
struct ScanRoot {
  std::string base;
  std::string below;  // empty: the root is the base itself
  std::string path;   // ends with the separator
  EntryId id;         // unknown when the walk listed through path texts only
};

// Where a finding was listed: under which root, and which entry it was then.
struct FindingOrigin {
  std::shared_ptr<const ScanRoot> root;
  EntryId id;

  friend bool operator==(const FindingOrigin&, const FindingOrigin&) = default;
};

// The root of a walk that starts at `root`, a folder at or below `base`. A root outside base, or
// an empty base, is its own base: the walk trusts the text it was given and nothing more.
ScanRoot scanRootOf(const std::string& base, const std::string& root);

}  // namespace qinglan::platform
