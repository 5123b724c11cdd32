#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scan/ScanSettings.h"

namespace qinglan {

namespace platform {
class Remover;
}  // namespace platform
class ScanFront;
struct ResultsRow;

// The free bytes a volume gained over a pass (after minus before); negative when something else
// wrote to it meanwhile.
struct VolumeGain {
  std::string root;
  int64_t bytes = 0;

  friend bool operator==(const VolumeGain&, const VolumeGain&) = default;
};

// The sum of the gains, never below zero.
int64_t freedBytes(const std::vector<VolumeGain>& gains);

// Cleans one checked row of a pass and gives the status the row then reads.
class RowCleaner {
 public:
  virtual ~RowCleaner() = default;
  virtual std::string clean(size_t index, const ResultsRow& row) = 0;
  // The bytes the pass moved into the trash: still taken on the volumes until the trash is emptied.
  virtual int64_t trashedBytes() const { return 0; }
  // Told once after the last row, with the gain of each volume that held a checked row.
  virtual void passEnded(const std::vector<VolumeGain>&) {}
};

// The "清理选定" command: after the user confirms, deletes every checked row of the results list
// and marks the row "清理成功" when the entry the scan listed is gone, else "清理失败"; the closing
// message counts the failures. Unchecked rows stay as they are; with none checked nothing is asked.
// A stop ends the pass between two rows: the row being cleaned is finished, the rows after it keep
// an empty status, and the closing message says the pass stopped.
// A row is found again from the root its scan walked, never through a link or into another file
// system, and deleted only while it is the same entry (device and inode): a row whose entry was
// replaced since the scan, or that no scan listed, is kept and fails.
void cleanCheckedResults(ScanFront& front);
void cleanCheckedResults(ScanFront& front, platform::Remover& remover);
// A checked row the pass kept because a running program holds it open: "被 PROGRAM 使用".
struct KeptRow {
  size_t index = 0;
  std::string reason;
};

// The same pass with each checked row cleaned by the cleaner. The free space of each volume holding
// a checked row is read before and after (through the front's reader, else the system's); the closing
// message counts the rows cleaned and says the bytes the volumes gained, and for a trash pass the
// bytes moved into the trash. With settings.skipInUse a row a
// running program holds open, or for a folder anything beneath it, is not handed to the cleaner:
// it reads "正在使用", counts as neither cleaned nor failed, and comes back with its reason. Who
// holds what is read once, when the pass starts.
std::vector<KeptRow> cleanCheckedResults(ScanFront& front, RowCleaner& cleaner,
                                         const CleanSettings& settings = {});

// Deletes a row's entry permanently through the confined path: "清理成功" when it is gone, else "清理失败".
std::string deleteRowPath(const ResultsRow& row, platform::Remover& remover);

}  // namespace qinglan
