#pragma once

#include <optional>
#include <string>

namespace qinglan::platform {

// Where a link to a folder leads, and whether it may be followed: only when the folder is the
// running user's own or the administrator's, and the link was made by the folder's owner. A link
// someone else planted, on a drive they own, could otherwise lead the program into any folder.
struct FollowedLink {
  std::string target;  // the folder, every link resolved; empty when it cannot be reached
  bool trusted = false;
  std::string reason;  // why it is not followed
};

// Null when no link stands at the path.
std::optional<FollowedLink> followFolderLink(const std::string& path);

}  // namespace qinglan::platform
