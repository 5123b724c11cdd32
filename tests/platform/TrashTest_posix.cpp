#include "platform/Trash_posix.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/ConfinedRoot.h"
#include "platform/MountTable.h"
#include "support/ChildProcess.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace qinglan::platform {
namespace {

using ::testing::MatchesRegex;

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

std::string contentOf(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Renames through the system unless told to refuse.
class RefusingCalls final : public TrashCalls {
 public:
  bool refuse = false;
  int renameNoReplace(int fromFd, const char* from, int toFd, const char* to) override {
    if (!refuse)
      return TrashCalls::renameNoReplace(fromFd, from, toFd, to);
    errno = EACCES;
    return -1;
  }
};

class TrashTest : public ::testing::Test {
 protected:
  std::string home() const { return m_dir.path("home/Trash"); }

  test::TempDir m_dir;
  RefusingCalls m_calls;
  PosixTrash m_trash{m_calls, m_dir.path("home/Trash")};
};

struct EntryCase {
  const char* name;
  const char* encoded;  // the name as the trash info records it
  enum { File, Folder, Link } kind;
};

class TrashEntryTest : public TrashTest, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(TrashEntryTest, GoesIntoTheHomeTrashWithItsInfoAndComesBack) {
  const EntryCase& entry = GetParam();
  const std::string path = m_dir.path(std::string("c/") + entry.name);
  if (entry.kind == EntryCase::File)
    m_dir.writeFile(std::string("c/") + entry.name, "x");
  if (entry.kind == EntryCase::Folder) {
    m_dir.writeFile(std::string("c/") + entry.name + "/inner.txt", "x");
    m_dir.writeFile(std::string("c/") + entry.name + "/sub/deeper/x.txt", "x");
    m_dir.makeFolder(std::string("c/") + entry.name + "/other");
  }
  if (entry.kind == EntryCase::Link) {
    m_dir.makeFolder("c");
    ASSERT_EQ(::symlink("missing", path.c_str()), 0);
  }

  const TrashResult result = m_trash.moveToTrash(path);
  ASSERT_TRUE(result.moved) << result.reason;
  EXPECT_EQ(result.location.folder, home());
  EXPECT_EQ(result.location.name, entry.name);
  EXPECT_EQ(result.location.origin, path);
  EXPECT_FALSE(exists(path));
  EXPECT_TRUE(exists(home() + "/files/" + entry.name));
  const std::string info = contentOf(home() + "/info/" + entry.name + ".trashinfo");
  EXPECT_THAT(info, MatchesRegex("\\[Trash Info\\]\nPath=.*/c/" + std::string(entry.encoded) +
                                 "\nDeletionDate=[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\n"));
  const size_t start = info.find("Path=") + 5;
  EXPECT_EQ(percentDecodePath(info.substr(start, info.find('\n', start) - start)), path);

  const RestoreResult back = m_trash.restore(result.location);
  EXPECT_TRUE(back.restored) << back.reason;
  EXPECT_TRUE(exists(path));
  EXPECT_FALSE(exists(home() + "/info/" + entry.name + ".trashinfo"));

  // Trashed again and purged, it is gone from the trash with its info, and a second purge finds
  // it gone.
  const TrashResult again = m_trash.moveToTrash(path);
  ASSERT_TRUE(again.moved) << again.reason;
  const PurgeResult purged = m_trash.purge(again.location);
  EXPECT_TRUE(purged.purged) << purged.reason;
  EXPECT_FALSE(exists(home() + "/files/" + again.location.name));
  EXPECT_FALSE(exists(home() + "/info/" + again.location.name + ".trashinfo"));
  EXPECT_TRUE(m_trash.purge(again.location).gone);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TrashEntryTest,
                         ::testing::Values(EntryCase{"a.log", "a.log", EntryCase::File},
                                           EntryCase{"dir 1", "dir%201", EntryCase::Folder},
                                           EntryCase{"link%\xC4", "link%25%C4", EntryCase::Link}));

TEST_F(TrashTest, InfoNameCollisionsTakeTheNextFreeName) {
  m_dir.writeFile("home/Trash/info/a.log.trashinfo", "claimed by another program");
  m_dir.writeFile("home/Trash/files/a.log.2", "left without info");
  m_dir.writeFile("one/a.log");
  m_dir.writeFile("two/a.log");
  const std::string longName(250, 'n');
  m_dir.writeFile("three/" + longName);

  EXPECT_EQ(m_trash.moveToTrash(m_dir.path("one/a.log")).location.name, "a.log.3");
  EXPECT_EQ(m_trash.moveToTrash(m_dir.path("two/a.log")).location.name, "a.log.4");
  const TrashResult cut = m_trash.moveToTrash(m_dir.path("three/" + longName));
  ASSERT_TRUE(cut.moved) << cut.reason;
  EXPECT_EQ(cut.location.name.size() + 10, 255u);
  EXPECT_EQ(contentOf(m_dir.path("home/Trash/info/a.log.trashinfo")), "claimed by another program");
}

TEST_F(TrashTest, ARefusedRenameKeepsTheEntryAndDropsItsClaim) {
  const std::string path = m_dir.writeFile("c/a.log", "x");
  m_calls.refuse = true;

  const TrashResult result = m_trash.moveToTrash(path);
  EXPECT_FALSE(result.moved);
  EXPECT_THAT(result.reason, ::testing::HasSubstr("refused"));
  EXPECT_EQ(contentOf(path), "x");
  EXPECT_FALSE(exists(home() + "/info/a.log.trashinfo"));
}

TEST_F(TrashTest, RestoreLeavesTheEntryInTheTrashWhenItsNameIsTaken) {
  const std::string path = m_dir.writeFile("c/a.log", "old");
  const TrashResult result = m_trash.moveToTrash(path);
  m_dir.writeFile("c/a.log", "new");

  const RestoreResult back = m_trash.restore(result.location);
  EXPECT_FALSE(back.restored);
  EXPECT_EQ(contentOf(path), "new");
  EXPECT_EQ(contentOf(home() + "/files/a.log"), "old");
  EXPECT_TRUE(exists(home() + "/info/a.log.trashinfo"));
}

// What the trash's entry, its info or its record may have become by the time of the restore.
struct RestoreCase {
  const char* what;
  void (*change)(const test::TempDir& dir, TrashLocation& location);
  bool purgeKeeps = true;  // the entry is not the one moved, so a purge leaves it too
};

TEST_F(TrashTest, RestoreTakesBackOnlyTheEntryItMovedIntoTheFolderItCameFrom) {
  const RestoreCase cases[] = {
      {"replaced by a link",
       [](const test::TempDir& dir, TrashLocation&) {
         ::unlink(dir.path("home/Trash/files/a.log").c_str());
         ::symlink(dir.writeFile("outside/secret", "s").c_str(), dir.path("home/Trash/files/a.log").c_str());
       }},
      {"replaced by a later one of that name",
       [](const test::TempDir& dir, TrashLocation&) {
         ::unlink(dir.path("home/Trash/files/a.log").c_str());
         dir.writeFile("home/Trash/files/a.log", "later");
       }},
      {"its origin edited to an outside folder, the trash info too",
       [](const test::TempDir& dir, TrashLocation& location) {
         location.origin = dir.makeFolder("outside") + "/a.log";
         std::ofstream(dir.path("home/Trash/info/a.log.trashinfo"))
             << "[Trash Info]\nPath=" << percentEncodePath(location.origin) << "\n";
       },
       false},
      {"recorded without identities",
       [](const test::TempDir&, TrashLocation& location) {
         location.entry = {};
         location.trashFolder = {};
         location.originFolder = {};
       }},
  };
  for (const RestoreCase& change : cases) {
    const test::TempDir dir;
    PosixTrash trash(m_calls, dir.path("home/Trash"));
    const std::string path = dir.writeFile("c/a.log", "old");
    TrashResult result = trash.moveToTrash(path);
    ASSERT_TRUE(result.moved) << result.reason;
    change.change(dir, result.location);

    const RestoreResult back = trash.restore(result.location);
    EXPECT_FALSE(back.restored) << change.what;
    EXPECT_FALSE(back.reason.empty()) << change.what;
    EXPECT_FALSE(exists(path)) << change.what;
    EXPECT_FALSE(exists(dir.path("outside/a.log"))) << change.what;
    EXPECT_TRUE(exists(dir.path("home/Trash/files/a.log"))) << change.what;
    if (!change.purgeKeeps)
      continue;
    const PurgeResult purged = trash.purge(result.location);
    EXPECT_FALSE(purged.purged || purged.gone) << change.what;
    EXPECT_FALSE(purged.reason.empty()) << change.what;
    EXPECT_TRUE(exists(dir.path("home/Trash/files/a.log"))) << change.what;
    EXPECT_TRUE(exists(dir.path("home/Trash/info/a.log.trashinfo"))) << change.what;
  }
}

// The home trash, or a folder on its way, planted as a link or a file: the entry stays, with the
// reason, and no trash is made anywhere else on the home trash's file system.
TEST_F(TrashTest, AnUnusableHomeTrashRefusesTheEntryAndNothingElseIsMade) {
  const char* planted[] = {".local/share", ".local/share/Trash", ".local/share/Trash/files",
                           ".local/share/Trash/info"};
  const int fd = ::open(m_dir.path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  const std::string volumeTrash = mountPathOfId(mountIdOf(fd)) + "/.Trash-" + std::to_string(::getuid());
  ::close(fd);
  const bool hadVolumeTrash = exists(volumeTrash);
  const test::ScopedEnv noDataHome("XDG_DATA_HOME", std::nullopt);
  for (const char* place : planted) {
    for (const bool asLink : {true, false}) {
      const test::TempDir dir;
      const test::ScopedEnv home("HOME", dir.path("home"));
      dir.makeFolder("home/.local/share/Trash/files");
      dir.makeFolder("home/.local/share/Trash/info");
      std::filesystem::remove_all(dir.path(std::string("home/") + place));
      if (asLink)
        std::filesystem::create_directory_symlink(dir.makeFolder("elsewhere"),
                                                  dir.path(std::string("home/") + place));
      else
        dir.writeFile(std::string("home/") + place, "a file");
      const std::string path = dir.writeFile("c/a.log", "x");
      PosixTrash trash(m_calls);

      const TrashResult result = trash.moveToTrash(path);
      EXPECT_FALSE(result.moved) << place;
      EXPECT_THAT(result.reason, ::testing::HasSubstr("home trash")) << place;
      EXPECT_TRUE(exists(path)) << place;
      EXPECT_TRUE(std::filesystem::is_empty(dir.makeFolder("elsewhere"))) << place;
      EXPECT_EQ(exists(volumeTrash), hadVolumeTrash) << place;
    }
  }
}

// A bind mount of an outside folder deep inside a folder would move with it into the trash.
TEST_F(TrashTest, AFolderWithAMountInsideStaysWhereItIs) {
  m_dir.writeFile("outside/keep.txt", "keep");
  m_dir.writeFile("c/d/a/x.txt", "x");
  m_dir.makeFolder("c/d/e/mnt");
  const int code = test::exitCodeInChild([&] {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount(m_dir.path("outside").c_str(), m_dir.path("c/d/e/mnt").c_str(), nullptr, MS_BIND, nullptr) !=
            0)
      return 77;
    const TrashResult result = m_trash.moveToTrash(m_dir.path("c/d"));
    return !result.moved && result.reason.find("e/mnt") != std::string::npos &&
                   exists(m_dir.path("c/d/a/x.txt"))
               ? 0
               : 1;
  });
  if (code == 77)
    GTEST_SKIP() << "no bind mount can be made in a private mount namespace here";
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(exists(m_dir.path("outside/keep.txt")));
  EXPECT_FALSE(exists(home() + "/files/d"));
}

// The volume trash needs a second file system: a tmpfs mounted in a private mount namespace of a
// child process, so that nothing outside the test sees it.
bool enterPrivateTmpfs(const std::string& mountPoint) {
  return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=1m") == 0;
}

bool canMountPrivateTmpfs(const std::string& mountPoint) {
  const pid_t child = ::fork();
  if (child == 0)
    ::_exit(enterPrivateTmpfs(mountPoint) ? 0 : 1);
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct VolumeCase {
  const char* sharedTrash;  // what .Trash is at the volume's top: "", "sticky", "plain" or "link"
  const char* expectedFolder;
};

class VolumeTrashTest : public TrashTest, public ::testing::WithParamInterface<VolumeCase> {};

// In the child: prepares .Trash, trashes c/a.log and prints where it went for the parent to match.
void trashOnVolume(PosixTrash& trash, const std::string& volume, const std::string& sharedTrash) {
  if (!enterPrivateTmpfs(volume))
    ::_exit(2);
  if (sharedTrash == "sticky" || sharedTrash == "plain") {
    ::mkdir((volume + "/.Trash").c_str(), sharedTrash == "sticky" ? 01777 : 0777);
  } else if (sharedTrash == "link") {
    ::mkdir((volume + "/real").c_str(), 01777);
    if (::symlink("real", (volume + "/.Trash").c_str()) != 0)
      ::_exit(2);
  }
  ::mkdir((volume + "/c").c_str(), 0700);
  std::ofstream(volume + "/c/a.log") << "x";
  const TrashResult result = trash.moveToTrash(volume + "/c/a.log");
  const std::string info = contentOf(result.location.folder + "/info/a.log.trashinfo");
  std::fprintf(stderr, "moved=%d folder=%s %s", result.moved ? 1 : 0,
               result.location.folder.substr(volume.size()).c_str(), info.c_str());
  ::_exit(0);
}

TEST_P(VolumeTrashTest, UsesTheVolumesOwnTrashAndRefusesAnUnsafeSharedOne) {
  const std::string volume = m_dir.makeFolder("volume");
  if (!canMountPrivateTmpfs(volume))
    GTEST_SKIP() << "a tmpfs in a private mount namespace cannot be made here (needs unshare -m rights)";
  const std::string uid = std::to_string(::getuid());
  const std::string folder = std::string(GetParam().expectedFolder) + uid;
  EXPECT_EXIT(trashOnVolume(m_trash, volume, GetParam().sharedTrash), ::testing::ExitedWithCode(0),
              "moved=1 folder=" + folder + " \\[Trash Info\\]\nPath=c/a.log\n");
}

INSTANTIATE_TEST_SUITE_P(SharedTrash, VolumeTrashTest,
                         ::testing::Values(VolumeCase{"", "/.Trash-"}, VolumeCase{"sticky", "/.Trash/"},
                                           VolumeCase{"plain", "/.Trash-"}, VolumeCase{"link", "/.Trash-"}));

}  // namespace
}  // namespace qinglan::platform
