#include "platform/TextSplit.h"

namespace qinglan::platform {

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

}  // namespace qinglan::platform

namespace qinglan {

std::vector<std::string> SplitAtDelimiter(std::string_view text, std::string_view delimiter) {
  std::vector<std::string> pieces;
  if (text.empty())
    return pieces;
  if (!delimiter.empty()) {
    for (size_t found = text.find(delimiter); found != std::string_view::npos; found = text.find(delimiter)) {
      pieces.emplace_back(text.substr(0, found));
      text.remove_prefix(found + delimiter.size());
    }
  }
  pieces.emplace_back(text);
  return pieces;
}

}  // namespace qinglan
