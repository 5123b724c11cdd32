#include "cli/PrintableName.h"

#include "history/EscapedPath.h"
#include "platform/Codepage.h"

namespace qinglan::cli {

std::string_view printable(std::string_view text, std::string& storage) {
  // Most names need no escaping: hand them back without a copy.
  if (text.find('\\') == std::string_view::npos && platform::isValidUtf8(text))
    return text;
  storage = escapePathBytes(text);
  return storage;
}

}  // namespace qinglan::cli
