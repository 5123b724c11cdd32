#include "cli/PrintableName.h"

#include <cstdio>
#include <utility>

#include "history/EscapedPath.h"
#include "platform/Codepage.h"
#include "platform/Path.h"

namespace qinglan::cli {

namespace {

// Bytes of the control character at `at`: a C0 control or DEL, or a C1 control in UTF-8; 0 for
// any other character.
size_t controlLength(std::string_view text, size_t at) {
  const auto byte = static_cast<unsigned char>(text[at]);
  if (byte < 0x20 || byte == 0x7F)
    return 1;
  if (byte == 0xC2 && at + 1 < text.size()) {
    const auto next = static_cast<unsigned char>(text[at + 1]);
    return next >= 0x80 && next <= 0x9F ? 2 : 0;
  }
  return 0;
}

bool holdsControl(std::string_view text) {
  for (size_t at = 0; at < text.size(); ++at) {
    if (controlLength(text, at) != 0)
      return true;
  }
  return false;
}

std::string escapeControls(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size() + 8);
  for (size_t at = 0; at < text.size();) {
    const size_t length = controlLength(text, at);
    if (length == 0) {
      escaped += text[at++];
      continue;
    }
    for (const size_t end = at + length; at < end; ++at) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(text[at]));
      escaped += hex;
    }
  }
  return escaped;
}

}  // namespace

std::string_view printable(std::string_view text, std::string& storage) {
  // Most names need no escaping: hand them back without a copy.
  // Where the backslash is the separator, names are listed as valid UTF-8, so no \xHH can stand in
  // them, and a backslash is only ever the separator: doubling it would print every path unreadably.
  const bool backslashEscaped = platform::kSeparator != '\\';
  if ((!backslashEscaped || text.find('\\') == std::string_view::npos) && platform::isValidUtf8(text))
    return text;
  storage = escapePathBytes(text);
  return storage;
}

// The printable form holds no stray byte, so each control found in it is the name's own, and its
// \xHH reads back to the same bytes as the other escapes do.
std::string_view printableInText(std::string_view text, std::string& storage) {
  return withControlsEscaped(printable(text, storage), storage);
}

std::string_view withControlsEscaped(std::string_view text, std::string& storage) {
  if (!holdsControl(text))
    return text;
  // `text` may be the storage itself: the escaped form is built aside first.
  std::string escaped = escapeControls(text);
  storage = std::move(escaped);
  return storage;
}

}  // namespace qinglan::cli
