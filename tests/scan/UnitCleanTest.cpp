#include "scan/UnitClean.h"

#include <string>
#include <vector>

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/Remover.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

using ::testing::ElementsAre;

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

class RecordingRemover : public platform::Remover {
 public:
  explicit RecordingRemover(bool answer) : m_answer(answer) {}
  bool remove(const std::string& path) override {
    paths.push_back(path);
    return m_answer;
  }
  std::vector<std::string> paths;

 private:
  bool m_answer;
};

TEST(UnitCleanTest, DeletesAFolderTreeOrAFile) {
  test::TempDir dir;
  dir.writeFile("cache/res/a.tmp", "a");
  dir.writeFile("cache/res/sub/b.log", "b");
  const std::string single = dir.writeFile("single.dat", "x");

  EXPECT_TRUE(ShellDeletePath(dir.path("cache")));
  EXPECT_TRUE(ShellDeletePath(single));
  EXPECT_FALSE(exists(dir.path("cache")));
  EXPECT_FALSE(exists(single));
  EXPECT_FALSE(ShellDeletePath(dir.path("cache")));
}

TEST(UnitCleanTest, HandsThePathToTheRemoverAndReportsItsAnswer) {
  for (bool answer : {true, false}) {
    RecordingRemover remover(answer);
    EXPECT_EQ(ShellDeletePath("/cache/res", remover), answer);
    EXPECT_THAT(remover.paths, ElementsAre("/cache/res"));
  }
}

}  // namespace
}  // namespace qinglan
