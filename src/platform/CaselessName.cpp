#include "platform/CaselessName.h"

#include <algorithm>

namespace qinglan::platform {

namespace {

char foldAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string asciiLower(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

bool equalsFoldingAscii(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return foldAscii(x) == foldAscii(y); });
}

const DirEntry* findEntryCaseless(const std::vector<DirEntry>& entries, std::string_view name) {
  const auto exact =
      std::find_if(entries.begin(), entries.end(), [&](const DirEntry& e) { return e.name == name; });
  if (exact != entries.end())
    return &*exact;
  const auto folded = std::find_if(entries.begin(), entries.end(),
                                   [&](const DirEntry& e) { return equalsFoldingAscii(e.name, name); });
  return folded != entries.end() ? &*folded : nullptr;
}

}  // namespace qinglan::platform
