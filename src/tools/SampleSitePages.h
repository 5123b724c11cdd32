#pragma once

#include <optional>
#include <string>

namespace qinglan::tools {

// The pages of the demo's sample site, answering for the resources that scripts/make-sample-cache
// creates. siteAddress is "http://host:port" of the site itself, for the links between its pages.

// The view page of a resource: its detail page's address inside the link markers, or a page without
// them for a resource the site does not know.
std::string viewPage(const std::string& resourceId, const std::string& siteAddress);

// The detail page of a known resource: the title in <h1>, the summary ending in "发布".
std::optional<std::string> detailPage(const std::string& resourceId);

// The advertisement page shown on the program's first page.
std::string advertisementPage(const std::string& siteAddress);

// The program's own page, opened by the home link.
std::string programPage();

// A plain list of the site's pages.
std::string indexPage();

}  // namespace qinglan::tools
