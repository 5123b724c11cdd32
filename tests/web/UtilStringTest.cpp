#include "web/UtilString.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qinglan {
namespace {

struct SplitCase {
  std::u16string text;
  std::u16string separator;
  std::vector<std::string> pieces;
};

class SplitStrTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitStrTest, KeepsEveryPieceBetweenSeparators) {
  EXPECT_EQ(SplitStr(GetParam().text, GetParam().separator), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitStrTest,
                         testing::Values(SplitCase{u"a|b|", u"|", {"a", "b", ""}},
                                         SplitCase{u"abc", u"|", {"abc"}}, SplitCase{u"", u"|", {}},
                                         SplitCase{u"1ab2", u"ab", {"1", "2"}},
                                         SplitCase{u"||", u"|", {"", "", ""}},
                                         SplitCase{u"a|b", u"", {"a|b"}},
                                         SplitCase{u"版本 2.0|官方版", u"|", {"版本 2.0", "官方版"}}));

struct PosCase {
  int start;
  std::u16string text;
  std::u16string sub;
  int position;
};

class PosFromTest : public testing::TestWithParam<PosCase> {};

TEST_P(PosFromTest, CountsFromTheStartOfTheText) {
  EXPECT_EQ(PosFrom(GetParam().start, GetParam().text, GetParam().sub), GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(Cases, PosFromTest,
                         testing::Values(PosCase{3, u"abcabc", u"abc", 4}, PosCase{4, u"abcabc", u"abc", 4},
                                         PosCase{1, u"abcabc", u"abc", 1}, PosCase{6, u"abcabc", u"c", 6},
                                         PosCase{7, u"abcabc", u"c", 0}, PosCase{1, u"abc", u"", 0},
                                         PosCase{1, u"abc", u"abcd", 0}, PosCase{0, u"abc", u"a", 1},
                                         // A character outside the BMP counts as two units.
                                         PosCase{1, u"\U0001F600发布", u"发布", 3}));

struct CopyCase {
  std::u16string text;
  int start;
  int count;
  std::string result;
};

class CopyWideToStrTest : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyWideToStrTest, ClipsToTheText) {
  EXPECT_EQ(CopyWideToStr(GetParam().text, GetParam().start, GetParam().count), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Cases, CopyWideToStrTest,
                         testing::Values(CopyCase{u"abcdef", 5, 10, "ef"}, CopyCase{u"abc", 4, 1, ""},
                                         CopyCase{u"abc", 0, 2, "ab"}, CopyCase{u"abc", -5, 1, "a"},
                                         CopyCase{u"abc", 2, 0, ""}, CopyCase{u"abc", 2, -1, ""},
                                         CopyCase{u"晴岚清扫", 2, 2, "岚清"},
                                         CopyCase{u"a\U0001F600b", 2, 2, "\U0001F600"},
                                         // Half of a surrogate pair cannot stand alone in UTF-8.
                                         CopyCase{u"\U0001F600", 1, 1, "\uFFFD"}));

TEST(RemoveAllTest, RemovesEveryExactOccurrence) {
  EXPECT_EQ(removeAll("a&nbsp;b&nbsp;&nbsp;", "&nbsp;"), "ab");
  EXPECT_EQ(removeAll("&&nbsp;nbsp;", "&nbsp;"), "&nbsp;");
  EXPECT_EQ(removeAll("a&NBSP;b", "&nbsp;"), "a&NBSP;b");
  EXPECT_EQ(removeAll("", "&nbsp;"), "");
}

}  // namespace
}  // namespace qinglan
