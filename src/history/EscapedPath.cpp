#include "history/EscapedPath.h"

#include <cstdio>

#include "platform/Codepage.h"

namespace qinglan {

namespace {

// The length of the valid UTF-8 sequence at the start of the text, 0 when there is none.
size_t validSequenceLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text.front());
  const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || length > text.size() || !platform::isValidUtf8(text.substr(0, length)))
    return 0;
  return length;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string escapePathBytes(std::string_view bytes) {
  std::string escaped;
  escaped.reserve(bytes.size());
  while (!bytes.empty()) {
    const size_t length = validSequenceLength(bytes);
    if (length == 0) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(bytes.front()));
      escaped += hex;
      bytes.remove_prefix(1);
    } else {
      escaped += bytes.front() == '\\' ? std::string_view("\\\\") : bytes.substr(0, length);
      bytes.remove_prefix(length);
    }
  }
  return escaped;
}

std::optional<std::string> unescapePathBytes(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      bytes += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '\\') {
      bytes += '\\';
      ++i;
    } else if (i + 3 < text.size() && text[i + 1] == 'x' && hexDigit(text[i + 2]) >= 0 &&
               hexDigit(text[i + 3]) >= 0) {
      bytes += static_cast<char>(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
      i += 3;
    } else {
      return std::nullopt;
    }
  }
  return bytes;
}

}  // namespace qinglan
