#include "cli/PrintableName.h"

#include "history/EscapedPath.h"
#include "platform/Codepage.h"

namespace qinglan::cli {

std::string_view printable(std::string_view text, std::string& storage) {
  // Most names need no escaping: hand them back without a copy.
#ifdef _WIN32
  // Names listed on Windows are always valid UTF-8, so no \xHH can stand in them, and a backslash
  // is only ever the separator: doubling it would print every path unreadably.
  if (platform::isValidUtf8(text))
    return text;
#else
  if (text.find('\\') == std::string_view::npos && platform::isValidUtf8(text))
    return text;
#endif
  storage = escapePathBytes(text);
  return storage;
}

}  // namespace qinglan::cli
