#include "app/CloudCachePath.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

using platform::DriveKind;
using platform::Volume;
using ::testing::ElementsAre;
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
