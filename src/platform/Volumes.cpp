#include "platform/Volumes.h"

#include <algorithm>
#include <optional>
#include <string>

#include "platform/CaselessName.h"
#include "platform/Environment.h"
#include "platform/Path.h"
#include "platform/TextTrim.h"

namespace qinglan::platform {

namespace {

std::optional<DriveKind> kindFromName(std::string_view name) {
  const std::string lower = asciiLower(name);
  if (lower == "fixed")
    return DriveKind::Fixed;
  if (lower == "removable")
    return DriveKind::Removable;
  if (lower == "remote")
    return DriveKind::Remote;
  if (lower == "optical")
    return DriveKind::Optical;
  if (lower == "ram")
    return DriveKind::Ram;
  return std::nullopt;
}

}  // namespace

std::vector<Volume> parseVolumesOverride(std::string_view text) {
  std::vector<Volume> volumes;
  for (size_t start = 0; start <= text.size();) {
    const size_t end = std::min(text.find(';', start), text.size());
    const std::string_view piece = text.substr(start, end - start);
    start = end + 1;
    // The kind never holds "=", so the last one ends the path.
    const size_t equals = piece.rfind('=');
    if (equals == std::string_view::npos)
      continue;
    const std::string_view root = trimWhitespace(piece.substr(0, equals));
    const std::optional<DriveKind> kind = kindFromName(trimWhitespace(piece.substr(equals + 1)));
    if (root.empty() || !kind)
      continue;
    volumes.push_back({withTrailingSeparator(std::string(root)), *kind});
  }
  return volumes;
}

std::vector<Volume> listVolumes() {
  if (const std::optional<std::string> override = environmentVariable("QINGLAN_VOLUMES"))
    return parseVolumesOverride(*override);
  return systemVolumes();
}

}  // namespace qinglan::platform
