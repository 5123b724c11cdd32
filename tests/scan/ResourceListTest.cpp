#include "scan/ResourceList.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Codepage.h"
#include "platform/DirLister.h"
#include "support/TempDir.h"
#include "whitelist/Whitelist.h"

namespace qinglan {
namespace {

class ResourceListTest : public ::testing::Test {
 protected:
  std::string cache() const { return m_dir.path("CloudCache"); }
  std::string wbLst() const { return m_dir.path("wb.lst"); }

  void resource(const std::string& id, std::string_view ini) const {
    m_dir.makeFolder("CloudCache/" + id + "/0");
    if (!ini.empty())
      m_dir.writeFile("CloudCache/" + id + "/Resource.ini", platform::utf8ToGbk(ini));
  }
  void whitelist(std::string_view utf8) const { m_dir.writeFile("wb.lst", platform::utf8ToGbk(utf8)); }

  std::vector<InstalledResource> listed() const {
    std::vector<InstalledResource> found;
    listInstalledResources(cache(), Whitelist(wbLst()),
                           [&](const InstalledResource& r) { found.push_back(r); });
    return found;
  }
  std::vector<std::string> listedIds() const {
    std::vector<std::string> ids;
    for (const InstalledResource& r : listed())
      ids.push_back(r.id);
    return ids;
  }

  test::TempDir m_dir;
};

TEST_F(ResourceListTest, NameComesFromInfoWithUnknownOnlyWhenAbsent) {
  struct Case {
    const char* ini;
    const char* name;
  };
  const Case cases[] = {
      {"[Info]\nResourceName=星海战记\n", "星海战记"},
      {"[info]\nresourcename=小写也行\n", "小写也行"},
      {"[Info]\nResourceName=\n", ""},
      {"[Info]\nVersion=1.0\n", "未知"},
      {"[Ctrol]\nResourceName=别处\n", "未知"},
  };
  for (const Case& c : cases) {
    resource("1001", c.ini);
    EXPECT_EQ(readResourceName(cache() + "/1001"), c.name) << c.ini;
  }
  EXPECT_EQ(readResourceName(cache() + "/missing"), "未知");
}

// A cache copied from Windows keeps whatever case its files were written in.
TEST_F(ResourceListTest, ResourceFilesAreFoundWhateverTheirCase) {
  m_dir.writeFile("CloudCache/1001/resource.ini", "[Info]\nResourceName=Star\n");
  m_dir.writeFile("CloudCache/1001/iconcache/0.ICO", "icon");
  EXPECT_EQ(readResourceName(cache() + "/1001"), "Star");
  // Compared as paths: Windows joins the found names with its own separator.
  EXPECT_EQ(std::filesystem::path(resourceIconFile(cache() + "/1001")),
            std::filesystem::path(m_dir.path("CloudCache/1001/iconcache/0.ICO")));
  EXPECT_EQ(std::filesystem::path(resourceIconFile(cache() + "/1002")),
            std::filesystem::path(m_dir.path("CloudCache/1002/IconCache/0.ico")));
}

TEST_F(ResourceListTest, ListsUndottedFoldersInListingOrderLeavingWhitelistedOnesOut) {
  resource("1003", "[Info]\nResourceName=丙\n");
  resource("1001", "[Info]\nResourceName=甲\n");
  resource("1002", "[Info]\nResourceName=乙\n");
  resource("abc.old", "[Info]\nResourceName=旧\n");
  m_dir.writeFile("CloudCache/2000", "a plain file");
  m_dir.writeFile("CloudCache/readme.txt", "a plain file");
  whitelist("[White]\n1002=1\n");

  const std::vector<InstalledResource> found = listed();
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0], (InstalledResource{"甲", "1001", m_dir.path("CloudCache/1001"),
                                         m_dir.path("CloudCache/1001/IconCache/0.ico")}));
  EXPECT_EQ(found[1].id, "1003");
  EXPECT_EQ(found[1].name, "丙");
}

TEST_F(ResourceListTest, WhitelistValuesOtherThanOneAndSectionCase) {
  for (const char* id : {"1001", "1002", "1003", "1004"})
    resource(id, "");
  whitelist("[WHITE]\n1001=1\n1002=0\n1003=yes\n[WhiteName]\n1004=1\n");
  EXPECT_EQ(listedIds(), (std::vector<std::string>{"1002", "1003", "1004"}));
}

TEST_F(ResourceListTest, MissingOrEmptyCacheListsNothing) {
  EXPECT_TRUE(listed().empty());
  m_dir.makeFolder("CloudCache");
  EXPECT_TRUE(listed().empty());
}

TEST_F(ResourceListTest, FileEntriesAreNoResources) {
  TFileInformations file;
  file.Name = "1001";
  file.Path = cache() + "/";
  file.Attributes = platform::kAttrArchive;
  EXPECT_FALSE(installedResourceFor(file, Whitelist(wbLst())).has_value());

  file.Attributes = platform::kAttrDirectory;
  const std::optional<InstalledResource> folder = installedResourceFor(file, Whitelist(wbLst()));
  ASSERT_TRUE(folder.has_value());
  EXPECT_EQ(folder->name, "未知");
  EXPECT_EQ(folder->folder, cache() + "/1001");
}

}  // namespace
}  // namespace qinglan
