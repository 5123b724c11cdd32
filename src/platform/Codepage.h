#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qinglan::platform {

// GBK (code page 936) to UTF-8. A byte sequence that is not GBK becomes U+FFFD.
std::string gbkToUtf8(std::string_view gbk);

// UTF-8 to GBK. A character GBK cannot hold, or an invalid UTF-8 sequence, becomes "?".
std::string utf8ToGbk(std::string_view utf8);

// UTF-16LE to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16leToUtf8(std::string_view utf16le);

// UTF-8 to UTF-16LE, without a byte-order mark; an invalid UTF-8 sequence becomes U+FFFD.
std::string utf8ToUtf16le(std::string_view utf8);

// The length of the well-formed UTF-8 sequence that starts the text, or 0 when none does.
std::size_t utf8SequenceLength(std::string_view text);

// The length of the text without a multibyte sequence cut short at its end: what a writer that
// converts block by block may pass on, keeping the rest for the next block.
std::size_t lengthWithoutCutSequence(std::string_view text);

// Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

// The text with every byte that does not start a well-formed UTF-8 sequence replaced by U+FFFD.
std::string toValidUtf8(std::string_view text);

// U+FFFD, the replacement character, in UTF-8.
inline constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// True when every byte is below 0x80.
bool isAscii(std::string_view text);

}  // namespace qinglan::platform
