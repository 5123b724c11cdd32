#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/DirLister.h"

namespace qinglan::platform {

// The text with the ASCII letters A to Z lowered; other bytes (UTF-8 included) stay as they are.
std::string asciiLower(std::string_view text);

// True when the names are equal once ASCII letters are folded to one case (other bytes as they are).
bool equalsFoldingAscii(std::string_view a, std::string_view b);

// The entry a Windows program reaches under `name` in a folder copied to a case-sensitive file
// system: the entry of exactly that name, else the first in listing order whose name equals it
// with ASCII letters folded. Null when none does.
const DirEntry* findEntryCaseless(const std::vector<DirEntry>& entries, std::string_view name);

}  // namespace qinglan::platform
