#include "platform/Codepage.h"

#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace qinglan::platform {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

struct Conversion {
  std::string input;
  std::string expected;
};

void PrintTo(const Conversion& conversion, std::ostream* out) {
  *out << testing::PrintToString(conversion.input);
}

class GbkToUtf8 : public testing::TestWithParam<Conversion> {};

TEST_P(GbkToUtf8, DecodesAndReplacesBadBytesOneAtATime) {
  EXPECT_EQ(gbkToUtf8(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GbkToUtf8,
    testing::Values(Conversion{"", ""}, Conversion{"plain ascii=1", "plain ascii=1"},
                    Conversion{"\xCA\xBE\xC0\xFD", "示例"}, Conversion{"a\xCE\xB4\xD6\xAA=b", "a未知=b"},
                    // A lead byte cut off at the end of the text.
                    Conversion{"\xCA\xBE\xC0", "示" + kReplacement},
                    // A lead byte followed by an ASCII byte that cannot trail it: only the lead is lost.
                    Conversion{"\x81"
                               "0x",
                               kReplacement + "0x"},
                    Conversion{"\xFF\xFF!", kReplacement + kReplacement + "!"}));

class Utf8ToGbk : public testing::TestWithParam<Conversion> {};

TEST_P(Utf8ToGbk, EncodesAndMarksWhatGbkCannotHold) {
  EXPECT_EQ(utf8ToGbk(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf8ToGbk,
                         testing::Values(Conversion{"key=1", "key=1"},
                                         Conversion{"示例白名单", "\xCA\xBE\xC0\xFD\xB0\xD7\xC3\xFB\xB5\xA5"},
                                         // One "?" per character GBK lacks, however many bytes it has.
                                         Conversion{"a\xF0\x9F\x98\x80z", "a?z"},
                                         Conversion{"\xE0\xB8\x81\xE0\xB8\x82", "??"},
                                         Conversion{"a\xFF"
                                                    "b",
                                                    "a?b"},
                                         Conversion{"\xE7\xA4", "??"}));

TEST(Codepage, GbkRoundTripsEveryDoubleByteCharacterItDecodes) {
  int characters = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string utf8 = gbkToUtf8(gbk);
      if (utf8.find(kReplacement) != std::string::npos)
        continue;
      ASSERT_TRUE(isValidUtf8(utf8));
      ASSERT_EQ(utf8ToGbk(utf8), gbk) << std::hex << lead << ' ' << trail;
      ++characters;
    }
  }
  EXPECT_GT(characters, 20000);
}

class Utf16leToUtf8 : public testing::TestWithParam<Conversion> {};

TEST_P(Utf16leToUtf8, DecodesPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(utf16leToUtf8(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf16leToUtf8,
                         testing::Values(Conversion{std::string("a\0=\0", 4), "a="},
                                         Conversion{"\x3A\x79\x8B\x4F", "示例"},
                                         Conversion{std::string("\x3D\xD8\x00\xDE", 4), "\xF0\x9F\x98\x80"},
                                         Conversion{std::string("\x3D\xD8"
                                                                "a\0",
                                                                4),
                                                    kReplacement + "a"},
                                         Conversion{std::string("\x00\xDE"
                                                                "a\0",
                                                                4),
                                                    kReplacement + "a"},
                                         Conversion{"\x3D\xD8", kReplacement},
                                         Conversion{std::string("a\0b", 3), "a" + kReplacement}));

TEST(Codepage, Utf8ToUtf16leRoundTripsAndReplacesInvalidBytes) {
  const std::string text = "key=示例\xF0\x9F\x98\x80";
  EXPECT_EQ(utf16leToUtf8(utf8ToUtf16le(text)), text);
  EXPECT_EQ(utf8ToUtf16le("a\xFF"), std::string("a\0\xFD\xFF", 4));
}

TEST(Codepage, AWriterBlockKeepsBackOnlyASequenceCutAtItsEnd) {
  const std::string text = "a示\xF0\x9F\x98\x80";  // 1, 3 and 4 bytes
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    const size_t whole = cut >= 8 ? 8 : cut >= 4 ? 4 : cut >= 1 ? 1 : 0;
    EXPECT_EQ(lengthWithoutCutSequence(text.substr(0, cut)), whole) << cut;
  }
  // Bytes that start no sequence are passed on, to be replaced by the writer.
  EXPECT_EQ(lengthWithoutCutSequence("\x80\x80\x80\x80"), 4u);
  EXPECT_EQ(lengthWithoutCutSequence("a\xFF"), 2u);
}

struct Validity {
  std::string text;
  bool valid;
};

void PrintTo(const Validity& validity, std::ostream* out) {
  *out << testing::PrintToString(validity.text);
}

class Utf8Validity : public testing::TestWithParam<Validity> {};

TEST_P(Utf8Validity, IsStrict) {
  EXPECT_EQ(isValidUtf8(GetParam().text), GetParam().valid);
  // Valid text passes unchanged; invalid text comes out valid.
  const std::string repaired = toValidUtf8(GetParam().text);
  EXPECT_TRUE(isValidUtf8(repaired));
  EXPECT_EQ(repaired == GetParam().text, GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf8Validity,
                         testing::Values(Validity{"", true}, Validity{"ascii", true}, Validity{"示例", true},
                                         Validity{"\xF4\x8F\xBF\xBF", true},     // U+10FFFF
                                         Validity{"\xEF\xBF\xBD", true},         // U+FFFD
                                         Validity{"\xC0\xAF", false},            // overlong "/"
                                         Validity{"\xE0\x80\xAF", false},        // overlong, 3 bytes
                                         Validity{"\xF0\x80\x80\xAF", false},    // overlong, 4 bytes
                                         Validity{"\xED\xA0\x80", false},        // surrogate D800
                                         Validity{"\xED\xBF\xBF", false},        // surrogate DFFF
                                         Validity{"\xF4\x90\x80\x80", false},    // above U+10FFFF
                                         Validity{"\xE7\xA4", false},            // cut short
                                         Validity{"\x80", false},                // lone continuation
                                         Validity{"\xF5\x80\x80\x80", false}));  // impossible lead

TEST(Codepage, ToValidUtf8ReplacesEachBadByte) {
  EXPECT_EQ(toValidUtf8("a\xE7\xA4z"), "a" + kReplacement + kReplacement + "z");
}

}  // namespace
}  // namespace qinglan::platform
