#include "web/Utf8.h"

#include <cstdint>
#include <optional>

#include "platform/Codepage.h"

namespace qinglan {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Reads one well-formed sequence at bytes[pos]; on success returns its code point and advances pos.
std::optional<char32_t> readCodePoint(std::string_view bytes, std::size_t& pos) {
  const std::size_t length = platform::utf8SequenceLength(bytes.substr(pos));
  if (length == 0)
    return std::nullopt;
  static constexpr std::uint8_t kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t value = static_cast<std::uint8_t>(bytes[pos]) & kLeadBits[length];
  for (std::size_t i = 1; i < length; ++i)
    value = (value << 6) | (static_cast<std::uint8_t>(bytes[pos + i]) & 0x3F);
  pos += length;
  return value;
}

void appendUtf16(std::u16string& out, char32_t value) {
  if (value < 0x10000) {
    out += static_cast<char16_t>(value);
    return;
  }
  value -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (value >> 10));
  out += static_cast<char16_t>(0xDC00 + (value & 0x3FF));
}

void appendUtf8(std::string& out, char32_t value) {
  if (value < 0x80) {
    out += static_cast<char>(value);
  } else if (value < 0x800) {
    out += static_cast<char>(0xC0 | (value >> 6));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else if (value < 0x10000) {
    out += static_cast<char>(0xE0 | (value >> 12));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (value >> 18));
    out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  }
}

}  // namespace

std::u16string utf8ToWide(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (const auto value = readCodePoint(text, pos)) {
      appendUtf16(wide, *value);
    } else {
      wide += kReplacement;
      ++pos;
    }
  }
  return wide;
}

std::string wideToUtf8(std::u16string_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      appendUtf8(narrow, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
      ++i;
    } else if (high || low) {
      appendUtf8(narrow, kReplacement);
    } else {
      appendUtf8(narrow, unit);
    }
  }
  return narrow;
}

}  // namespace qinglan
