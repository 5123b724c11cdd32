#include "cli/PrintableName.h"

#include <cstdio>

#include "platform/Codepage.h"
#include "search/Mask.h"

namespace qinglan::cli {

std::string_view printable(std::string_view text, std::string& storage) {
  if (text.find('\\') == std::string_view::npos && platform::isValidUtf8(text))
    return text;
  const auto* end = reinterpret_cast<const unsigned char*>(text.data()) + text.size();
  storage.clear();
  for (auto* p = reinterpret_cast<const unsigned char*>(text.data()); p < end;) {
    const int length = utf8CharLength(p, end);
    if (*p == '\\') {
      storage += "\\\\";
    } else if (*p >= 0x80 && length == 1) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", *p);
      storage += hex;
    } else {
      storage.append(reinterpret_cast<const char*>(p), static_cast<size_t>(length));
    }
    p += length;
  }
  return storage;
}

}  // namespace qinglan::cli
