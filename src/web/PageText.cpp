#include "web/PageFetcher.h"

#include "platform/Codepage.h"
#include "web/Utf8.h"
#include "web/UtilString.h"

namespace qinglan {
namespace {

constexpr std::u16string_view kLinkStart = u"\"linkHistroy\":[\"";
constexpr std::u16string_view kLinkEnd = u"\"],\"histroyIndex\"";

}  // namespace

std::string geturltostr(PageFetcher& http, const std::string& address, const Pump& pump) {
  std::string body = http.get(address, pump);
  return platform::isValidUtf8(body) ? body : std::string();
}

std::string getTrueUrl(PageFetcher& http, const std::string& address, const Pump& pump) {
  const std::u16string page = utf8ToWide(geturltostr(http, address, pump));
  const int a = PosFrom(1, page, kLinkStart);
  if (a == 0)
    return {};
  const int b = PosFrom(a, page, kLinkEnd);
  if (b == 0)
    return {};
  const int startLength = static_cast<int>(kLinkStart.size());
  return removeAll(CopyWideToStr(page, a + startLength, b - a - startLength), "&nbsp;");
}

}  // namespace qinglan
