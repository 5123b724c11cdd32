#pragma once

#include <string>

namespace qinglan {

// The hosts of the update-information site and of the home site, "host" or "host:port". The
// environment variables QINGLAN_UPDATE_HOST and QINGLAN_HOME_HOST replace them for tests, demos
// and deployments.
inline constexpr const char* kUpdateSiteHost = "update.qinglan.example";
inline constexpr const char* kHomeSiteHost = "www.qinglan.example";

std::string updateSiteHost();
std::string homeSiteHost();

// The pages of the home site: the advertisement page shown on the first page, and the program's own
// page opened in the default browser.
std::string advertisementPageAddress();
std::string homePageAddress();

}  // namespace qinglan
