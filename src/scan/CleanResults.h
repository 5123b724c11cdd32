#pragma once

#include <string>

namespace qinglan {

namespace platform {
class Remover;
}
class ScanView;

// The "清理选定" command: after the user confirms, deletes every checked row of the results list
// and marks the row "清理成功" when the entry the scan listed is gone, else "清理失败". Unchecked
// rows stay as they are. A row is found again from the root its scan walked, never through a link
// or into another file system, and deleted only while it is the same entry (device and inode): a
// row whose entry was replaced since the scan, or that no scan listed, is kept and fails.
void cleanCheckedResults(ScanView& view);
void cleanCheckedResults(ScanView& view, platform::Remover& remover);

// True when a file, a folder or a link (even a dangling one) is at the path, or when that
// cannot be told.
bool pathExists(const std::string& path);

}  // namespace qinglan
