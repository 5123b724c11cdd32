#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qinglan::cli {

// The columns a terminal gives UTF-8 text: two for a wide (CJK) character, one for any other
// character and for each byte outside a valid sequence.
std::size_t displayWidth(std::string_view text);

// `text` right-aligned (a negative width: left-aligned) in a field of `width` columns, so that rows
// holding wide characters line up with plain ones.
void appendAligned(std::string& out, std::string_view text, int width);

}  // namespace qinglan::cli
