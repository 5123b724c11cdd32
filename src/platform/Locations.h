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

// True when a folder stands at the path, links followed.
bool isFolder(const std::string& path);

// Where an installed program keeps the user's files of each kind, with a trailing separator:
// the XDG folders (an absolute $XDG_DATA_HOME, $XDG_CONFIG_HOME, $XDG_STATE_HOME, else their
// defaults under the home folder) here, the roaming and local application data on Windows.
enum class UserFolder { Data, Config, State };
std::string userFolder(UserFolder kind);

}  // namespace qinglan::platform
