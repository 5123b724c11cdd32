#include "platform/SystemTime.h"

#include <windows.h>

namespace qinglan::platform {

namespace {

// 100-nanosecond intervals between 1601-01-01, where FILETIME counts from, and 1970-01-01.
constexpr int64_t kUnixEpochInFileTime = 116444736000000000LL;

SystemTime fromSystemTime(const SYSTEMTIME& time) {
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

using ToLocalWithRules = BOOL(WINAPI*)(const DYNAMIC_TIME_ZONE_INFORMATION*, const SYSTEMTIME*, SYSTEMTIME*);

// Looked up rather than imported: some systems (Wine 8) lack it, and a missing import would keep
// the program from starting.
ToLocalWithRules toLocalWithRules() {
  static const auto function = reinterpret_cast<ToLocalWithRules>(reinterpret_cast<void (*)()>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SystemTimeToTzSpecificLocalTimeEx")));
  return function;
}

// Converts with the zone's rule for that date, daylight saving included, never today's offset;
// the dynamic rules also know the years a zone's rule was different.
bool toLocal(const SYSTEMTIME& utc, SYSTEMTIME& local) {
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  if (const ToLocalWithRules convert = toLocalWithRules();
      convert != nullptr && ::GetDynamicTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID)
    return convert(&zone, &utc, &local) != FALSE;
  return ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) != FALSE;
}

}  // namespace

SystemTime toLocalSystemTime(const timespec& utc) {
  const int64_t ticks = kUnixEpochInFileTime + static_cast<int64_t>(utc.tv_sec) * 10000000 +
                        static_cast<int64_t>(utc.tv_nsec) / 100;
  if (ticks < 0)
    return {};
  const FILETIME universal{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME brokenUtc{};
  if (!::FileTimeToSystemTime(&universal, &brokenUtc))
    return {};
  SYSTEMTIME local{};
  if (!toLocal(brokenUtc, local))
    return {};
  return fromSystemTime(local);
}

double today() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return dateTimeFromDate(now.wYear, now.wMonth, now.wDay);
}

double now() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return toDateTime(fromSystemTime(now));
}

}  // namespace qinglan::platform
