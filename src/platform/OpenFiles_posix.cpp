#include "platform/OpenFiles_posix.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

namespace qinglan::platform {

namespace {

using EntryKey = std::pair<dev_t, ino_t>;

struct HeldPath {
  std::string path;
  FileHolder holder;
};

bool isProcessName(const char* name) {
  if (*name == '\0')
    return false;
  for (; *name != '\0'; ++name) {
    if (*name < '0' || *name > '9')
      return false;
  }
  return true;
}

std::vector<std::string> folderNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr)
    return names;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] != '.')
      names.emplace_back(entry->d_name);
  }
  closedir(dir);
  return names;
}

std::optional<std::string> linkTarget(const std::string& link) {
  char target[PATH_MAX];
  const ssize_t length = readlink(link.c_str(), target, sizeof target);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof target)
    return std::nullopt;
  return std::string(target, static_cast<size_t>(length));
}

// Held open entries are matched by device and inode, so a path the program reached through a
// link or a hard link elsewhere still counts; a folder is matched by the paths beneath it, which
// /proc gives already resolved, so no walk of the folder is needed.
class ProcOpenFiles final : public OpenFiles {
 public:
  ProcOpenFiles(const std::string& procRoot, int64_t ownPid) {
    for (const std::string& name : folderNames(procRoot)) {
      if (isProcessName(name.c_str()) && std::strtoll(name.c_str(), nullptr, 10) != ownPid)
        readProcess(procRoot + "/" + name, std::strtoll(name.c_str(), nullptr, 10));
    }
  }

  std::optional<FileHolder> holder(const std::string& path, bool isFolder) override {
    struct stat entry {};
    if (lstat(path.c_str(), &entry) != 0)
      return std::nullopt;
    if (const auto found = m_entries.find({entry.st_dev, entry.st_ino}); found != m_entries.end())
      return found->second;
    if (!isFolder || !S_ISDIR(entry.st_mode))
      return std::nullopt;
    return holderBeneath(path);
  }

 private:
  std::optional<FileHolder> holderBeneath(const std::string& folder) const {
    char real[PATH_MAX];
    if (realpath(folder.c_str(), real) == nullptr)
      return std::nullopt;
    std::string prefix(real);
    if (prefix != "/")
      prefix += '/';
    for (const HeldPath& held : m_paths) {
      if (held.path.starts_with(prefix))
        return held.holder;
    }
    return std::nullopt;
  }

  void readProcess(const std::string& folder, int64_t pid) {
    std::ifstream comm(folder + "/comm");
    std::string program;
    if (!std::getline(comm, program))
      return;  // gone already, or not ours to read
    const FileHolder holder{program, pid};
    readDescriptors(folder + "/fd", holder);
    readMaps(folder + "/maps", holder);
  }

  void readDescriptors(const std::string& fdFolder, const FileHolder& holder) {
    for (const std::string& name : folderNames(fdFolder)) {
      const std::string link = fdFolder + "/" + name;
      struct stat target {};
      // A descriptor closed, or a process ended, between the listing and here is simply missed.
      if (stat(link.c_str(), &target) != 0)
        continue;
      hold({target.st_dev, target.st_ino}, holder);
      if (const auto path = linkTarget(link); path && path->starts_with('/'))
        m_paths.push_back({*path, holder});
    }
  }

  // Each line: address perms offset major:minor inode [path]; the device numbers are hexadecimal.
  void readMaps(const std::string& mapsFile, const FileHolder& holder) {
    std::ifstream maps(mapsFile);
    std::string line;
    while (std::getline(maps, line)) {
      std::istringstream fields(line);
      std::string address, perms, offset, device, path;
      unsigned long long inode = 0;
      if (!(fields >> address >> perms >> offset >> device >> inode) || inode == 0)
        continue;
      unsigned major = 0, minor = 0;
      if (std::sscanf(device.c_str(), "%x:%x", &major, &minor) != 2)
        continue;
      hold({makedev(major, minor), static_cast<ino_t>(inode)}, holder);
      if (fields >> std::ws && std::getline(fields, path) && path.starts_with('/'))
        m_paths.push_back({path, holder});
    }
  }

  void hold(const EntryKey& key, const FileHolder& holder) { m_entries.try_emplace(key, holder); }

  std::map<EntryKey, FileHolder> m_entries;
  std::vector<HeldPath> m_paths;
};

}  // namespace

std::unique_ptr<OpenFiles> openFilesFromProc(const std::string& procRoot, int64_t ownPid) {
  return std::make_unique<ProcOpenFiles>(procRoot, ownPid);
}

// The program's own descriptors never keep a finding: it opens findings only to clean them.
std::unique_ptr<OpenFiles> OpenFiles::system() {
  return openFilesFromProc("/proc", getpid());
}

}  // namespace qinglan::platform
