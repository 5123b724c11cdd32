#include "platform/Remover_posix.h"

#include <cerrno>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/ConfinedRoot.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace qinglan::platform {
namespace {

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

class RemoverTest : public ::testing::Test {
 protected:
  // A tree to remove under "tree", and under "outside" what its links point to.
  void buildTreeWithLinksOutside() {
    m_dir.writeFile("tree/a.txt", "a");
    m_dir.writeFile("tree/sub/b.txt", "b");
    m_dir.writeFile("tree/sub/deeper/c.txt", "c");
    m_dir.writeFile("tree/sub/.hidden", "h");
    m_dir.writeFile("outside/keep.txt", "keep");
    m_dir.writeFile("outside/inner/keep2.txt", "keep");
    ASSERT_EQ(::symlink(m_dir.path("outside").c_str(), m_dir.path("tree/sub/toFolder").c_str()), 0);
    ASSERT_EQ(::symlink(m_dir.path("outside/keep.txt").c_str(), m_dir.path("tree/toFile").c_str()), 0);
    ASSERT_EQ(::symlink("../outside/inner", m_dir.path("tree/relative").c_str()), 0);
    ASSERT_EQ(::symlink("missing", m_dir.path("tree/dangling").c_str()), 0);
  }

  void expectOutsideIntact() {
    EXPECT_TRUE(exists(m_dir.path("outside/keep.txt")));
    EXPECT_TRUE(exists(m_dir.path("outside/inner/keep2.txt")));
  }

  test::TempDir m_dir;
};

TEST_F(RemoverTest, RemovesATreeWithoutFollowingItsLinks) {
  buildTreeWithLinksOutside();
  EXPECT_TRUE(Remover::system().remove(m_dir.path("tree")));
  EXPECT_FALSE(exists(m_dir.path("tree")));
  expectOutsideIntact();
}

TEST_F(RemoverTest, RemovesALinkItselfAlsoWrittenWithATrailingSeparator) {
  buildTreeWithLinksOutside();
  ASSERT_EQ(::symlink(m_dir.path("outside").c_str(), m_dir.path("link").c_str()), 0);
  ASSERT_EQ(::symlink(m_dir.path("outside").c_str(), m_dir.path("link2").c_str()), 0);

  EXPECT_TRUE(Remover::system().remove(m_dir.path("link")));
  EXPECT_TRUE(Remover::system().remove(m_dir.path("link2/")));
  EXPECT_FALSE(exists(m_dir.path("link")));
  EXPECT_FALSE(exists(m_dir.path("link2")));
  expectOutsideIntact();
}

TEST_F(RemoverTest, RemovesSingleEntriesOfEveryKind) {
  const std::string names[] = {"file.txt", "bad\xff\xfe name", "empty", "pipe", "dangling"};
  m_dir.writeFile(names[0], "x");
  m_dir.writeFile(names[1], "x");
  m_dir.makeFolder(names[2]);
  ASSERT_EQ(::mkfifo(m_dir.path(names[3]).c_str(), 0600), 0);
  ASSERT_EQ(::symlink("missing", m_dir.path(names[4]).c_str()), 0);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(Remover::system().remove(m_dir.path(name)));
    EXPECT_FALSE(exists(m_dir.path(name)));
  }
}

TEST_F(RemoverTest, RemovesNamesThatAreNotUtf8InsideATree) {
  m_dir.writeFile("tree/\xc3\x28/\xff.bin", "x");
  EXPECT_TRUE(Remover::system().remove(m_dir.path("tree/")));
  EXPECT_FALSE(exists(m_dir.path("tree")));
}

TEST_F(RemoverTest, RefusesWhatIsMissingOrNamesAParent) {
  m_dir.writeFile("sub/keep.txt");
  for (const std::string& path : {m_dir.path("missing"), m_dir.path("missing/deeper"), m_dir.path("sub/.."),
                                  m_dir.path("sub/."), std::string("/"), std::string()}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(Remover::system().remove(path));
  }
  EXPECT_TRUE(exists(m_dir.path("sub/keep.txt")));
}

// Fails the removal of chosen names with EBUSY, as a file in use would.
class FailingCalls : public RemoverCalls {
 public:
  explicit FailingCalls(std::set<std::string> refused) : m_refused(std::move(refused)) {}
  int unlinkAt(int parentFd, const char* name, int flags) override {
    if (m_refused.count(name) != 0) {
      errno = EBUSY;
      return -1;
    }
    return RemoverCalls::unlinkAt(parentFd, name, flags);
  }

 private:
  std::set<std::string> m_refused;
};

TEST_F(RemoverTest, AFailureKeepsWhatWasRemovedAndGoesOnWithTheRest) {
  m_dir.writeFile("tree/first/busy.txt");
  m_dir.writeFile("tree/first/other.txt");
  m_dir.writeFile("tree/second/free.txt");
  m_dir.writeFile("tree/top.txt");
  FailingCalls calls({"busy.txt"});
  PosixRemover remover(calls);

  EXPECT_FALSE(remover.remove(m_dir.path("tree")));
  EXPECT_TRUE(exists(m_dir.path("tree/first/busy.txt")));
  EXPECT_FALSE(exists(m_dir.path("tree/first/other.txt")));
  EXPECT_FALSE(exists(m_dir.path("tree/second")));
  EXPECT_FALSE(exists(m_dir.path("tree/top.txt")));
}

TEST_F(RemoverTest, AFileThatCannotBeRemovedGivesFalse) {
  m_dir.writeFile("busy.txt");
  FailingCalls calls({"busy.txt"});
  EXPECT_FALSE(PosixRemover(calls).remove(m_dir.path("busy.txt")));
  EXPECT_TRUE(exists(m_dir.path("busy.txt")));
}

// Swaps a folder for a link to another folder just before the removal opens it.
class SwappingCalls : public RemoverCalls {
 public:
  SwappingCalls(std::string victim, std::string parked, std::string target)
      : m_victim(std::move(victim)), m_parked(std::move(parked)), m_target(std::move(target)) {}
  int openFolderAt(int parentFd, const char* name) override {
    if (m_victim == name) {
      EXPECT_EQ(::renameat(parentFd, name, AT_FDCWD, m_parked.c_str()), 0);
      EXPECT_EQ(::symlinkat(m_target.c_str(), parentFd, name), 0);
    }
    return RemoverCalls::openFolderAt(parentFd, name);
  }

 private:
  std::string m_victim;
  std::string m_parked;
  std::string m_target;
};

TEST_F(RemoverTest, AFolderSwappedForALinkWhileRemovingIsNotFollowed) {
  buildTreeWithLinksOutside();
  SwappingCalls calls("deeper", m_dir.path("parked"), m_dir.path("outside"));
  PosixRemover remover(calls);

  EXPECT_TRUE(remover.remove(m_dir.path("tree")));
  EXPECT_FALSE(exists(m_dir.path("tree")));
  expectOutsideIntact();
  EXPECT_TRUE(exists(m_dir.path("parked/c.txt")));
}

TEST_F(RemoverTest, AFolderFindingSwappedForALinkAfterItWasFoundStaysAndFails) {
  buildTreeWithLinksOutside();
  const FindingOrigin origin = m_dir.origin("tree/sub");
  SwappingCalls calls("sub", m_dir.path("parked"), m_dir.path("outside"));
  PosixRemover remover(calls);

  EXPECT_FALSE(remover.removeFinding(m_dir.path("tree/sub"), origin));
  EXPECT_TRUE(exists(m_dir.path("tree/sub")));
  EXPECT_TRUE(exists(m_dir.path("parked/deeper/c.txt")));
  expectOutsideIntact();
}

// Folders made one inside the other from their parent's descriptor, beyond the longest path.
bool makeDeepTree(const std::string& root, int depth) {
  int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int level = 0; level < depth && fd >= 0; ++level) {
    ::mkdirat(fd, "d", 0755);
    ::close(::openat(fd, "f.tmp", O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(fd);
    fd = next;
  }
  ::close(fd);
  return fd >= 0;
}

TEST_F(RemoverTest, ATreeThreeThousandLevelsDeepGoesWithinSixtyFourDescriptors) {
  const std::string root = m_dir.makeFolder("deep");
  const int code = test::exitCodeInChild([&] {
    const rlimit limit{64, 64};
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0 || !makeDeepTree(root, 3000))
      return 2;
    return Remover::system().remove(root) ? 0 : 1;
  });
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(exists(root));
}

// A finding is deleted only while it is the entry listed, found again from its root without a
// link; either way of resolving a path (openat2, or one component at a time) behaves alike.
class RemoveFindingTest : public RemoverTest, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override { ConfinedRoot::setComponentWalkOnly(GetParam()); }
  void TearDown() override { ConfinedRoot::setComponentWalkOnly(false); }
};

TEST_P(RemoveFindingTest, OnlyTheEntryListedIsDeleted) {
  struct Case {
    const char* name;
    std::function<void(const test::TempDir&)> change;  // between the listing and the removal
    bool removed;
    const char* kept;  // relative to the folder
  };
  const std::vector<Case> cases = {
      {"unchanged", [](const test::TempDir&) {}, true, "outside/f.txt"},
      {"replaced by another file",
       [](const test::TempDir& dir) {
         ASSERT_EQ(std::rename(dir.path("tree/sub/f.txt").c_str(), dir.path("moved.txt").c_str()), 0);
         dir.writeFile("tree/sub/f.txt", "new");
       },
       false, "tree/sub/f.txt"},
      {"folder on the way swapped for a link",
       [](const test::TempDir& dir) {
         ASSERT_EQ(std::rename(dir.path("tree/sub").c_str(), dir.path("parked").c_str()), 0);
         ASSERT_EQ(::symlink(dir.path("outside").c_str(), dir.path("tree/sub").c_str()), 0);
       },
       false, "parked/f.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    dir.writeFile("tree/sub/f.txt", "x");
    dir.writeFile("outside/f.txt", "keep");
    const FindingOrigin origin = dir.origin("tree/sub/f.txt");
    c.change(dir);

    EXPECT_EQ(Remover::system().removeFinding(dir.path("tree/sub/f.txt"), origin), c.removed);
    EXPECT_EQ(exists(dir.path("tree/sub/f.txt")), !c.removed);
    EXPECT_TRUE(exists(dir.path(c.kept)));
    EXPECT_TRUE(exists(dir.path("outside/f.txt")));
  }
}

TEST_F(RemoverTest, AFindingWithoutAKnownOriginIsKept) {
  m_dir.writeFile("f.txt");
  FindingOrigin origin = m_dir.origin("f.txt");
  EXPECT_FALSE(Remover::system().removeFinding(m_dir.path("f.txt"), {nullptr, origin.id}));
  EXPECT_FALSE(Remover::system().removeFinding(m_dir.path("f.txt"), {origin.root, {}}));
  EXPECT_TRUE(exists(m_dir.path("f.txt")));
}

INSTANTIATE_TEST_SUITE_P(BothResolutions, RemoveFindingTest, testing::Bool());

}  // namespace
}  // namespace qinglan::platform
