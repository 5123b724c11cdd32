#include "web/Utf8.h"

#include <cstdint>

namespace qinglan {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Reads one sequence at bytes[pos]; on success returns its code point and advances pos.
std::optional<char32_t> readCodePoint(std::string_view bytes, std::size_t& pos) {
  const auto lead = static_cast<std::uint8_t>(bytes[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int extra = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    value = lead & 0x1F;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    value = lead & 0x0F;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    value = lead & 0x07;
    minimum = 0x10000;
  } else {
    return std::nullopt;
  }
  if (pos + extra >= bytes.size())
    return std::nullopt;
  for (int i = 1; i <= extra; ++i) {
    const auto next = static_cast<std::uint8_t>(bytes[pos + i]);
    if ((next & 0xC0) != 0x80)
      return std::nullopt;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return std::nullopt;
  pos += extra + 1;
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

std::optional<std::u16string> decodeUtf8Strict(std::string_view bytes) {
  std::u16string wide;
  wide.reserve(bytes.size());
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const auto value = readCodePoint(bytes, pos);
    if (!value)
      return std::nullopt;
    appendUtf16(wide, *value);
  }
  return wide;
}

}  // namespace qinglan
