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

// Built in one buffer without the locale: a scan formats a size for every finding.
std::string FormatFileSize(int64_t size) {
  std::array<char, 64> buffer;
  char* const begin = buffer.data();
  char* const end = begin + buffer.size() - 2;
  if (size < 1024) {
    char* at = std::to_chars(begin, end, size).ptr;
    *at++ = 'B';
    return std::string(begin, at);
  }
  double value = static_cast<double>(size) / kUnit;
  const char* unit = "KB";
  if (value >= kUnit) {
    value /= kUnit;
    unit = "MB";
    if (value >= kUnit) {
      value /= kUnit;
      unit = "GB";
    }
  }
  char* at = std::to_chars(begin, end, value, std::chars_format::fixed, 2).ptr;
  *at++ = unit[0];
  *at++ = unit[1];
  return std::string(begin, at);
}

}  // namespace qinglan
