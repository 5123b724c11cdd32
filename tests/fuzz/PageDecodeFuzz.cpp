#include <cstring>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "FuzzEntries.h"
#include "platform/Codepage.h"
#include "web/Utf8.h"

namespace qinglan::fuzz {
namespace {

// Well-formed UTF-8 by the table of valid byte sequences: each lead byte with the range its
// second byte must fall in, then plain continuation bytes.
bool isWellFormedUtf8(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = byte(i);
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead <= 0x7F) {
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      low = lead == 0xE0 ? 0xA0 : 0x80;
      high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      low = lead == 0xF0 ? 0x90 : 0x80;
      high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
      return false;
    }
    if (i + length > text.size())
      return false;
    if (length > 1 && (byte(i + 1) < low || byte(i + 1) > high))
      return false;
    for (size_t k = 2; k < length; ++k) {
      if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
        return false;
    }
    i += length;
  }
  return true;
}

bool isWellFormedUtf16(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xDC00 && unit <= 0xDFFF)
      return false;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
        return false;
      ++i;
    }
  }
  return true;
}

}  // namespace

int fuzzPageDecode(const uint8_t* data, size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);

  // A body is text exactly when it is well formed, and then it converts both ways unchanged.
  const bool strict = platform::isValidUtf8(body);
  FUZZ_CHECK(strict == isWellFormedUtf8(body));
  const std::u16string lenient = utf8ToWide(body);
  FUZZ_CHECK(isWellFormedUtf16(lenient));
  if (strict)
    FUZZ_CHECK(wideToUtf8(lenient) == body);
  FUZZ_CHECK(isWellFormedUtf8(wideToUtf8(lenient)));

  // Any code units, a broken surrogate pair included, give well-formed UTF-8.
  std::u16string units(size / 2, u'\0');
  std::memcpy(units.data(), data, units.size() * sizeof(char16_t));
  const std::string narrow = wideToUtf8(units);
  FUZZ_CHECK(isWellFormedUtf8(narrow));
  if (isWellFormedUtf16(units))
    FUZZ_CHECK(utf8ToWide(narrow) == units);
  return 0;
}

}  // namespace qinglan::fuzz
