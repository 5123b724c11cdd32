#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/Trash.h"

namespace qinglan::platform {

// The calls that move an entry in or out of a trash, so tests can refuse them. Each returns what
// the system call returns and leaves errno set on failure.
class TrashCalls {
 public:
  virtual ~TrashCalls() = default;
  // renameat2 with RENAME_NOREPLACE: never replaces an entry at the target.
  virtual int renameNoReplace(int fromFd, const char* from, int toFd, const char* to);
};

// Where the home trash is: `base` reached as given (a home folder elsewhere, through a link), then
// each of `parts` without following a link. An empty base: there is no home trash.
struct HomeTrashPath {
  std::string base;
  std::vector<std::string> parts;
};

// The desktop trash shared with file managers. The trash info is created first with
// O_EXCL, which claims the name, and the entry is renamed in after it; on any failure the claim is
// dropped and the entry stays where it was.
class PosixTrash final : public Trash {
 public:
  // homeTrash: the home trash folder, its last part never a link; empty for $XDG_DATA_HOME/Trash
  // or ~/.local/share/Trash, read at every call. An entry on the home trash's mount goes nowhere
  // else: when that trash cannot be used, the entry stays.
  explicit PosixTrash(TrashCalls& calls, std::string homeTrash = {})
      : m_calls(calls), m_homeTrash(std::move(homeTrash)) {}

  TrashResult moveToTrash(const std::string& path) override;
  TrashResult moveFinding(const std::string& path, const FindingOrigin& origin) override;
  RestoreResult restore(const TrashLocation& location) override;
  PurgeResult purge(const TrashLocation& location) override;

  // The core of moveToTrash for a parent folder already resolved: moves the entry `name` of the
  // folder open as parentFd, when it is still the entry listed as `expected` (null: any entry).
  TrashResult moveEntry(int parentFd, const std::string& name, const FileIdentity* expected);

 private:
  HomeTrashPath homeTrash() const;

  TrashCalls& m_calls;
  std::string m_homeTrash;
};

// The folder at an absolute path, opened component by component without following any link
// (O_PATH); -1 with errno set when that cannot be done.
int openFolderNoFollow(const std::string& path);

// "%XX" for every byte but ASCII letters, digits, "-", "_", ".", "~" and "/"; and back.
std::string percentEncodePath(const std::string& path);
std::string percentDecodePath(const std::string& text);

}  // namespace qinglan::platform
