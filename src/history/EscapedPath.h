#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qinglan {

// A path's raw bytes as printable UTF-8 text: backslashes doubled, every byte that is not part of
// a valid UTF-8 sequence written as \xHH. The text reads back to the same bytes.
std::string escapePathBytes(std::string_view bytes);

// The bytes of an escaped path; nullopt for a text the escaping never gives.
std::optional<std::string> unescapePathBytes(std::string_view text);

}  // namespace qinglan
