#include "scan/FormatFileSize.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace qinglan {
namespace {

struct SizeCase {
  int64_t size;
  std::string text;
};

class FormatFileSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FormatFileSizeTest, ShowsTheSizeInTheLargestUnitBelow1024) {
  EXPECT_EQ(FormatFileSize(GetParam().size), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, FormatFileSizeTest,
                         ::testing::Values(SizeCase{0, "0B"}, SizeCase{1023, "1023B"},
                                           SizeCase{1024, "1.00KB"}, SizeCase{1536, "1.50KB"},
                                           SizeCase{1048575, "1024.00KB"}, SizeCase{1048576, "1.00MB"},
                                           SizeCase{5242880, "5.00MB"}, SizeCase{1073741823, "1024.00MB"},
                                           SizeCase{1073741824, "1.00GB"}, SizeCase{2147483647, "2.00GB"},
                                           SizeCase{int64_t{3} << 30, "3.00GB"},
                                           SizeCase{(int64_t{9} << 30) / 2, "4.50GB"},
                                           SizeCase{int64_t{2048} << 30, "2048.00GB"}));

TEST(TwoDecimalsTest, RoundsToTwoPlacesWithAPoint) {
  EXPECT_EQ(twoDecimals(0), "0.00");
  EXPECT_EQ(twoDecimals(2), "2.00");
  EXPECT_EQ(twoDecimals(1300), "1300.00");
  EXPECT_EQ(twoDecimals(0.004), "0.00");
  EXPECT_EQ(twoDecimals(0.006), "0.01");
}

}  // namespace
}  // namespace qinglan
