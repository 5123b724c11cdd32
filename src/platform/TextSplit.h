#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qinglan::platform {

// The lines of a text: a line ends at CR LF, CR or LF; a final line break adds no empty line; an
// empty line stays as an empty piece (as a mask, it matches no name).
std::vector<std::string> splitLines(std::string_view text);

}  // namespace qinglan::platform

namespace qinglan {

// The pieces of the text between the occurrences of the delimiter, in order, empty pieces
// included: "a/b/" gives "a", "b" and "". Empty text gives no piece; an empty delimiter never occurs.
std::vector<std::string> SplitAtDelimiter(std::string_view text, std::string_view delimiter);

}  // namespace qinglan
