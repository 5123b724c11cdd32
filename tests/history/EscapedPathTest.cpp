#include "history/EscapedPath.h"

#include <string>

#include <gtest/gtest.h>

namespace qinglan {
namespace {

TEST(EscapedPathTest, EscapesOnlyWhatIsNotUtf8AndReadsBackByteForByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"/缓存/a.log", "/缓存/a.log"}, {"a\\b", "a\\\\b"}, {"a\xC4.log", "a\\xC4.log"},
      {"a\\xC4", "a\\\\xC4"},      // a literal backslash-x stays apart from the byte
      {"\xE4\xB8", "\\xE4\\xB8"},  // a cut sequence
  };
  for (const auto& [bytes, escaped] : cases) {
    EXPECT_EQ(escapePathBytes(bytes), escaped);
    EXPECT_EQ(unescapePathBytes(escaped), bytes);
  }
  EXPECT_EQ(unescapePathBytes("a\\q"), std::nullopt);
  EXPECT_EQ(unescapePathBytes("a\\x4"), std::nullopt);
}

}  // namespace
}  // namespace qinglan
