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

// A name or path as text output prints it: the printable form with its control characters (C0,
// DEL and the C1 controls U+0080 to U+009F) written as \xHH of their bytes too, so that a name
// can neither move the cursor nor break a row. JSON output escapes them itself and uses printable.
std::string_view printableInText(std::string_view text, std::string& storage);

// A stored text that names no file (a rule's folder, masks or description) as text output prints
// it: only its control characters are written as \xHH, the rest is left as it is.
std::string_view withControlsEscaped(std::string_view text, std::string& storage);

}  // namespace qinglan::cli
