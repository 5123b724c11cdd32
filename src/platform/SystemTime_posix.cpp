#include "platform/SystemTime.h"

#include <time.h>

namespace qinglan::platform {

SystemTime toLocalSystemTime(const timespec& utc) {
  std::tm local{};
  const time_t seconds = utc.tv_sec;
  if (::localtime_r(&seconds, &local) == nullptr)
    return {};
  SystemTime result;
  result.year = static_cast<uint16_t>(local.tm_year + 1900);
  result.month = static_cast<uint16_t>(local.tm_mon + 1);
  result.dayOfWeek = static_cast<uint16_t>(local.tm_wday);
  result.day = static_cast<uint16_t>(local.tm_mday);
  result.hour = static_cast<uint16_t>(local.tm_hour);
  result.minute = static_cast<uint16_t>(local.tm_min);
  // A leap second is folded into the minute's last second, as the Windows conversion does.
  result.second = static_cast<uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
  result.milliseconds = static_cast<uint16_t>(utc.tv_nsec / 1000000);
  return result;
}

double today() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const SystemTime local = toLocalSystemTime(now);
  return dateTimeFromDate(local.year, local.month, local.day);
}

}  // namespace qinglan::platform
