#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "fuzz/FuzzEntries.h"

namespace qinglan::fuzz {
namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CorpusReplayTest : public testing::TestWithParam<FuzzTarget> {};

// The seeds and every input a fuzz run once failed on; an entry aborts on a fault.
TEST_P(CorpusReplayTest, EveryCorpusFilePasses) {
  const fs::path folder = fs::path(QINGLAN_FUZZ_CORPUS_DIR) / GetParam().name;
  ASSERT_TRUE(fs::is_directory(folder)) << folder;
  int files = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    SCOPED_TRACE(entry.path().string());
    const std::string bytes = readBytes(entry.path());
    EXPECT_EQ(GetParam().entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
    ++files;
  }
  EXPECT_GT(files, 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplayTest, testing::ValuesIn(kFuzzTargets),
                         [](const testing::TestParamInfo<FuzzTarget>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace qinglan::fuzz
