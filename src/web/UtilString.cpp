#include "web/UtilString.h"

#include <algorithm>

#include "web/Utf8.h"

namespace qinglan {

std::string CopyWideToStr(std::u16string_view text, int start, int count) {
  const int length = static_cast<int>(text.size());
  start = std::max(start, 1);
  if (start > length || count < 1)
    return {};
  const int available = length - start + 1;
  return wideToUtf8(text.substr(start - 1, std::min(count, available)));
}

std::vector<std::string> SplitStr(std::u16string_view text, std::u16string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty())
    return pieces;
  std::u16string_view work = text;
  if (!separator.empty()) {
    for (auto found = work.find(separator); found != std::u16string_view::npos;
         found = work.find(separator)) {
      pieces.push_back(wideToUtf8(work.substr(0, found)));
      work.remove_prefix(found + separator.size());
    }
  }
  pieces.push_back(wideToUtf8(work));
  return pieces;
}

int PosFrom(int start, std::u16string_view text, std::u16string_view sub) {
  start = std::max(start, 1);
  if (start > static_cast<int>(text.size()) || sub.empty())
    return 0;
  const auto found = text.find(sub, start - 1);
  return found == std::u16string_view::npos ? 0 : static_cast<int>(found) + 1;
}

std::string removeAll(std::string_view text, std::string_view what) {
  if (what.empty())
    return std::string(text);
  std::string result;
  result.reserve(text.size());
  std::size_t from = 0;
  for (auto found = text.find(what); found != std::string::npos; found = text.find(what, from)) {
    result.append(text, from, found - from);
    from = found + what.size();
  }
  result.append(text, from);
  return result;
}

}  // namespace qinglan
