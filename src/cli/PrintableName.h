#pragma once

#include <string>
#include <string_view>

namespace qinglan::cli {

// The one printed form of a name or path, in every command and in text and JSON alike: a byte
// outside a valid UTF-8 sequence is written as \xHH and every backslash is doubled, so a literal
// "\xC4" (printed "\\xC4") never reads like the byte 0xC4. On Windows valid UTF-8 is printed as it
// is, backslashes included: they are separators there. Returns the text itself when it needs no
// escape, else the escaped form kept in `storage`.
std::string_view printable(std::string_view text, std::string& storage);

}  // namespace qinglan::cli
