#pragma once

#include <string>
#include <utility>

#include "platform/Trash.h"

namespace qinglan::platform {

// The Recycle Bin the shell shows: `<volume root>\$Recycle.Bin\<user's SID>`, holding each entry as
// "$R" + six random characters + its extension beside its record, "$I" + the same. The record is
// made first under a new name, which claims it, and the entry renamed in after it by the handle it
// was found by; on any failure the record goes and the entry stays where it was.
class WinTrash final : public Trash {
 public:
  // binRoot: the folder that holds $Recycle.Bin in place of each entry's volume root; empty for the
  // volume root.
  explicit WinTrash(std::string binRoot = {}) : m_binRoot(std::move(binRoot)) {}

  TrashResult moveToTrash(const std::string& path) override;
  TrashResult moveFinding(const std::string& path, const FindingOrigin& origin) override;
  RestoreResult restore(const TrashLocation& location) override;
  PurgeResult purge(const TrashLocation& location) override;

 private:
  std::string m_binRoot;
};

}  // namespace qinglan::platform
