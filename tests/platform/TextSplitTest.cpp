#include "platform/TextSplit.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qinglan {
namespace {

using platform::splitLines;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SplitLinesTest, BreaksAtEveryLineEnd) {
  EXPECT_THAT(splitLines(""), IsEmpty());
  EXPECT_THAT(splitLines("a"), ElementsAre("a"));
  EXPECT_THAT(splitLines("a\r\nb\rc\nd\n"), ElementsAre("a", "b", "c", "d"));
  EXPECT_THAT(splitLines("a\n\nb\r"), ElementsAre("a", "", "b"));
  EXPECT_THAT(splitLines("\r\n"), ElementsAre(""));
  EXPECT_THAT(splitLines("a\n\r"), ElementsAre("a", ""));
}

struct SplitCase {
  std::string text;
  std::string delimiter;
  std::vector<std::string> pieces;
};

class SplitAtDelimiterTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitAtDelimiterTest, KeepsEveryPieceBetweenTheDelimiters) {
  EXPECT_EQ(SplitAtDelimiter(GetParam().text, GetParam().delimiter), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitAtDelimiterTest,
    ::testing::Values(SplitCase{"", "\\", {}}, SplitCase{"abc", "\\", {"abc"}},
                      SplitCase{"D:\\CloudCache\\1001\\0\\", "\\", {"D:", "CloudCache", "1001", "0", ""}},
                      SplitCase{"/a//b", "/", {"", "a", "", "b"}}, SplitCase{"a::b::", "::", {"a", "b", ""}},
                      SplitCase{"abc", "", {"abc"}}));

}  // namespace
}  // namespace qinglan
