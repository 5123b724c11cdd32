#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qinglan {

// UTF-8 to UTF-16. Bytes that do not form a valid sequence become U+FFFD each, so the same text
// always gives the same wide text.
std::u16string utf8ToWide(std::string_view text);

// UTF-16 to UTF-8. An unpaired surrogate (a cut through a pair) becomes U+FFFD.
std::string wideToUtf8(std::u16string_view text);

// Strict UTF-8 decoding: sequences of one to four bytes, no overlong forms, no surrogates, nothing
// above U+10FFFF. Any invalid or truncated sequence gives no result.
std::optional<std::u16string> decodeUtf8Strict(std::string_view bytes);

}  // namespace qinglan
