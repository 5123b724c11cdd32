#include "web/SiteHosts.h"

#include <optional>

#include "platform/Environment.h"

namespace qinglan {
namespace {

std::string hostFromEnvironment(const char* variable, const char* fallback) {
  const std::optional<std::string> value = platform::environmentVariable(variable);
  return value && !value->empty() ? *value : fallback;
}

}  // namespace

std::string updateSiteHost() {
  return hostFromEnvironment("QINGLAN_UPDATE_HOST", kUpdateSiteHost);
}

std::string homeSiteHost() {
  return hostFromEnvironment("QINGLAN_HOME_HOST", kHomeSiteHost);
}

std::string advertisementPageAddress() {
  return "http://" + homeSiteHost() + "/Ad/Ads.html";
}

std::string homePageAddress() {
  return "http://" + homeSiteHost() + "/freeView.aspx?id=510";
}

}  // namespace qinglan
