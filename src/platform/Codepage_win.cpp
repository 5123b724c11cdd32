#include "platform/Codepage.h"

#include <cstddef>
#include <string>

#include <windows.h>

namespace qinglan::platform {

namespace {

constexpr UINT kGbk = 936;

// The UTF-16 text of bytes in a code page, or empty when flags refuse a sequence in them.
std::wstring toWide(UINT codePage, DWORD flags, std::string_view bytes, bool& ok) {
  ok = true;
  if (bytes.empty())
    return {};
  const int size = static_cast<int>(bytes.size());
  const int length = ::MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
  if (length <= 0) {
    ok = false;
    return {};
  }
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), length);
  return wide;
}

std::string fromWide(UINT codePage, DWORD flags, std::wstring_view wide, const char* defaultChar) {
  if (wide.empty())
    return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, defaultChar, nullptr);
  std::string bytes(static_cast<size_t>(std::max(length, 0)), '\0');
  ::WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, defaultChar, nullptr);
  return bytes;
}

// The length of the GBK character that starts the text: 1 for ASCII, 2 for a lead byte followed
// by a trail byte, 0 for anything else.
size_t gbkCharacterLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80)
    return 1;
  if (lead == 0x80 || lead == 0xFF || text.size() < 2)
    return 0;
  const auto trail = static_cast<unsigned char>(text[1]);
  return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 0;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
  if (isAscii(gbk))
    return std::string(gbk);
  bool ok = false;
  const std::wstring whole = toWide(kGbk, MB_ERR_INVALID_CHARS, gbk, ok);
  if (ok)
    return fromWide(CP_UTF8, 0, whole, nullptr);
  // Some sequence is not GBK: characters are converted one by one, each bad byte standing as U+FFFD.
  std::string utf8;
  while (!gbk.empty()) {
    const size_t length = gbkCharacterLength(gbk);
    const std::wstring one =
        length == 0 ? std::wstring() : toWide(kGbk, MB_ERR_INVALID_CHARS, gbk.substr(0, length), ok);
    if (length == 0 || !ok) {
      utf8 += kReplacementUtf8;
      gbk.remove_prefix(1);
      continue;
    }
    utf8 += fromWide(CP_UTF8, 0, one, nullptr);
    gbk.remove_prefix(length);
  }
  return utf8;
}

std::string utf8ToGbk(std::string_view utf8) {
  if (isAscii(utf8))
    return std::string(utf8);
  // A sequence that is not UTF-8 becomes "?" before the conversion, as a character GBK lacks does
  // in it; so does a character beyond the 16-bit plane, which GBK never holds and which would
  // otherwise leave one "?" for each half of its surrogate pair.
  std::string valid;
  valid.reserve(utf8.size());
  while (!utf8.empty()) {
    const size_t length = utf8SequenceLength(utf8);
    valid += length == 0 || length == 4 ? std::string_view("?") : utf8.substr(0, length);
    utf8.remove_prefix(std::max<size_t>(1, length));
  }
  bool ok = false;
  return fromWide(kGbk, WC_NO_BEST_FIT_CHARS, toWide(CP_UTF8, 0, valid, ok), "?");
}

std::string utf16leToUtf8(std::string_view utf16le) {
  std::wstring wide(utf16le.size() / 2, L'\0');
  for (size_t i = 0; i < wide.size(); ++i) {
    wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(utf16le[2 * i]) |
                                   static_cast<unsigned char>(utf16le[2 * i + 1]) << 8);
  }
  // Unpaired surrogates become U+FFFD in the conversion, and so does an odd last byte here.
  std::string utf8 = fromWide(CP_UTF8, 0, wide, nullptr);
  if (utf16le.size() % 2 != 0)
    utf8 += kReplacementUtf8;
  return utf8;
}

std::string utf8ToUtf16le(std::string_view utf8) {
  bool ok = false;
  const std::wstring wide = toWide(CP_UTF8, 0, toValidUtf8(utf8), ok);
  std::string bytes;
  bytes.reserve(wide.size() * 2);
  for (const wchar_t unit : wide) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
  }
  return bytes;
}

}  // namespace qinglan::platform
