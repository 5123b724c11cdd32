#include "whitelist/Whitelist.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/Codepage.h"
#include "platform/IniFile.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

class WhitelistTest : public ::testing::Test {
 protected:
  std::string file() const { return m_dir.path("wb.lst"); }
  void write(std::string_view utf8) const { m_dir.writeFile("wb.lst", platform::utf8ToGbk(utf8)); }
  std::string bytes() const {
    std::ifstream in(file(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  test::TempDir m_dir;
};

TEST_F(WhitelistTest, LivesInTheProgramFolder) {
  const std::string folder = test::nativeSeparators("/opt/app");
  EXPECT_EQ(Whitelist::inAppFolder(folder + platform::kSeparator).fileName(),
            folder + test::nativeSeparators("/wb.lst"));
  EXPECT_EQ(Whitelist::inAppFolder(folder).fileName(), folder + test::nativeSeparators("/wb.lst"));
}

TEST_F(WhitelistTest, AddCreatesBothEntriesInGbk) {
  Whitelist whitelist(file());
  EXPECT_TRUE(whitelist.add("1002", "示例"));

  const platform::IniFile ini(file());
  EXPECT_EQ(ini.readString("White", "1002", ""), "1");
  EXPECT_EQ(ini.readString("WhiteName", "1002", ""), "示例");
  EXPECT_NE(bytes().find(platform::utf8ToGbk("示例")), std::string::npos);
  EXPECT_TRUE(whitelist.hides("1002"));
}

// IDs that would land under another key are refused before anything is written: the entries
// already there stay as they were, none is shadowed or split off into a section of its own.
TEST_F(WhitelistTest, AnIdThatWouldNotReadBackIsNotAdded) {
  const std::string before = "[White]\r\na=1\r\n[WhiteName]\r\na=甲\r\n";
  write(before);
  Whitelist whitelist(file());
  for (const char* id : {"a™", " a", "a ", "a=b", "[a]", ";a", "a\nb", "", "\xC4"}) {
    EXPECT_FALSE(whitelist.add(id, "乙")) << id;
    EXPECT_EQ(bytes(), platform::utf8ToGbk(before)) << id;
  }
  EXPECT_TRUE(whitelist.add("a b", "乙"));
  EXPECT_TRUE(whitelist.hides("a b"));
}

TEST_F(WhitelistTest, OnlyExactlyOneHidesWhateverTheSectionNameCase) {
  struct Case {
    const char* file;
    bool hidden;
  };
  const Case cases[] = {
      {"[White]\n1002=1\n", true},   {"[white]\n1002=1\n", true},   {"[WHITE]\n1002=1\n", true},
      {"[White]\n1002= 1 \n", true}, {"[White]\n1002=0\n", false},  {"[White]\n1002=yes\n", false},
      {"[White]\n1002=\n", false},   {"[White]\n1002=11\n", false}, {"[WhiteName]\n1002=1\n", false},
  };
  for (const Case& c : cases) {
    write(c.file);
    EXPECT_EQ(Whitelist(file()).hides("1002"), c.hidden) << c.file;
  }
  std::filesystem::remove(file());
  EXPECT_FALSE(Whitelist(file()).hides("1002"));
}

TEST_F(WhitelistTest, EntriesListEveryKeyInFileOrderWithItsStoredName) {
  write(
      "[WhiteName]\n1003=未知\n1001=星海\n"
      "[White]\n1003=1\n1001=0\n1005=1\n"
      "[unvercheck]\n1001=2.0\n");
  const std::vector<WhitelistEntry> expected = {{"未知", "1003"}, {"星海", "1001"}, {"", "1005"}};
  EXPECT_EQ(Whitelist(file()).entries(), expected);
  EXPECT_TRUE(Whitelist(m_dir.path("missing.lst")).entries().empty());
}

TEST_F(WhitelistTest, RemoveDropsBothEntriesAndKeepsTheRest) {
  write("[White]\n1001=1\n1002=1\n[WhiteName]\n1001=甲\n1002=乙\n[unvercheck]\n1002=3.1\n");
  Whitelist whitelist(file());
  whitelist.remove("1002");

  const platform::IniFile ini(file());
  EXPECT_EQ(ini.readSection("White"), std::vector<std::string>{"1001"});
  EXPECT_EQ(ini.readSection("WhiteName"), std::vector<std::string>{"1001"});
  EXPECT_EQ(ini.readString("unvercheck", "1002", ""), "3.1");
  EXPECT_FALSE(whitelist.hides("1002"));
}

TEST_F(WhitelistTest, TheTrashOptionIsOnlyExactlyOneAndSwitchingItOffLeavesTheRest) {
  write("[White]\n1001=1\n[Option]\ntrash=yes\n");
  Whitelist whitelist(file());
  EXPECT_FALSE(whitelist.trashOption());
  whitelist.setTrashOption(true);
  EXPECT_TRUE(whitelist.trashOption());
  whitelist.setTrashOption(false);
  EXPECT_EQ(bytes(), "[White]\n1001=1\n[Option]\n");
  EXPECT_FALSE(Whitelist(m_dir.path("missing.lst")).trashOption());
}

TEST_F(WhitelistTest, TheInUseOptionIsOnUnlessZeroAndSwitchingItOnLeavesTheRest) {
  write("[White]\n1001=1\n[Option]\nKeepInUse=no\n");
  Whitelist whitelist(file());
  EXPECT_TRUE(whitelist.skipInUseOption());
  whitelist.setSkipInUseOption(false);
  EXPECT_FALSE(whitelist.skipInUseOption());
  EXPECT_FALSE(Whitelist(file()).skipInUseOption());
  whitelist.setSkipInUseOption(true);
  EXPECT_EQ(bytes(), "[White]\n1001=1\n[Option]\n");
  EXPECT_TRUE(Whitelist(m_dir.path("missing.lst")).skipInUseOption());
}

TEST_F(WhitelistTest, TheOlderThanOptionKeepsItsDaysWhileOffAndWritesOnlyWhatDiffers) {
  write("[Option]\nOlderThanDays=7x\n");
  Whitelist whitelist(file());
  EXPECT_EQ(whitelist.olderThanOption(), OlderThanOption{});
  whitelist.setOlderThanOption({true, 7});
  EXPECT_EQ(Whitelist(file()).olderThanOption(), (OlderThanOption{true, 7}));
  whitelist.setOlderThanOption({false, 7});
  EXPECT_EQ(bytes(), "[Option]\nOlderThanDays=7\n");
  EXPECT_EQ(whitelist.olderThanOption(), (OlderThanOption{false, 7}));
  for (const char* days : {"0", "-3", "36501", ""}) {
    write(std::string("[option]\nOlderThan=1\nOlderThanDays=") + days + "\n");
    EXPECT_EQ(whitelist.olderThanOption(), (OlderThanOption{true, 30})) << days;
  }
  whitelist.setOlderThanOption({});
  EXPECT_EQ(bytes(), "[option]\n");
}

// Every section of a name goes, whatever its case, so that none comes to light afterwards.
TEST_F(WhitelistTest, ClearEmptiesEntriesAndSilencedVersionsAndKeepsTheOptions) {
  write(
      "[White]\n1001=1\n[option]\nTrash=1\n[WhiteName]\n1001=甲\n[unvercheck]\n1002=3.1\n[white]\n1003=1\n");
  Whitelist whitelist(file());
  whitelist.clear();
  EXPECT_EQ(bytes(), "[option]\nTrash=1\n");
  EXPECT_TRUE(whitelist.entries().empty());
  EXPECT_TRUE(whitelist.trashOption());
  whitelist.clear();
  EXPECT_EQ(bytes(), "[option]\nTrash=1\n");

  Whitelist missing(m_dir.path("missing.lst"));
  missing.clear();
  EXPECT_FALSE(std::filesystem::exists(missing.fileName()));
}

TEST_F(WhitelistTest, RefusedWriteNamesTheFile) {
  Whitelist whitelist(m_dir.path("gone/wb.lst"));
  try {
    whitelist.add("1002", "示例");
    FAIL() << "the write went through";
  } catch (const platform::IniWriteError& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + m_dir.path("gone/wb.lst"));
  }
}

}  // namespace
}  // namespace qinglan
