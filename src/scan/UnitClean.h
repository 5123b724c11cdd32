#pragma once

#include <string>

#include "platform/ScanRoot.h"

namespace qinglan::platform {
class Remover;
}

namespace qinglan {

// Deletes a file, a link or a whole folder tree permanently and silently. True on success;
// parts of a tree deleted before a failure stay deleted.
bool ShellDeletePath(const std::string& path);
bool ShellDeletePath(const std::string& path, platform::Remover& remover);
// Deletes a scan's finding at `path` only while it is the entry the scan listed under its root
// (see Remover::removeFinding). True when that entry is gone.
bool ShellDeletePath(const std::string& path, const platform::FindingOrigin& origin,
                     platform::Remover& remover);

}  // namespace qinglan
