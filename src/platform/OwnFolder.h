#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "platform/FileReplace.h"

namespace qinglan::platform {

// Raised when a folder the program keeps its own files in, or a file in it, could be changed by
// someone else or leads elsewhere: "unsafe program folder <folder>: <reason>". Nothing is written.
class UnsafeFolderError : public std::runtime_error {
 public:
  UnsafeFolderError(std::string folder, std::string reason);

  const std::string& folder() const { return m_folder; }
  const std::string& reason() const { return m_reason; }

 private:
  std::string m_folder;
  std::string m_reason;
};

// A file of the program's own open for appending; each append reaches the system before it returns.
class AppendedFile {
 public:
  explicit AppendedFile(int fd) : m_fd(fd) {}
  ~AppendedFile();
  AppendedFile(AppendedFile&& other) noexcept;
  AppendedFile& operator=(AppendedFile&&) = delete;
  AppendedFile(const AppendedFile&) = delete;

  bool append(std::string_view bytes);
  // True when the file is empty or its last byte ends a line.
  bool endsWithLineEnd() const;

 private:
  int m_fd;
};

// A folder of the program's own files, held open: not a link, a folder, owned by the running user
// (or root), writable by no group and no other user. Its files are read, created and replaced
// relative to the open folder, never through a link, so nobody else can place or redirect them.
class OwnFolder {
 public:
  // Opens the folder at the path. Empty, errno set, when there is none or it cannot be opened;
  // raises UnsafeFolderError when it fails the checks.
  static std::optional<OwnFolder> open(const std::string& path);
  // The same, creating the folder first (only its owner may enter it) with its missing parents. The
  // parents are taken as given; the folder itself is made and opened without following a link.
  static std::optional<OwnFolder> make(const std::string& path);

  ~OwnFolder();
  OwnFolder(OwnFolder&& other) noexcept;
  OwnFolder& operator=(OwnFolder&&) = delete;
  OwnFolder(const OwnFolder&) = delete;

  // The folder's path, with a trailing separator.
  const std::string& path() const { return m_path; }

  // The file's bytes and mode; a missing file is Missing. Raises UnsafeFolderError when a link or
  // anything but a file stands there.
  WholeFile read(std::string_view name) const;
  // True when something other than a file stands under the name (a link, a folder).
  bool holdsOtherThanFile(std::string_view name) const;
  // The size of the file under the name; empty when no file stands there.
  std::optional<std::uintmax_t> fileSize(std::string_view name) const;
  // Replaces the file (or a link standing in its place, not the link's target) with one holding the
  // bytes: written in full under a new name of its own, made durable, then renamed over it in one
  // step. `mode` gives the new file's permission bits (0 leaves the default). False when a step
  // fails; the old file is then as it was and no temporary file is left.
  bool replace(std::string_view name, std::string_view bytes, unsigned mode) const;
  // Opens the file for appending, creating it. Empty when it cannot be opened; raises
  // UnsafeFolderError when a link or anything but a file stands there.
  std::optional<AppendedFile> openForAppend(std::string_view name) const;
  // A new durable file holding the bytes under a name no other file had, starting with `prefix`,
  // for a caller that works on it by path and then renames it into place; `mode` as for replace.
  // Its name, or empty.
  std::string writeTemporary(std::string_view prefix, std::string_view bytes, unsigned mode = 0) const;
  // Renames one of the folder's entries over another in one step and makes the rename durable.
  bool rename(std::string_view from, std::string_view to) const;
  // Removes a temporary file this program made in the folder.
  void removeTemporary(std::string_view name) const;

 private:
  OwnFolder(std::string path, std::intptr_t handle) : m_path(std::move(path)), m_handle(handle) {}
  static std::optional<OwnFolder> opened(const std::string& path, bool create);

  std::string m_path;
  std::intptr_t m_handle;  // the folder's descriptor here, its handle on Windows
};

}  // namespace qinglan::platform
