#include "web/SiteHosts.h"

#include <gtest/gtest.h>

#include "support/ScopedEnv.h"

namespace qinglan {
namespace {

TEST(SiteHostsTest, DefaultsStayUnderTheReservedDomain) {
  const test::ScopedEnv update("QINGLAN_UPDATE_HOST", std::nullopt);
  const test::ScopedEnv home("QINGLAN_HOME_HOST", "");
  EXPECT_TRUE(updateSiteHost().ends_with(".example"));
  EXPECT_TRUE(homeSiteHost().ends_with(".example"));
}

TEST(SiteHostsTest, EnvironmentReplacesEachHost) {
  const test::ScopedEnv update("QINGLAN_UPDATE_HOST", "127.0.0.1:8123");
  const test::ScopedEnv home("QINGLAN_HOME_HOST", "127.0.0.1:8124");
  EXPECT_EQ(updateSiteHost(), "127.0.0.1:8123");
  EXPECT_EQ(advertisementPageAddress(), "http://127.0.0.1:8124/Ad/Ads.html");
  EXPECT_EQ(homePageAddress(), "http://127.0.0.1:8124/freeView.aspx?id=510");
}

}  // namespace
}  // namespace qinglan
