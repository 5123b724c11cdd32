#include "platform/SystemTime.h"

#include <chrono>

namespace qinglan::platform {

namespace {

constexpr double kSecondsPerDay = 86400.0;

// Day 0 of the date-time scale.
constexpr std::chrono::sys_days kDateTimeEpoch{std::chrono::year{1899} / 12 / 30};

double daysSinceEpoch(int year, int month, int day) {
  const std::chrono::sys_days date{std::chrono::year{year} / month / day};
  return static_cast<double>((date - kDateTimeEpoch).count());
}

}  // namespace

double toDateTime(const SystemTime& time) {
  const double days = daysSinceEpoch(time.year, time.month, time.day);
  const double fraction =
      (time.hour * 3600.0 + time.minute * 60.0 + time.second + time.milliseconds / 1000.0) / kSecondsPerDay;
  // Before the epoch the fraction still counts forward from midnight, so it is subtracted.
  return days < 0 ? days - fraction : days + fraction;
}

double dateTimeFromDate(int year, int month, int day) {
  return daysSinceEpoch(year, month, day);
}

}  // namespace qinglan::platform
