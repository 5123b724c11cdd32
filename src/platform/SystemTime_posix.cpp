#include "platform/SystemTime.h"

#include <time.h>

namespace qinglan::platform {

// A walk converts three times for every entry it reads, mostly of a few distinct seconds; the
// zone's conversion is the costly part, so the last second converted on each thread is kept, for
// as long as the zone that tzset() set stays the same.
SystemTime toLocalSystemTime(const timespec& utc) {
  struct Converted {
    time_t seconds = 0;
    const char* zoneName = nullptr;
    const char* summerName = nullptr;
    long zoneOffset = 0;
    bool valid = false;
    SystemTime time;
  };
  thread_local Converted last;
  const time_t seconds = utc.tv_sec;
  if (!last.valid || last.seconds != seconds || last.zoneName != tzname[0] || last.summerName != tzname[1] ||
      last.zoneOffset != timezone) {
    std::tm local{};
    if (::localtime_r(&seconds, &local) == nullptr)
      return {};
    SystemTime& time = last.time;
    time.year = static_cast<uint16_t>(local.tm_year + 1900);
    time.month = static_cast<uint16_t>(local.tm_mon + 1);
    time.day = static_cast<uint16_t>(local.tm_mday);
    time.hour = static_cast<uint16_t>(local.tm_hour);
    time.minute = static_cast<uint16_t>(local.tm_min);
    // A leap second is folded into the minute's last second, as the Windows conversion does.
    time.second = static_cast<uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    last.seconds = seconds;
    last.zoneName = tzname[0];
    last.summerName = tzname[1];
    last.zoneOffset = timezone;
    last.valid = true;
  }
  SystemTime result = last.time;
  result.milliseconds = static_cast<uint16_t>(utc.tv_nsec / 1000000);
  return result;
}

double today() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const SystemTime local = toLocalSystemTime(now);
  return dateTimeFromDate(local.year, local.month, local.day);
}

double now() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return toDateTime(toLocalSystemTime(now));
}

}  // namespace qinglan::platform
