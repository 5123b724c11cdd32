#include "platform/SharedLibrary.h"

#include <string>

#include <gtest/gtest.h>

namespace qinglan::platform {
namespace {

TEST(SharedLibraryTest, ResolvesWhatTheLibraryHasAndRaisesForAMissingLibrary) {
  const SharedLibrary libc = SharedLibrary::load("libc.so.6");
  EXPECT_NE(libc.symbol("strlen"), nullptr);
  EXPECT_EQ(libc.symbol("qinglan_no_such_symbol"), nullptr);
  try {
    SharedLibrary::load("libqinglan-missing.so.1");
    FAIL() << "a missing library loaded";
  } catch (const SharedLibraryError& error) {
    EXPECT_NE(std::string(error.what()).find("libqinglan-missing.so.1"), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace qinglan::platform
