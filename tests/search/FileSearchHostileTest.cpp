#include "search/FileSearch.h"

#include <cstdio>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/DirLister.h"
#include "platform/Remover.h"
#include "support/TempDir.h"

// The walk over trees no cache should hold: it ends, reports only what lies below its root, and
// fails plainly where a folder cannot be listed.
namespace qinglan {
namespace {

#ifdef _WIN32
TEST(FileSearchHostileTest, BuildsItsTreesTheWayPosixSystemsAllow) {
  GTEST_SKIP() << "links, names of any bytes and descriptor-relative trees are POSIX file system cases; "
                  "the Win32 lister's reparse points and long paths are tested beside it";
}
#else
using testing::Each;
using testing::StartsWith;
using testing::UnorderedElementsAre;

class FileSearchHostileTest : public testing::Test {
 protected:
  FileSearchHostileTest() {
    m_search.setLister(platform::DirLister::system());
    m_search.setFileNames({"*"});
    m_search.setOnFileFound(
        [this](const TFileInformations& found) { m_found.push_back(found.Path + found.Name); });
    m_search.setOnStatistics([this](const TStatistics& stats) { m_filesFound = stats.FilesFound; });
  }

  bool run(const std::string& root) {
    m_search.setRootPath(root);
    return m_search.Execute();
  }

  void link(const std::string& target, std::string_view at) const {
    ASSERT_EQ(::symlink(target.c_str(), m_tree.path(at).c_str()), 0) << at;
  }

  test::TempDir m_tree;
  TFileSearch m_search;
  std::vector<std::string> m_found;
  int m_filesFound = 0;
};

TEST_F(FileSearchHostileTest, LinksToTheRootTheParentAndInLoopsAreReportedNotEntered) {
  const std::string root = m_tree.makeFolder("cache");
  m_tree.writeFile("cache/a/file.tmp", "x");
  m_tree.writeFile("outside.tmp", "x");
  link("/", "cache/toRoot");
  link("..", "cache/toParent");
  link(".", "cache/a/self");
  link("../a", "cache/a/loop");
  link(root + "/a/gone", "cache/dangling");

  EXPECT_TRUE(run(root));
  EXPECT_THAT(m_found,
              UnorderedElementsAre(root + "/a", root + "/toRoot", root + "/toParent", root + "/dangling",
                                   root + "/a/file.tmp", root + "/a/self", root + "/a/loop"));
}

TEST_F(FileSearchHostileTest, NamesOfAnyBytesAreReportedAsListed) {
  const std::string root = m_tree.makeFolder("cache");
  const std::vector<std::string> names = {
      "\xFF\xFE.log", "a\nb.log", "\r.log", std::string(251, 'n') + ".log", "\xE6\x97\xA5\xE5\xBF\x97.LOG",
      " .log"};
  for (const std::string& name : names)
    m_tree.writeFile("cache/" + name, "x");
  m_tree.writeFile("cache/kept.txt", "x");
  m_search.setFileNames({"*.log"});

  EXPECT_TRUE(run(root));
  std::vector<std::string> expected;
  for (const std::string& name : names)
    expected.push_back(root + "/" + name);
  EXPECT_THAT(m_found, testing::UnorderedElementsAreArray(expected));
}

TEST_F(FileSearchHostileTest, ReportsEveryEntryOfAHundredThousandInOneFolder) {
  const std::string root = m_tree.makeFolder("cache");
  constexpr int kEntries = 100'000;
  for (int i = 0; i < kEntries; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/f%06d.tmp", i);
    const int fd = ::open((root + name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
  }

  EXPECT_TRUE(run(root));
  EXPECT_EQ(m_found.size(), static_cast<size_t>(kEntries));
  EXPECT_EQ(m_filesFound, kEntries);
  EXPECT_EQ(m_found.front(), root + "/f000000.tmp");
  EXPECT_EQ(m_found.back(), root + "/f099999.tmp");
}

// Folders made one inside the other relative to their parent's descriptor, so the depth is not
// bounded by the longest path the system takes; the remover takes them down the same way.
class DeepTree {
 public:
  DeepTree(const std::string& root, int depth, const std::string& name) : m_root(root) {
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < depth && fd >= 0; ++level) {
      ::mkdirat(fd, name.c_str(), 0755);
      const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      ::close(fd);
      fd = next;
    }
    if (fd >= 0) {
      ::close(::openat(fd, "bottom.tmp", O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
      ::close(fd);
      m_made = true;
    }
  }
  ~DeepTree() { platform::Remover::system().remove(m_root); }

  bool made() const { return m_made; }

 private:
  std::string m_root;
  bool m_made = false;
};

TEST_F(FileSearchHostileTest, WalksFiveHundredLevelsDown) {
  const std::string root = m_tree.makeFolder("cache");
  const DeepTree tree(root, 500, "d");
  ASSERT_TRUE(tree.made());

  EXPECT_TRUE(run(root));
  std::string bottom = root;
  for (int level = 0; level < 500; ++level)
    bottom += "/d";
  EXPECT_EQ(m_found.back(), bottom + "/bottom.tmp");
  EXPECT_EQ(m_found.size(), 501u);
}

TEST_F(FileSearchHostileTest, AFindingBeyondTheLongestPathIsFoundAndDeleted) {
  const std::string root = m_tree.makeFolder("cache");
  const DeepTree tree(root, 500, std::string(20, 'd'));
  ASSERT_TRUE(tree.made());
  TFileInformations last;
  m_search.setOnFileFound([&](const TFileInformations& found) { last = found; });

  EXPECT_TRUE(run(root));
  ASSERT_EQ(last.Name, "bottom.tmp");
  EXPECT_GT(last.Path.size(), 10'000u);
  EXPECT_TRUE(platform::Remover::system().removeFinding(last.Path + last.Name, last.Origin));
  last = {};
  EXPECT_TRUE(run(root));
  EXPECT_NE(last.Name, "bottom.tmp");
}
#endif

}  // namespace
}  // namespace qinglan
