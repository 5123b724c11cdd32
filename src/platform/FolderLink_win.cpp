#include "platform/FolderLink.h"

#include <memory>
#include <vector>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include "platform/FileHandle_win.h"

namespace qinglan::platform {

namespace {

// The owner of an open entry, with the descriptor that holds it; null when it cannot be read.
struct Owner {
  PSID sid = nullptr;
  std::unique_ptr<void, decltype(&::LocalFree)> descriptor{nullptr, &::LocalFree};
};

std::optional<Owner> ownerOf(HANDLE handle) {
  Owner owner;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner.sid, nullptr, nullptr,
                        nullptr, &descriptor) != ERROR_SUCCESS)
    return std::nullopt;
  owner.descriptor.reset(descriptor);
  return owner;
}

bool isRunningUser(PSID sid) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
    return false;
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  const bool same = size > 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
                    ::EqualSid(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, sid);
  ::CloseHandle(token);
  return same;
}

bool isAdministration(PSID sid) {
  return ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || ::IsWellKnownSid(sid, WinLocalSystemSid);
}

std::string finalPathOf(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length == 0)
      return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(length + 1);
  }
  // The \\?\ form is what the system hands back; the rest of the program writes plain drive paths.
  if (path.starts_with(L"\\\\?\\UNC\\"))
    path = L"\\" + path.substr(7);
  else if (path.starts_with(L"\\\\?\\"))
    path = path.substr(4);
  return utf8Text(path);
}

}  // namespace

std::optional<FollowedLink> followFolderLink(const std::string& path) {
  const FileHandle link = openEntry(path, READ_CONTROL | FILE_READ_ATTRIBUTES);
  const std::optional<HandleInfo> linkInfo = link.valid() ? infoOf(link.get()) : std::nullopt;
  if (!linkInfo || !linkInfo->isLink())
    return std::nullopt;
  FollowedLink followed;
  const FileHandle folder(::CreateFileW(widePath(path).c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const std::optional<HandleInfo> folderInfo = folder.valid() ? infoOf(folder.get()) : std::nullopt;
  if (!folderInfo || !folderInfo->isFolder()) {
    followed.reason = "it leads to no folder";
    return followed;
  }
  followed.target = finalPathOf(folder.get());
  const std::optional<Owner> linkOwner = ownerOf(link.get());
  const std::optional<Owner> folderOwner = ownerOf(folder.get());
  if (followed.target.empty() || !linkOwner || !folderOwner) {
    followed.reason = "its owner cannot be read";
    return followed;
  }
  if (!isRunningUser(folderOwner->sid) && !isAdministration(folderOwner->sid)) {
    followed.reason = "it leads to " + followed.target + ", which belongs to another user";
    return followed;
  }
  followed.trusted = ::EqualSid(linkOwner->sid, folderOwner->sid) != 0;
  if (!followed.trusted)
    followed.reason = "the link and the folder it leads to belong to different users";
  return followed;
}

}  // namespace qinglan::platform
