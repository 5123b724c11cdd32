#include "platform/VolumeSpace.h"

#include <memory>
#include <string_view>

#include <windows.h>

#include "platform/FindingLocate_win.h"
#include "platform/NativePath.h"

namespace qinglan::platform {

namespace {

// "\\?\C:\" is shown, and journalled, as "C:\".
std::string shownRoot(std::wstring_view root) {
  constexpr std::wstring_view kPrefix = L"\\\\?\\";
  if (root.substr(0, kPrefix.size()) == kPrefix)
    root.remove_prefix(kPrefix.size());
  return utf8Text(root);
}

class WinVolumeSpace final : public VolumeSpace {
 public:
  std::optional<SpaceReading> read(const std::string& path) override {
    const std::wstring root = volumeRootOf(path);
    ULARGE_INTEGER available{};
    if (root.empty() || !::GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr))
      return std::nullopt;
    return SpaceReading{shownRoot(root), available.QuadPart};
  }
};

}  // namespace

std::unique_ptr<VolumeSpace> VolumeSpace::system() {
  return std::make_unique<WinVolumeSpace>();
}

}  // namespace qinglan::platform
