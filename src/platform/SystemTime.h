#pragma once

#include <cstdint>
#include <ctime>

namespace qinglan::platform {

// A point in local time broken down into fields, as the file listing reports it.
struct SystemTime {
  uint16_t year = 0;
  uint16_t month = 0;
  uint16_t day = 0;
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;

  friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

// Converts a UTC instant to local time.
SystemTime toLocalSystemTime(const timespec& utc);

// Days since 30 December 1899 with the time of day as the fraction: the date-time of the date filters.
double toDateTime(const SystemTime& time);

// The date-time of the given calendar day at midnight.
double dateTimeFromDate(int year, int month, int day);

// The current local date at midnight.
double today();

// The current local date-time.
double now();

}  // namespace qinglan::platform
