#pragma once

#include <cstdint>
#include <string>

namespace qinglan {

// A size in bytes as the results list shows it: "512B", "1.50KB", "5.00MB", "3.00GB", with 1024
// as the only divisor. Sizes are 64-bit, so files of 2 GiB and more show their true size.
std::string FormatFileSize(int64_t size);

// The value with two decimals and a point, whatever the process locale: "%.2f" of the C locale.
std::string twoDecimals(double value);

}  // namespace qinglan
