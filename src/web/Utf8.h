#pragma once

#include <string>
#include <string_view>

namespace qinglan {

// UTF-8 to UTF-16. Bytes that do not form a well-formed sequence (platform::utf8SequenceLength) become U+FFFD
// each, so the same text always gives the same wide text.
std::u16string utf8ToWide(std::string_view text);

// UTF-16 to UTF-8. An unpaired surrogate (a cut through a pair) becomes U+FFFD.
std::string wideToUtf8(std::u16string_view text);

}  // namespace qinglan
