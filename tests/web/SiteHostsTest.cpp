#include "web/SiteHosts.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace qinglan {
namespace {

class SiteHostsTest : public testing::Test {
 protected:
  void TearDown() override {
    ::unsetenv("QINGLAN_UPDATE_HOST");
    ::unsetenv("QINGLAN_HOME_HOST");
  }
};

TEST_F(SiteHostsTest, DefaultsStayUnderTheReservedDomain) {
  ::unsetenv("QINGLAN_UPDATE_HOST");
  ::setenv("QINGLAN_HOME_HOST", "", 1);
  EXPECT_TRUE(updateSiteHost().ends_with(".example"));
  EXPECT_TRUE(homeSiteHost().ends_with(".example"));
}

TEST_F(SiteHostsTest, EnvironmentReplacesEachHost) {
  ::setenv("QINGLAN_UPDATE_HOST", "127.0.0.1:8123", 1);
  ::setenv("QINGLAN_HOME_HOST", "127.0.0.1:8124", 1);
  EXPECT_EQ(updateSiteHost(), "127.0.0.1:8123");
  EXPECT_EQ(advertisementPageAddress(), "http://127.0.0.1:8124/Ad/Ads.html");
  EXPECT_EQ(homePageAddress(), "http://127.0.0.1:8124/freeView.aspx?id=510");
}

}  // namespace
}  // namespace qinglan
