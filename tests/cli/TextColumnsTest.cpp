#include "cli/TextColumns.h"

#include <string>

#include <gtest/gtest.h>

namespace qinglan::cli {
namespace {

// Fields are measured in terminal columns: plain rows keep their bytes, wide characters take two.
TEST(TextColumnsTest, FieldsArePaddedToTheirDisplayWidth) {
  struct Case {
    std::string text;
    int width;
    std::string expected;
  };
  const Case cases[] = {
      {"512.00KB", 12, "    512.00KB"},       {"2026-12-09", -12, "2026-12-09  "},
      {"文件夹", 12, "      文件夹"},         {"文件夹", -8, "文件夹  "},
      {"\xFF\xFE", 4, "  \xFF\xFE"},  // a stray byte is one column
      {"1234567890123", 12, "1234567890123"},
  };
  for (const Case& c : cases) {
    std::string out;
    appendAligned(out, c.text, c.width);
    EXPECT_EQ(out, c.expected) << c.text;
  }
}

}  // namespace
}  // namespace qinglan::cli
