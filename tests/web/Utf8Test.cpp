#include "web/Utf8.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/Codepage.h"

namespace qinglan {
namespace {

struct DecodeCase {
  const char* label;
  std::string bytes;
  bool valid;
};

class Utf8ValidityTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(Utf8ValidityTest, AcceptsOnlyWellFormedSequencesAndConvertsThemBothWays) {
  ASSERT_EQ(platform::isValidUtf8(GetParam().bytes), GetParam().valid);
  if (GetParam().valid) {
    EXPECT_EQ(wideToUtf8(utf8ToWide(GetParam().bytes)), GetParam().bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ValidityTest,
    testing::Values(DecodeCase{"empty", "", true}, DecodeCase{"ascii", "plain <h1>text</h1>", true},
                    DecodeCase{"twoBytes", "\xC2\xA9", true}, DecodeCase{"threeBytes", "发布", true},
                    DecodeCase{"fourBytes", "\xF0\x9F\x98\x80", true},
                    DecodeCase{"gbk", "\xD6\xD0\xCE\xC4", false}, DecodeCase{"cutShort", "ab\xE5\x8F", false},
                    DecodeCase{"fourCutShort", "\xF0\x9F\x98", false},
                    DecodeCase{"badFollower", "\xE5\x41\x41", false},
                    DecodeCase{"loneFollower", "\x80", false}, DecodeCase{"overlong", "\xC0\x80", false},
                    DecodeCase{"surrogate", "\xED\xA0\x80", false},
                    DecodeCase{"aboveUnicode", "\xF4\x90\x80\x80", false},
                    DecodeCase{"fiveByteLead", "\xF8\x88\x80\x80\x80", false}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.label); });

TEST(Utf8Test, FourByteCharactersBecomeSurrogatePairs) {
  EXPECT_EQ(utf8ToWide("a\xF0\x9F\x98\x80"), u"a\U0001F600");
}

TEST(Utf8Test, LenientDecodingReplacesEachBadByte) {
  EXPECT_EQ(utf8ToWide("a\xD6\xD0z"), u"a\uFFFD\uFFFDz");
  EXPECT_EQ(wideToUtf8(u"\xDC00x"), "\xEF\xBF\xBDx");
}

}  // namespace
}  // namespace qinglan
