#include "search/FileSearch.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/DirLister.h"
#include "platform/Remover.h"
#include "support/TempDir.h"

#ifndef _WIN32
#include "support/ChildProcess.h"
#endif

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

  // What the walk finds, in a forked child whose open-file limit is 64, with all but `spare`
  // descriptors taken when `spare` is not negative; exits with 0 when that is `expected`.
  int runLimitedInChild(const std::string& root, int spare, const std::vector<std::string>& expected) {
    return test::exitCodeInChild([&] {
      ::alarm(30);
      rlimit limit{};
      ::getrlimit(RLIMIT_NOFILE, &limit);
      limit.rlim_cur = 64;
      if (::setrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 3;
      std::vector<int> taken;
      for (int fd; spare >= 0 && (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
        taken.push_back(fd);
      for (int i = 0; i < spare && !taken.empty(); ++i, taken.pop_back())
        ::close(taken.back());
      // A slow walk lets the reader run ahead to the limit.
      m_search.setOnFileFound([this](const TFileInformations& found) {
        std::this_thread::sleep_for(std::chrono::microseconds(50));
        m_found.push_back(found.Path + found.Name);
      });
      m_found.clear();
      if (!run(root))
        return 1;
      return m_found == expected ? 0 : 2;
    });
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

// Under a low open-file limit the threaded walk finds what the walk in turn finds, whether only the
// limit bounds it or the program's other files have taken nearly all of it meanwhile. The parent
// walks threaded first, so the children also start without its kept thread.
TEST_F(FileSearchHostileTest, AFewDescriptorsLeftChangeNothingTheThreadedWalkFinds) {
  const std::string root = m_tree.makeFolder("wide");
  for (int i = 0; i < 300; ++i) {
    const std::string folder = "wide/d" + std::to_string(i / 15) + "/e" + std::to_string(i) + "/";
    m_tree.writeFile(folder + "a.tmp", "x");
    m_tree.writeFile(folder + "b.tmp", "x");
  }
  m_search.setListAhead(false);
  ASSERT_TRUE(run(root));
  const std::vector<std::string> inTurn = m_found;
  ASSERT_EQ(inTurn.size(), 920u);
  m_search.setListAhead(true);
  m_found.clear();
  ASSERT_TRUE(run(root));
  ASSERT_EQ(m_found, inTurn);

  for (const int spare : {-1, 4})
    EXPECT_EQ(runLimitedInChild(root, spare, inTurn), 0) << "spare " << spare;
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
