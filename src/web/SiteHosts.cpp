#include "web/SiteHosts.h"

#include <cstdlib>

namespace qinglan {
namespace {

std::string hostFromEnvironment(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0' ? value : fallback;
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
