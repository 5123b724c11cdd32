#pragma once

#include <memory>
#include <string>

#include "platform/OpenFiles.h"

namespace qinglan::platform {

// The open entries of every process under procRoot (a tree laid out as /proc is) but ownPid, read
// once. A process that vanishes while it is read, or cannot be read, is passed over.
std::unique_ptr<OpenFiles> openFilesFromProc(const std::string& procRoot, int64_t ownPid);

}  // namespace qinglan::platform
