#include "platform/DirLister.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qinglan::platform {
namespace {

// Bytes on both sides of the letters' bounds, with and without the high bit, so that a fold that
// upper-cases eight bytes at once is tried on every byte it must leave alone; lengths cross the
// eight-byte words the sort compares first.
TEST(SortListedTest, AgreesWithListedBeforeOnRandomNames) {
  const std::string alphabet = "@AZ[`az{_.0\x7f\x80\xc1\xda\xe1\xfa\xff";
  std::mt19937 random(20261208);
  for (int round = 0; round < 200; ++round) {
    std::vector<DirEntry> entries(std::uniform_int_distribution<size_t>(1, 40)(random));
    for (DirEntry& entry : entries) {
      const size_t length = std::uniform_int_distribution<size_t>(1, 20)(random);
      for (size_t i = 0; i < length; ++i)
        entry.name += alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(random)];
    }
    std::vector<DirEntry> expected = entries;
    std::sort(expected.begin(), expected.end(), listedBefore);
    sortListed(entries);
    for (size_t i = 0; i < entries.size(); ++i)
      ASSERT_EQ(entries[i].name, expected[i].name) << "round " << round << ", entry " << i;
  }
}

}  // namespace
}  // namespace qinglan::platform
