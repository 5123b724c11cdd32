#pragma once

#include <string>

namespace qinglan::platform {

// The folder of the running executable, with a trailing separator; the working folder when the
// system cannot tell.
std::string executableFolder();

// The user's home folder: $HOME when set, else the account's; empty when neither is known.
std::string homeFolder();

// True when the running user may create and replace files in the folder.
bool folderIsWritable(const std::string& folder);

}  // namespace qinglan::platform
