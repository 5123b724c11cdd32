#include "scan/FormatFileSize.h"

#include <array>
#include <charconv>

namespace qinglan {

namespace {

constexpr double kUnit = 1024.0;

}  // namespace

std::string twoDecimals(double value) {
  std::array<char, 64> buffer;
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 2);
  return std::string(buffer.data(), result.ptr);
}

std::string FormatFileSize(int64_t size) {
  if (size < 1024)
    return std::to_string(size) + "B";
  const double kilobytes = static_cast<double>(size) / kUnit;
  if (kilobytes < kUnit)
    return twoDecimals(kilobytes) + "KB";
  const double megabytes = kilobytes / kUnit;
  if (megabytes < kUnit)
    return twoDecimals(megabytes) + "MB";
  return twoDecimals(megabytes / kUnit) + "GB";
}

}  // namespace qinglan
