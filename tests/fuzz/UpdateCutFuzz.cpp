#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzEntries.h"
#include "web/UpdateCheck.h"
#include "web/Utf8.h"

namespace qinglan::fuzz {
namespace {

// The plain way to cut: find the markers, take what lies between, drop every "&nbsp;" in one
// pass from the left, split at "|".
std::string withoutNbsp(std::string_view text) {
  constexpr std::string_view kNbsp = "&nbsp;";
  std::string result;
  size_t i = 0;
  while (i < text.size()) {
    if (text.substr(i, kNbsp.size()) == kNbsp) {
      i += kNbsp.size();
    } else {
      result += text[i++];
    }
  }
  return result;
}

std::vector<std::string> pieces(std::u16string_view cut) {
  const std::string text = withoutNbsp(wideToUtf8(cut));
  std::vector<std::string> result;
  if (text.empty())
    return result;
  result.emplace_back();
  for (char c : text) {
    if (c == '|')
      result.emplace_back();
    else
      result.back() += c;
  }
  return result;
}

std::string referenceTitle(std::u16string_view page) {
  const size_t open = page.find(u"<h1>");
  if (open == std::u16string_view::npos)
    return {};
  const size_t close = page.find(u"</h1>", open);
  if (close == std::u16string_view::npos)
    return {};
  const auto found = pieces(page.substr(open + 4, close - open - 4));
  return found.empty() ? std::string() : found.front();
}

std::string referenceDate(std::u16string_view page) {
  const size_t open = page.find(u"<span class=\"sum\">");
  if (open == std::u16string_view::npos)
    return {};
  const size_t close = page.find(u"发布", open);
  if (close == std::u16string_view::npos)
    return {};
  const auto found = pieces(page.substr(open, close - open));
  return found.size() >= 4 ? found[3] : std::string();
}

void checkPage(std::u16string_view page) {
  FUZZ_CHECK(latestVersionFromPage(page) == referenceTitle(page));
  FUZZ_CHECK(releaseDateFromPage(page) == referenceDate(page));
}

}  // namespace

int fuzzUpdateCut(const uint8_t* data, size_t size) {
  // The page as the check decodes it, and the same bytes as raw code units, where a marker may
  // sit next to half a surrogate pair.
  checkPage(utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size)));
  std::u16string units(size / 2, u'\0');
  std::memcpy(units.data(), data, units.size() * sizeof(char16_t));
  checkPage(units);
  return 0;
}

}  // namespace qinglan::fuzz
