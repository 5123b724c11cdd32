#include "scan/CloudCachePath.h"

#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

using platform::DriveKind;
using platform::Volume;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class CloudCachePathTest : public ::testing::Test {
 protected:
  // A volume root in the temporary folder, with a trailing separator as listVolumes gives it.
  Volume volume(const std::string& name, DriveKind kind) {
    return {m_dir.makeFolder(name) + platform::kSeparator, kind};
  }

  test::TempDir m_dir;
};

TEST_F(CloudCachePathTest, TheFirstLocalVolumeHoldingTheFolderWins) {
  const std::vector<Volume> volumes = {
      volume("none", DriveKind::Fixed),      volume("file", DriveKind::Fixed),
      volume("remote", DriveKind::Remote),   volume("optical", DriveKind::Optical),
      volume("ram", DriveKind::Ram),         volume("unknown", DriveKind::Unknown),
      volume("stick", DriveKind::Removable), volume("disk", DriveKind::Fixed),
  };
  m_dir.writeFile("file/CloudCache", "not a folder");
  for (const char* root : {"remote", "optical", "ram", "unknown", "stick", "disk"}) {
    m_dir.makeFolder(std::string(root) + "/CloudCache");
  }

  EXPECT_EQ(FindCloudCachePath(volumes), m_dir.path("stick/CloudCache"));
  EXPECT_THAT(FindAllCloudCachePaths(volumes),
              ElementsAre(m_dir.path("stick/CloudCache"), m_dir.path("disk/CloudCache")));
}

TEST_F(CloudCachePathTest, NoFolderFoundGivesEmptyText) {
  const std::vector<Volume> volumes = {volume("a", DriveKind::Fixed), volume("b", DriveKind::Remote)};
  m_dir.makeFolder("b/CloudCache");
  m_dir.makeFolder("a/CloudCache2");
  EXPECT_EQ(FindCloudCachePath(volumes), "");
  EXPECT_THAT(FindAllCloudCachePaths(volumes), IsEmpty());
  EXPECT_EQ(FindCloudCachePath({}), "");
}

TEST_F(CloudCachePathTest, TheNameIsMatchedAsWindowsDoesExactFirst) {
  const std::vector<Volume> volumes = {volume("a", DriveKind::Fixed), volume("b", DriveKind::Fixed)};
  m_dir.makeFolder("a/CLOUDCACHE");
  m_dir.makeFolder("a/cloudcache");
  m_dir.makeFolder("b/cloudCache");
  m_dir.makeFolder("b/CloudCache");
#ifdef _WIN32
  // Both spellings name one folder, which keeps the name it was made with.
  const std::string inB = m_dir.path("b/cloudCache");
#else
  const std::string inB = m_dir.path("b/CloudCache");
#endif
  EXPECT_THAT(FindAllCloudCachePaths(volumes), ElementsAre(m_dir.path("a/CLOUDCACHE"), inB));
}

#ifndef _WIN32
// A link at a volume root leads to a cache only when the folder is the user's or root's, and the
// link is its owner's: a user who owns a drive must not lead root's clean into a folder of root's.
TEST_F(CloudCachePathTest, ALinkIsFollowedOnlyWhenItsOwnerAndTheFolderOwnerAgree) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "giving links other owners needs root";
  struct Case {
    const char* volume;
    uid_t linkOwner;
    uid_t folderOwner;
    bool followed;
  };
  const uid_t other = 4321;
  const std::vector<Case> cases = {
      {"own", 0, 0, true}, {"planted", other, 0, false}, {"theirs", other, other, false}};
  std::vector<Volume> volumes;
  for (const Case& c : cases) {
    const std::string folder = m_dir.makeFolder(std::string("elsewhere/") + c.volume);
    volumes.push_back(volume(c.volume, DriveKind::Removable));
    const std::string link = volumes.back().root + "CloudCache";
    ASSERT_EQ(::symlink(folder.c_str(), link.c_str()), 0);
    ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);
    ASSERT_EQ(::chown(folder.c_str(), c.folderOwner, c.folderOwner), 0);
  }

  std::vector<SkippedCache> skipped;
  EXPECT_THAT(FindAllCloudCachePaths(volumes, platform::DirLister::system(), &skipped),
              ElementsAre(m_dir.path("elsewhere/own")));
  ASSERT_EQ(skipped.size(), 2u);
  EXPECT_EQ(skipped[0].path, m_dir.path("planted/CloudCache"));
  EXPECT_THAT(skipped[0].reason, HasSubstr("belongs to user 4321"));
  EXPECT_THAT(skipped[1].reason, HasSubstr("belongs to user 4321"));
}
#endif

TEST_F(CloudCachePathTest, ReadsTheMachinesVolumes) {
  m_dir.makeFolder("disk/CloudCache");
  test::ScopedEnv override("QINGLAN_VOLUMES",
                           m_dir.path("empty") + "=fixed;" + m_dir.path("disk") + "=fixed");
  const std::string found = FindCloudCachePath();
  EXPECT_EQ(found, m_dir.path("disk/CloudCache"));
  EXPECT_NE(found.back(), '/');
}

}  // namespace
}  // namespace qinglan
