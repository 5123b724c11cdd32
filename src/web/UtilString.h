#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qinglan {

// String cutting on page text. The searches and cuts work on UTF-16 text with positions counted in
// UTF-16 code units from 1; the pieces handed back are the program's UTF-8 text. None of them
// raises: out-of-range positions and counts are clipped.

// At most count units of text from position start; a start below 1 counts as 1.
std::string CopyWideToStr(std::u16string_view text, int start, int count);

// The pieces of text between the occurrences of separator: n occurrences give n + 1 pieces, empty
// ones included. An empty text gives no piece; an empty separator never occurs.
std::vector<std::string> SplitStr(std::u16string_view text, std::u16string_view separator);

// Position of the first occurrence of sub that begins at or after start, or 0 (also for an empty sub
// and for a start beyond the end).
int PosFrom(int start, std::u16string_view text, std::u16string_view sub);

// text with every occurrence of what removed (exact, case-sensitive).
std::string removeAll(std::string_view text, std::string_view what);

}  // namespace qinglan
