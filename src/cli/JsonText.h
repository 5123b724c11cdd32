#pragma once

#include <string>
#include <string_view>

namespace qinglan::cli {

// Appends `text`, which must be valid UTF-8, as a JSON string. Text that needs no escape is copied
// as it is; only the rest goes through the JSON library, which is far slower per row.
void appendJsonString(std::string& out, std::string_view text);

}  // namespace qinglan::cli
