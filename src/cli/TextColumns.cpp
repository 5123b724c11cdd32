#include "cli/TextColumns.h"

#include "platform/Codepage.h"

namespace qinglan::cli {

namespace {

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// The code point of a well-formed sequence of `length` bytes.
char32_t codePoint(std::string_view sequence, std::size_t length) {
  static constexpr unsigned char kLeadBits[] = {0x7F, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t c = static_cast<unsigned char>(sequence[0]) & kLeadBits[length];
  for (std::size_t at = 1; at < length; ++at)
    c = (c << 6) | (static_cast<unsigned char>(sequence[at]) & 0x3F);
  return c;
}

}  // namespace

std::size_t displayWidth(std::string_view text) {
  std::size_t width = 0;
  while (!text.empty()) {
    const std::size_t length = platform::utf8SequenceLength(text);
    width += length != 0 && isWide(codePoint(text, length)) ? 2 : 1;
    text.remove_prefix(length != 0 ? length : 1);
  }
  return width;
}

void appendAligned(std::string& out, std::string_view text, int width) {
  const auto field = static_cast<std::size_t>(width < 0 ? -width : width);
  const std::size_t columns = displayWidth(text);
  const std::size_t padding = columns < field ? field - columns : 0;
  if (width > 0)
    out.append(padding, ' ');
  out += text;
  if (width < 0)
    out.append(padding, ' ');
}

}  // namespace qinglan::cli
