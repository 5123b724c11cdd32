#include "platform/SystemTime.h"

#include <filesystem>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include "support/ScopedEnv.h"

namespace qinglan::platform {
namespace {

TEST(SystemTimeTest, BreaksAUtcInstantDownInTheLocalZone) {
#ifdef _WIN32
  GTEST_SKIP() << "the zone is set through TZ, which Windows does not read for its local time";
#endif
  const timespec instant{1434371696, 789654321};  // Monday 2015-06-15 12:34:56.789 UTC
  const struct {
    const char* zone;
    SystemTime expected;
  } cases[] = {
      {"UTC0", {2015, 6, 15, 12, 34, 56, 789}},
      {"CST-8", {2015, 6, 15, 20, 34, 56, 789}},
      // Crosses midnight backwards into the day before.
      {"XST+13", {2015, 6, 14, 23, 34, 56, 789}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.zone);
    test::ScopedEnv zone("TZ", c.zone);
    EXPECT_EQ(toLocalSystemTime(instant), c.expected);
  }
}

// Windows takes its zone once, at the start (Wine from the host's TZ), so there the test runs
// only where the zone in effect is Central European; elsewhere it sets TZ itself.
std::optional<test::ScopedEnv> centralEuropeanZone(std::string& whyNot) {
#ifdef _WIN32
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  if (::GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID || zone.Bias != -60 ||
      zone.DaylightDate.wMonth == 0)
    whyNot = "the zone in effect is not Central European time; under Wine run with TZ=Europe/Berlin";
  return std::nullopt;
#else
  if (!std::filesystem::exists("/usr/share/zoneinfo/Europe/Berlin")) {
    whyNot = "this system has no zone data for Europe/Berlin";
    return std::nullopt;
  }
  return std::make_optional<test::ScopedEnv>("TZ", "Europe/Berlin");
#endif
}

TEST(SystemTimeTest, EachDateReadsWithTheDaylightSavingInForceThen) {
  std::string whyNot;
  const std::optional<test::ScopedEnv> zone = centralEuropeanZone(whyNot);
  if (!whyNot.empty())
    GTEST_SKIP() << whyNot;
  const struct {
    const char* what;
    time_t instant;
    SystemTime expected;
  } cases[] = {
      {"winter", 1421323200, {2015, 1, 15, 13, 0, 0, 0}},
      // Summer time moves a late evening into the next day, whichever season it is now.
      {"summer", 1437003000, {2015, 7, 16, 1, 30, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(toLocalSystemTime({c.instant, 0}), c.expected);
  }
}

TEST(SystemTimeTest, DateTimeCountsDaysFromTheEndOf1899) {
  const struct {
    SystemTime time;
    double expected;
  } cases[] = {
      {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
      {{1900, 1, 1, 0, 0, 0, 0}, 2.0},
      {{2010, 11, 20, 0, 0, 0, 0}, 40502.0},
      {{2010, 11, 20, 18, 0, 0, 0}, 40502.75},
      {{2000, 2, 29, 6, 0, 0, 0}, 36585.25},
      // Before day 0 the time of day still counts forward from midnight.
      {{1899, 12, 29, 6, 0, 0, 0}, -1.25},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_DOUBLE_EQ(toDateTime(c.time), c.expected);
  }
  EXPECT_DOUBLE_EQ(dateTimeFromDate(2010, 11, 20), 40502.0);
  EXPECT_NEAR(toDateTime({2010, 11, 20, 12, 0, 0, 500}) - 40502.5, 0.5 / 86400, 1e-9);
}

}  // namespace
}  // namespace qinglan::platform
