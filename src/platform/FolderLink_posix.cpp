#include "platform/FolderLink.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace qinglan::platform {

namespace {

constexpr int kMaxLinksInChain = 40;

std::string ownerText(uid_t uid) {
  return "user " + std::to_string(uid);
}

std::string parentOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The owner of every link met while resolving the path's last part: each must be the folder's.
bool everyLinkOwnedBy(std::string path, uid_t owner, std::string& reason) {
  for (int hop = 0; hop < kMaxLinksInChain; ++hop) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
      return true;
    if (link.st_uid != owner) {
      reason = "the link " + path + " belongs to " + ownerText(link.st_uid) + ", the folder it leads to to " +
               ownerText(owner);
      return false;
    }
    std::string text(static_cast<size_t>(link.st_size) + 1, '\0');
    const ssize_t length = ::readlink(path.c_str(), text.data(), text.size());
    if (length < 0 || static_cast<size_t>(length) >= text.size())
      return true;
    text.resize(static_cast<size_t>(length));
    path = text.front() == '/' ? text : parentOf(path) + "/" + text;
  }
  reason = "too many links";
  return false;
}

}  // namespace

std::optional<FollowedLink> followFolderLink(const std::string& path) {
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
    return std::nullopt;
  FollowedLink followed;
  struct stat folder {};
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr || ::stat(resolved, &folder) != 0 || !S_ISDIR(folder.st_mode)) {
    followed.reason = std::string("it leads to no folder: ") + std::strerror(resolved ? ENOTDIR : errno);
    std::free(resolved);
    return followed;
  }
  followed.target = resolved;
  std::free(resolved);
  if (folder.st_uid != ::getuid() && folder.st_uid != 0) {
    followed.reason = "it leads to " + followed.target + ", which belongs to " + ownerText(folder.st_uid);
    return followed;
  }
  followed.trusted = everyLinkOwnedBy(path, folder.st_uid, followed.reason);
  return followed;
}

}  // namespace qinglan::platform
