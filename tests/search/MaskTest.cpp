#include "search/Mask.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace qinglan {
namespace {

struct MatchCase {
  const char* mask;
  const char* name;
  bool matches;
};

class MaskMatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(MaskMatchTest, MatchesWholeName) {
  const MatchCase& c = GetParam();
  EXPECT_EQ(matchesMask(c.name, c.mask), c.matches) << "mask '" << c.mask << "' name '" << c.name << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Table, MaskMatchTest,
    testing::Values(
        // The dot is an ordinary character: "*.*" wants one, "*" takes anything.
        MatchCase{"*.*", "README", false}, MatchCase{"*.*", "a.b.c", true}, MatchCase{"*.*", ".hidden", true},
        MatchCase{"*", "README", true}, MatchCase{"*.txt", "a.txt.bak", false},
        MatchCase{"*.txt", "notes.TXT", true}, MatchCase{"THUMBS.DB", "thumbs.db", true},
        MatchCase{"abc", "abcd", false}, MatchCase{"abc", "ab", false}, MatchCase{"", "", false},
        MatchCase{"", "a", false},
        // `?` takes exactly one character; after a star it is dropped.
        MatchCase{"a?c", "abc", true}, MatchCase{"a?c", "ac", false}, MatchCase{"a*?", "a", true},
        MatchCase{"*??", "", true}, MatchCase{"?*", "", false}, MatchCase{"a**b", "ab", true},
        MatchCase{"*a*b*", "xxaxxbxx", true}, MatchCase{"*a*b", "xxbxxa", false},
        MatchCase{"a*b*c", "abbbc", true}, MatchCase{"*ab", "aab", true}, MatchCase{"*aab", "ab", false},
        // Sets, negated sets and ranges; letters fold, other characters do not.
        MatchCase{"[a-c]*.dat", "Beta.dat", true}, MatchCase{"[a-c]*.dat", "delta.dat", false},
        MatchCase{"[!a-c]*", "delta", true}, MatchCase{"[!a-c]*", "alpha", false},
        MatchCase{"[A-z]", "q", true}, MatchCase{"[xyz]", "Y", true}, MatchCase{"[a-]b]", "]", true},
        MatchCase{"[!a]", "", false}, MatchCase{"x[!a]", "x", false}, MatchCase{"~*", "~temp", true},
        MatchCase{"[_]", "_", true},
        // UTF-8: one character per `?` or set, exact bytes for other characters.
        MatchCase{"?.txt", "日.txt", true}, MatchCase{"??.txt", "日.txt", false},
        MatchCase{"[!a]", "é", true}, MatchCase{"[a-é]", "é", false}, MatchCase{"[a-é]", "~", true},
        MatchCase{"日*", "日本", true}, MatchCase{"*本", "日本", true}, MatchCase{"É", "é", false},
        MatchCase{"*?本", "本", true}, MatchCase{"a*z", "A\xc3\xa9Z", true}, MatchCase{"*e", "é", false},
        MatchCase{"x*", "", false}, MatchCase{"?*x", "xX", true},
        // An invalid byte is one character of its own, never part of a neighbour.
        MatchCase{"?", "\xff", true}, MatchCase{"??", "\xc3\xa9", false}, MatchCase{"?", "\xc3", true},
        MatchCase{"\xc3", "\xc3\xa9", false}, MatchCase{"*\xff", "ab\xff", true},
        MatchCase{"a?b",
                  "a\xe6\x97"
                  "b",
                  false},
        MatchCase{"a??b",
                  "a\xe6\x97"
                  "b",
                  true}));

struct InvalidCase {
  const char* mask;
  int position;
};

class InvalidMaskTest : public testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidMaskTest, RaisesAtPositionWhenTested) {
  const InvalidCase& c = GetParam();
  const Mask mask(c.mask);  // setting an invalid mask does not raise
  EXPECT_FALSE(mask.valid());
  try {
    mask.matches("anything");
    FAIL() << "no error for '" << c.mask << "'";
  } catch (const EInvalidMask& error) {
    EXPECT_EQ(error.position(), c.position);
    EXPECT_EQ(std::string(error.what()),
              "'" + std::string(c.mask) + "' is an invalid mask at (" + std::to_string(c.position) + ")");
  }
}

INSTANTIATE_TEST_SUITE_P(Table, InvalidMaskTest,
                         testing::Values(InvalidCase{"[abc", 5}, InvalidCase{"x[", 3}, InvalidCase{"[]", 2},
                                         InvalidCase{"[!]", 3}, InvalidCase{"[é]", 3}, InvalidCase{"[-a]", 2},
                                         InvalidCase{"[!-a]", 3}, InvalidCase{"[a-", 4},
                                         InvalidCase{"[a-]", 5}, InvalidCase{"日[本", 4},
                                         InvalidCase{"*a[b]*[", 8}));

std::string repeated(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i)
    text += piece;
  return text;
}

TEST(MaskTest, ThirtyStarPlacesAreTheLimit) {
  EXPECT_TRUE(matchesMask(repeated("a", 30), repeated("*a", 30)));
  EXPECT_TRUE(matchesMask("a", "a" + repeated("*", 60)));  // one run counts once
  EXPECT_TRUE(Mask(repeated("*a", 29) + "*").valid());

  // The 31st place is the character after the star run, or the end of the mask.
  try {
    Mask(repeated("*a", 31)).matches("a");
    FAIL();
  } catch (const EInvalidMask& error) {
    EXPECT_EQ(error.position(), 62);
  }
  try {
    Mask(repeated("*a", 30) + "*").matches("a");
    FAIL();
  } catch (const EInvalidMask& error) {
    EXPECT_EQ(error.position(), 62);
  }
}

TEST(MaskTest, PathologicalMasksGiveTheRightAnswer) {
  const std::string manyStars = repeated("a*", 29) + "b";
  EXPECT_FALSE(matchesMask(std::string(255, 'a'), manyStars));
  EXPECT_TRUE(matchesMask(std::string(254, 'a') + "b", manyStars));
  EXPECT_FALSE(matchesMask(std::string(28, 'a') + "b", manyStars));
  EXPECT_TRUE(matchesMask(std::string(200, 'a') + "aaab", "*aaab"));
  EXPECT_TRUE(matchesMask(std::string(200, 'a') + "aab" + std::string(50, 'a'), "*aaab*"));
  EXPECT_FALSE(matchesMask(std::string(255, 'a'), "*aaab*"));
  EXPECT_FALSE(matchesMask(repeated("日", 80), repeated("*日", 28) + "*本"));
}

// Plain backtracking over ASCII: slow, obviously right, for masks without "*?".
bool referenceMatch(std::string_view mask, std::string_view name) {
  if (mask.empty())
    return name.empty();
  if (mask[0] == '*')
    return referenceMatch(mask.substr(1), name) || (!name.empty() && referenceMatch(mask, name.substr(1)));
  if (name.empty())
    return false;
  const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  if (mask[0] == '[') {
    const size_t close = mask.find(']');
    const std::string_view members = mask.substr(1, close - 1);
    const bool member = members.find(c) != std::string_view::npos;
    return member && referenceMatch(mask.substr(close + 1), name.substr(1));
  }
  const bool same = mask[0] == '?' || std::toupper(static_cast<unsigned char>(mask[0])) == c;
  return same && referenceMatch(mask.substr(1), name.substr(1));
}

// Lists of the last three and of the last seventy masks as well (more than one 64-bit word of
// mask bits): a list picks the masks worth trying by a name's first and last bytes.
TEST(MaskTest, AgreesWithBacktrackingOnRandomMasks) {
  std::mt19937 random(20240601);
  std::vector<std::string> recent;
  const std::string maskPieces[] = {"*", "?", "A", "b", ".", "[AB]", "[B.]"};
  const char nameLetters[] = {'a', 'B', '.', 'b'};
  for (int round = 0; round < 20000; ++round) {
    std::string mask;
    const int pieces = 1 + static_cast<int>(random() % 7);
    for (int i = 0; i < pieces; ++i) {
      const std::string& piece = maskPieces[random() % std::size(maskPieces)];
      if (piece == "?" && !mask.empty() && mask.back() == '*')
        continue;
      mask += piece;
    }
    std::string name(1 + random() % 8, ' ');
    for (char& c : name)
      c = nameLetters[random() % std::size(nameLetters)];
    ASSERT_EQ(matchesMask(name, mask), referenceMatch(mask, name))
        << "mask '" << mask << "' name '" << name << "'";
    if (recent.size() == 70)
      recent.erase(recent.begin());
    recent.push_back(mask);
    for (const size_t size : {std::min<size_t>(3, recent.size()), recent.size()}) {
      if (size > 3 && round % 50 != 0)
        continue;
      const std::vector<std::string> list(recent.end() - static_cast<std::ptrdiff_t>(size), recent.end());
      const bool anyOfList = std::any_of(
          list.begin(), list.end(), [&name](const std::string& text) { return referenceMatch(text, name); });
      ASSERT_EQ(MaskList(list).anyMatches(MaskSubject(name)), anyOfList) << "name '" << name << "', " << size;
    }
  }
}

// Decided from the compiled steps, so a `?` dropped after a star counts for nothing wherever it is.
TEST(MaskTest, EveryNameMasksAreTheOnesThatTakeAnyName) {
  for (const char* mask :
       {"*", "**", "?*", "*?", "*?*", "*.*", "*??", "?*?", "*?*?", "**??", "*??*?*", "?**??*"}) {
    EXPECT_TRUE(matchesEveryName(mask)) << mask;
    for (const char* name : {"a", "Ab.c", "\xE4\xB8\xAD"})
      EXPECT_TRUE(std::string_view(mask) == kAllNamesMask || matchesMask(name, mask)) << mask << " " << name;
  }
  for (const char* mask :
       {"", "?", "??", "??*", "*.", "*.tmp", "a*", "[a-z]*", "[!.]*", "*.?", "*.**", "[*", "*?[!a]"})
    EXPECT_FALSE(matchesEveryName(mask)) << mask;
}

TEST(MaskTest, ListStopsAtFirstMatchBeforeAnInvalidMask) {
  const MaskList list({"*.log", "[bad", "*.tmp"});
  EXPECT_TRUE(list.hasInvalid());
  EXPECT_TRUE(list.anyMatches(MaskSubject("x.log")));
  EXPECT_THROW(list.anyMatches(MaskSubject("x.tmp")), EInvalidMask);
  EXPECT_FALSE(MaskList().anyMatches(MaskSubject("x")));
}

}  // namespace
}  // namespace qinglan
