#pragma once

#include <cstddef>
#include <string>

namespace qinglan {

namespace platform {
class Remover;
}
class ScanView;
struct ResultsRow;

// Cleans one checked row of a pass and gives the status the row then reads.
class RowCleaner {
 public:
  virtual ~RowCleaner() = default;
  virtual std::string clean(size_t index, const ResultsRow& row) = 0;
};

// The "清理选定" command: after the user confirms, deletes the full path of every checked row of the
// results list and marks the row "清理成功" when nothing is left at the path, else "清理失败"; the
// closing message counts the failures. Unchecked rows stay as they are; with none checked nothing is
// asked. Deletion never follows a symbolic link: a row whose path has
// become a link since the scan removes the link only.
void cleanCheckedResults(ScanView& view);
void cleanCheckedResults(ScanView& view, platform::Remover& remover);
// The same pass with each checked row cleaned by the cleaner.
void cleanCheckedResults(ScanView& view, RowCleaner& cleaner);

// Deletes a row's path permanently: "清理成功" when nothing is left at the path, else "清理失败".
std::string deleteRowPath(const ResultsRow& row, platform::Remover& remover);

// True when a file, a folder or a link (even a dangling one) is at the path, or when that
// cannot be told.
bool pathExists(const std::string& path);

}  // namespace qinglan
