#include "platform/Volumes.h"

#include <windows.h>

namespace qinglan::platform {

std::vector<Volume> systemVolumes() {
  std::vector<Volume> volumes;
  const DWORD drives = ::GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if ((drives & (1u << letter)) == 0)
      continue;
    const wchar_t root[] = {static_cast<wchar_t>(L'A' + letter), L':', L'\\', L'\0'};
    const UINT type = ::GetDriveTypeW(root);
    if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR)
      continue;
    volumes.push_back(
        {std::string{static_cast<char>('A' + letter), ':', '\\'}, static_cast<DriveKind>(type)});
  }
  return volumes;
}

}  // namespace qinglan::platform
