#include "app/AppPaths.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/OwnFolder.h"
#include "rules/SQLiteTable3.h"
#include "support/RulesDbFile.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

namespace fs = std::filesystem;
using test::ScanItemRow;
using test::ScopedEnv;
using test::TempDir;

struct LayoutCase {
  bool dbBeside;
  bool writable;
  std::optional<std::string> xdg;  // XDG_DATA_HOME, XDG_CONFIG_HOME and XDG_STATE_HOME: "{t}" is the temp dir
  Layout layout;
  std::string db, whiteList, state;  // "{t}" is the temp dir, "{h}" the home folder
};

std::string expand(std::string text, const std::string& temp) {
  for (std::size_t at; (at = text.find("{t}")) != std::string::npos;)
    text.replace(at, 3, temp);
  for (std::size_t at; (at = text.find("{h}")) != std::string::npos;)
    text.replace(at, 3, temp + "/home");
  return test::nativeSeparators(text);
}

class AppLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(AppLayoutTest, ChoosesTheFolders) {
  const LayoutCase& c = GetParam();
#ifdef _WIN32
  if (c.layout == Layout::Installed)
    GTEST_SKIP() << "the installed layout's folders come from HOME and the XDG variables on POSIX only";
#endif
  const TempDir dir;
  const std::string bin = dir.makeFolder("usr/bin") + platform::kSeparator;
  if (c.dbBeside)
    dir.writeFile("usr/bin/ccdb.db", "db");
  const ScopedEnv home("HOME", dir.path("home"));
  const std::optional<std::string> xdg = c.xdg ? std::optional(expand(*c.xdg, dir.path())) : std::nullopt;
  const ScopedEnv data("XDG_DATA_HOME", xdg ? std::optional(*xdg + "/data") : std::nullopt);
  const ScopedEnv config("XDG_CONFIG_HOME", xdg ? std::optional(*xdg + "/config") : std::nullopt);
  const ScopedEnv state("XDG_STATE_HOME", xdg ? std::optional(*xdg + "/state") : std::nullopt);

  const AppPaths paths = decideAppPaths(bin, [&](const std::string& folder) {
    EXPECT_EQ(folder, bin);
    return c.writable;
  });

  EXPECT_EQ(paths.layout, c.layout);
  EXPECT_EQ(paths.appPath, bin);
  EXPECT_EQ(paths.dbFileName, expand(c.db, dir.path()));
  EXPECT_EQ(paths.whiteListFile, expand(c.whiteList, dir.path()));
  EXPECT_EQ(paths.stateFolder, expand(c.state, dir.path()));
  const std::string shipped = c.dbBeside ? "usr/bin/ccdb.db" : "usr/share/qinglan/ccdb.db";
  EXPECT_EQ(paths.templateDb, c.layout == Layout::Installed ? dir.path(shipped) : "");
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, AppLayoutTest,
    ::testing::Values(LayoutCase{true, true, std::nullopt, Layout::Portable, "{t}/usr/bin/ccdb.db",
                                 "{t}/usr/bin/wb.lst", "{t}/usr/bin/"},
                      // A database beside a folder the user cannot write is the shipped template, not
                      // the user's.
                      LayoutCase{true, false, std::nullopt, Layout::Installed,
                                 "{h}/.local/share/qinglan/ccdb.db", "{h}/.config/qinglan/wb.lst",
                                 "{h}/.local/state/qinglan/"},
                      LayoutCase{false, true, "{t}/x", Layout::Installed, "{t}/x/data/qinglan/ccdb.db",
                                 "{t}/x/config/qinglan/wb.lst", "{t}/x/state/qinglan/"},
                      // Relative XDG values are ignored.
                      LayoutCase{false, true, "x", Layout::Installed, "{h}/.local/share/qinglan/ccdb.db",
                                 "{h}/.config/qinglan/wb.lst", "{h}/.local/state/qinglan/"}));

TEST(AppFolderPathsTest, EverythingInTheGivenFolder) {
  using test::nativeSeparators;
  const AppPaths paths = appFolderPaths(nativeSeparators("/srv/app"));
  EXPECT_EQ(paths.layout, Layout::AppFolder);
  EXPECT_EQ(paths.dbFileName, nativeSeparators("/srv/app/ccdb.db"));
  EXPECT_EQ(paths.whiteListFile, nativeSeparators("/srv/app/wb.lst"));
  EXPECT_EQ(paths.stateFolder, nativeSeparators("/srv/app/"));
  EXPECT_EQ(paths.templateDb, "");
}

class UserDatabaseTest : public ::testing::Test {
 protected:
  UserDatabaseTest() {
    m_paths.layout = Layout::Installed;
    m_paths.templateDb = m_dir.path("share/ccdb.db");
    m_paths.dbFileName = m_dir.path("user/qinglan/ccdb.db");
    m_paths.whiteListFile = m_dir.path("config/qinglan/wb.lst");
  }

  void shipTemplate(const std::vector<ScanItemRow>& items) {
    std::error_code ignored;
    // Windows keeps a read-only file from being removed.
    fs::permissions(m_paths.templateDb, fs::perms::owner_write, fs::perm_options::add, ignored);
    fs::remove(m_paths.templateDb, ignored);
    m_dir.makeFolder("share");
    test::writeScanItems(m_paths.templateDb, items);
    fs::permissions(m_paths.templateDb,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  }

  // Id:UnScan:File of every row, in Id order.
  std::string userRows() {
    TSQLiteDatabase db(m_paths.dbFileName);
    std::string rows;
    const auto table = db.Query("SELECT Id, UnScan, File FROM ccdb ORDER BY Id");
    for (table->FirstRow(); !table->AtEnd(); table->NextRow())
      rows += table->ValueText(0) + ":" + table->ValueText(1) + ":" + table->ValueText(2) + " ";
    return rows;
  }

  void switchOff(const std::string& id, const std::string& unScan) {
    TSQLiteDatabase(m_paths.dbFileName).Execute("UPDATE ccdb SET UnScan=" + unScan + " WHERE Id=" + id);
  }

  TempDir m_dir;
  AppPaths m_paths;
};

TEST_F(UserDatabaseTest, FirstStartCopiesTheTemplateAsTheUsersOwn) {
  shipTemplate({{"0", "", "*.log"}, {"1", "", "*.bak"}});
  prepareUserFolders(m_paths);
  EXPECT_EQ(userRows(), "1:0:*.log 2:1:*.bak ");
  EXPECT_NE(fs::status(m_paths.dbFileName).permissions() & fs::perms::owner_write, fs::perms::none);
  // Writing wb.lst makes no folders.
  EXPECT_TRUE(fs::is_directory(m_dir.path("config/qinglan")));

  // The same template again leaves the user's choices alone.
  switchOff("1", "1");
  prepareUserFolders(m_paths);
  EXPECT_EQ(userRows(), "1:1:*.log 2:1:*.bak ");
}

TEST_F(UserDatabaseTest, ANewerTemplateBringsItsRowsAndKeepsTheUsersChoices) {
  shipTemplate({{"0", "", "*.log"}, {"1", "", "*.bak"}, {"0", "", "*.old"}});
  prepareUserFolders(m_paths);
  switchOff("1", "1");
  switchOff("2", "0");

  // The upgrade changes item 1's masks, drops item 3 and adds item 4.
  shipTemplate({{"0", "", "*.log;*.log1"}, {"1", "", "*.bak"}});
  {
    TSQLiteDatabase db(m_paths.templateDb);
    db.Execute("INSERT INTO ccdb VALUES (4, 'new', 1, '', '*.dmp')");
  }
  prepareUserFolders(m_paths);
  EXPECT_EQ(userRows(), "1:1:*.log;*.log1 2:0:*.bak 4:1:*.dmp ");
  EXPECT_EQ(fs::directory_iterator(m_dir.path("user/qinglan"))->path().filename(), "ccdb.db");
}

TEST_F(UserDatabaseTest, OtherLayoutsAndAMissingTemplateTouchNothing) {
  prepareUserFolders(m_paths);
  m_paths.layout = Layout::Portable;
  shipTemplate({{"0", "", "*.log"}});
  prepareUserFolders(m_paths);
  EXPECT_FALSE(fs::exists(m_dir.path("user")));
}

TEST_F(UserDatabaseTest, AProgramFolderThatIsALinkOrOpenToOthersIsRefused) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links and permission bits are POSIX ones";
#else
  shipTemplate({{"0", "", "*.log"}});
  m_paths.stateFolder = m_dir.path("state/qinglan/");
  const TempDir outside;
  for (const char* folder : {"user/qinglan", "config/qinglan", "state/qinglan"}) {
    fs::remove_all(m_dir.path(folder));
    m_dir.makeFolder(fs::path(folder).parent_path().string());
    fs::create_symlink(outside.path(), m_dir.path(folder));
    EXPECT_THROW(prepareUserFolders(m_paths), platform::UnsafeFolderError) << folder;
    fs::remove(m_dir.path(folder));
    fs::permissions(m_dir.makeFolder(folder), fs::perms::all);
    EXPECT_THROW(prepareUserFolders(m_paths), platform::UnsafeFolderError) << folder;
    EXPECT_TRUE(fs::is_empty(m_dir.path(folder))) << folder;
  }
  EXPECT_TRUE(fs::is_empty(outside.path()));

  // The portable folder, or the one given on the command line, is held to the same rule.
  const std::string open = m_dir.makeFolder("portable");
  fs::permissions(open, fs::perms::all);
  EXPECT_THROW(prepareUserFolders(appFolderPaths(open)), platform::UnsafeFolderError);
  fs::permissions(open, fs::perms::others_write | fs::perms::group_write, fs::perm_options::remove);
  fs::create_symlink(outside.path() + "/ccdb.db", open + "/ccdb.db");
  EXPECT_THROW(prepareUserFolders(appFolderPaths(open)), platform::UnsafeFolderError);
  fs::remove(open + "/ccdb.db");
  prepareUserFolders(appFolderPaths(open));
#endif
}

}  // namespace
}  // namespace qinglan
