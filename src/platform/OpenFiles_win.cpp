#include <windows.h>

#include <restartmanager.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/DirLister.h"
#include "platform/NativePath.h"
#include "platform/OpenFiles.h"
#include "platform/Path.h"

namespace qinglan::platform {

namespace {

// A folder is asked about through the files beneath it; past this many the rest go unasked, so a
// huge folder does not stall the pass.
constexpr size_t kMaxFolderFiles = 256;

// The Restart Manager wants plain paths: the "\\?\" form is not one it matches.
std::wstring restartManagerPath(const std::string& path) {
  std::wstring wide = widePath(path);
  if (wide.starts_with(L"\\\\?\\UNC\\"))
    return L"\\\\" + wide.substr(8);
  if (wide.starts_with(L"\\\\?\\"))
    return wide.substr(4);
  return wide;
}

// Real folders only, never a link or junction: what lies behind one is not cleaned with the folder.
void addFilesBeneath(const std::string& folder, std::vector<std::wstring>& files) {
  const auto listing = DirLister::system().list(folder);
  if (!listing)
    return;
  for (const DirEntry& entry : listing->entries()) {
    if (files.size() >= kMaxFolderFiles)
      return;
    const std::string path = folder + kSeparator + entry.name;
    if (entry.isEnterableFolder())
      addFilesBeneath(path, files);
    else if (!entry.isFolder())
      files.push_back(restartManagerPath(path));
  }
}

// The program's own handles never keep a finding: it opens findings only to clean them.
std::optional<FileHolder> firstOther(std::span<const RM_PROCESS_INFO> processes) {
  for (const RM_PROCESS_INFO& process : processes) {
    if (process.Process.dwProcessId != GetCurrentProcessId())
      return FileHolder{utf8Text(process.strAppName), static_cast<int64_t>(process.Process.dwProcessId)};
  }
  return std::nullopt;
}

class Session {
 public:
  Session() {
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    m_started = RmStartSession(&m_handle, 0, key) == ERROR_SUCCESS;
  }
  ~Session() {
    if (m_started)
      RmEndSession(m_handle);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The first program holding any of the files; none as well when the Restart Manager fails.
  std::optional<FileHolder> holder(const std::vector<std::wstring>& files) {
    std::vector<LPCWSTR> names;
    for (const std::wstring& file : files)
      names.push_back(file.c_str());
    if (!m_started || RmRegisterResources(m_handle, static_cast<UINT>(names.size()), names.data(), 0, nullptr,
                                          0, nullptr) != ERROR_SUCCESS)
      return std::nullopt;
    std::vector<RM_PROCESS_INFO> processes(4);
    for (int attempt = 0; attempt < 3; ++attempt) {
      UINT needed = 0;
      UINT count = static_cast<UINT>(processes.size());
      DWORD reasons = 0;
      const DWORD result = RmGetList(m_handle, &needed, &count, processes.data(), &reasons);
      if (result == ERROR_MORE_DATA) {
        processes.resize(needed);  // more programs came meanwhile: ask again with room for them
        continue;
      }
      if (result != ERROR_SUCCESS)
        return std::nullopt;
      return firstOther({processes.data(), count});
    }
    return std::nullopt;
  }

 private:
  DWORD m_handle = 0;
  bool m_started = false;
};

// The Restart Manager is the system's own answer to who holds a file. Where it is missing or fails
// (as under some emulators, which answer that nobody holds anything), the entry is taken for not known to be
// in use, and cleaning it is left to the remover, which fails on a file Windows keeps locked.
class RestartManagerOpenFiles final : public OpenFiles {
 public:
  std::optional<FileHolder> holder(const std::string& path, bool isFolder) override {
    std::vector<std::wstring> files;
    if (isFolder)
      addFilesBeneath(path, files);
    else
      files.push_back(restartManagerPath(path));
    if (files.empty())
      return std::nullopt;
    Session session;
    return session.holder(files);
  }
};

}  // namespace

std::unique_ptr<OpenFiles> OpenFiles::system() {
  return std::make_unique<RestartManagerOpenFiles>();
}

}  // namespace qinglan::platform
