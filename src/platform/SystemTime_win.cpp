#include "platform/SystemTime.h"

#include <windows.h>

namespace qinglan::platform {

namespace {

// 100-nanosecond intervals between 1601-01-01, where FILETIME counts from, and 1970-01-01.
constexpr int64_t kUnixEpochInFileTime = 116444736000000000LL;

SystemTime fromSystemTime(const SYSTEMTIME& time) {
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

}  // namespace

SystemTime toLocalSystemTime(const timespec& utc) {
  const int64_t ticks = kUnixEpochInFileTime + static_cast<int64_t>(utc.tv_sec) * 10000000 +
                        static_cast<int64_t>(utc.tv_nsec) / 100;
  if (ticks < 0)
    return {};
  FILETIME universal{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
  FILETIME local{};
  SYSTEMTIME broken{};
  if (!::FileTimeToLocalFileTime(&universal, &local) || !::FileTimeToSystemTime(&local, &broken))
    return {};
  return fromSystemTime(broken);
}

double today() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return dateTimeFromDate(now.wYear, now.wMonth, now.wDay);
}

}  // namespace qinglan::platform
