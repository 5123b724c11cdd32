#include "platform/DirLister.h"

#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace qinglan::platform {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class DirListerTest : public ::testing::Test {
 protected:
  std::unique_ptr<DirListing> listRoot() { return DirLister::system().list(m_dir.path()); }

  const DirEntry& entryNamed(const DirListing& listing, const std::string& name) {
    for (const DirEntry& entry : listing.entries()) {
      if (entry.name == name)
        return entry;
    }
    ADD_FAILURE() << "no entry " << name;
    static const DirEntry kNone;
    return kNone;
  }

  test::TempDir m_dir;
};

std::vector<std::string> namesOf(const DirListing& listing) {
  std::vector<std::string> names;
  for (const DirEntry& entry : listing.entries())
    names.push_back(entry.name);
  return names;
}

TEST_F(DirListerTest, SortsWithAsciiLettersUpperCasedAndTiesByBytes) {
  // Long names agree in their first sixteen bytes and differ after them, in case or in length.
  for (const char* name :
       {"b", "_x", "ab", "Z", "a", "[", "aB", "a_", "B", "1", "A", "setup_long_name_2", "SETUP_LONG_NAME_10",
        "setup_long_nam", "setup_long_name_1", "Setup_long_name_1", "setup_long_name_\xe4"})
    m_dir.writeFile(name);
  m_dir.makeFolder("m");

  auto listing = listRoot();
  ASSERT_NE(listing, nullptr);
  // "_" and "[" sort after every letter once letters are upper-cased; "." and ".." never show.
  EXPECT_THAT(namesOf(*listing),
              ElementsAreArray({"1", "A", "a", "aB", "ab", "a_", "B", "b", "m", "setup_long_nam",
                                "Setup_long_name_1", "setup_long_name_1", "SETUP_LONG_NAME_10",
                                "setup_long_name_2", "setup_long_name_\xe4", "Z", "[", "_x"}));
}

TEST_F(DirListerTest, AttributesComeFromTheListing) {
  m_dir.writeFile("file.txt", "x");
  m_dir.writeFile(".hidden", "x");
  m_dir.makeFolder("folder");
  m_dir.makeFolder(".hiddenFolder");
  ASSERT_EQ(::symlink("folder", m_dir.path("linkToFolder").c_str()), 0);
  ASSERT_EQ(::symlink("file.txt", m_dir.path("linkToFile").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", m_dir.path("dangling").c_str()), 0);
  ASSERT_EQ(::mkfifo(m_dir.path("pipe").c_str(), 0600), 0);

  auto listing = listRoot();
  ASSERT_NE(listing, nullptr);
  const struct {
    const char* name;
    uint32_t attributes;
  } cases[] = {
      {"file.txt", kAttrArchive},
      {".hidden", kAttrArchive | kAttrHidden},
      {"folder", kAttrDirectory},
      {".hiddenFolder", kAttrDirectory | kAttrHidden},
      {"linkToFolder", kAttrReparsePoint | kAttrDirectory},
      {"linkToFile", kAttrReparsePoint},
      {"dangling", kAttrReparsePoint},
      {"pipe", kAttrSystem},
  };
  for (const auto& expected : cases) {
    SCOPED_TRACE(expected.name);
    const DirEntry& entry = entryNamed(*listing, expected.name);
    EXPECT_EQ(entry.attributes, expected.attributes);
    auto details = listing->details(entry);
    ASSERT_TRUE(details.has_value());
    EXPECT_EQ(details->attributes, expected.attributes);
  }
  EXPECT_TRUE(entryNamed(*listing, "folder").isEnterableFolder());
  EXPECT_FALSE(entryNamed(*listing, "linkToFolder").isEnterableFolder());
}

TEST_F(DirListerTest, ReadOnlyBitFollowsTheOwnerWritePermission) {
  const std::string path = m_dir.writeFile("locked.txt", "x");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);

  auto listing = listRoot();
  ASSERT_NE(listing, nullptr);
  auto details = listing->details(entryNamed(*listing, "locked.txt"));
  ASSERT_TRUE(details.has_value());
  EXPECT_EQ(details->attributes, kAttrArchive | kAttrReadOnly);
}

TEST_F(DirListerTest, SizesAreSixtyFourBitAndZeroForFoldersAndLinks) {
  constexpr int64_t kFiveGiB = int64_t{5} << 30;
  const int fd = ::open(m_dir.path("sparse.bin").c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, kFiveGiB), 0);
  ::close(fd);
  m_dir.writeFile("five.txt", "12345");
  m_dir.makeFolder("folder");
  ASSERT_EQ(::symlink("sparse.bin", m_dir.path("link").c_str()), 0);

  auto listing = listRoot();
  ASSERT_NE(listing, nullptr);
  EXPECT_EQ(listing->details(entryNamed(*listing, "sparse.bin"))->size, kFiveGiB);
  EXPECT_EQ(listing->details(entryNamed(*listing, "five.txt"))->size, 5);
  EXPECT_EQ(listing->details(entryNamed(*listing, "folder"))->size, 0);
  EXPECT_EQ(listing->details(entryNamed(*listing, "link"))->size, 0);
}

TEST_F(DirListerTest, TimesAreLocalAndCreationIsTheBirthTimeWhereKept) {
  const std::string path = m_dir.writeFile("dated.txt", "x");
  const timespec accessed{1434371696, 789000000};  // 2015-06-15 12:34:56.789 UTC
  const timespec written{1262347200, 0};           // 2010-01-01 12:00:00 UTC
  const timespec times[2] = {accessed, written};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

  auto listing = listRoot();
  ASSERT_NE(listing, nullptr);
  auto details = listing->details(entryNamed(*listing, "dated.txt"));
  ASSERT_TRUE(details.has_value());
  EXPECT_EQ(details->lastAccessTime, toLocalSystemTime(accessed));
  EXPECT_EQ(details->lastAccessTime.milliseconds, 789);
  EXPECT_EQ(details->lastWriteTime, toLocalSystemTime(written));

  struct statx info {};
  ASSERT_EQ(::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &info), 0);
  if ((info.stx_mask & STATX_BTIME) != 0) {
    // Setting the write time leaves the birth time of a file made just now.
    EXPECT_GT(details->creationTime.year, 2020);
  } else {
    EXPECT_EQ(details->creationTime, details->lastWriteTime);
  }
}

TEST_F(DirListerTest, ListsAndStatsNamesThatAreNotUtf8) {
  const std::string name = "bad\xff\xfe.txt";
  m_dir.writeFile(name, "abc");

  auto listing = listRoot();
  ASSERT_NE(listing, nullptr);
  ASSERT_THAT(namesOf(*listing), ElementsAre(name));
  auto details = listing->details(listing->entries().front());
  ASSERT_TRUE(details.has_value());
  EXPECT_EQ(details->size, 3);
}

TEST_F(DirListerTest, AcceptsATrailingSeparator) {
  m_dir.writeFile("sub/inner.txt");
  auto listing = DirLister::system().list(m_dir.path("sub/"));
  ASSERT_NE(listing, nullptr);
  EXPECT_THAT(namesOf(*listing), ElementsAre("inner.txt"));
}

TEST_F(DirListerTest, AnEmptyFolderListsNothing) {
  auto listing = listRoot();
  ASSERT_NE(listing, nullptr);
  EXPECT_TRUE(listing->entries().empty());
}

TEST_F(DirListerTest, WhatCannotBeListedGivesNull) {
  const std::string file = m_dir.writeFile("plain.txt");
  ASSERT_EQ(::symlink("nowhere", m_dir.path("dangling").c_str()), 0);
  for (const std::string& path : {m_dir.path("missing"), file, m_dir.path("dangling"), std::string()}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(DirLister::system().list(path), nullptr);
  }
}

// Only a folder that stands there but cannot be read counts as unreadable: nothing there, a name
// no folder can have, a link and a root that is no folder do not.
TEST_F(DirListerTest, AWalkRootTellsAFolderNotThereFromOneThatCannotBeRead) {
  m_dir.makeFolder("tree/sub");
  m_dir.writeFile("tree/plain.txt");
  ASSERT_EQ(::symlink("sub", m_dir.path("tree/link").c_str()), 0);
  ASSERT_EQ(::symlink("tree", m_dir.path("linked").c_str()), 0);
  const std::vector<std::pair<std::string, std::string>> notListed = {
      {"tree", "link"}, {"tree", "gone"}, {"tree", "plain.txt"}, {"tree", std::string(300, 'n')},
      {"missing", ""},  {"linked", ""},   {"tree/plain.txt", ""}};
  for (const auto& [root, relative] : notListed) {
    SCOPED_TRACE(root + " " + relative.substr(0, 10));
    auto walkRoot = DirLister::system().openRoot(m_dir.path(), m_dir.path(root));
    ASSERT_NE(walkRoot, nullptr);
    const WalkRoot::Listed listed = walkRoot->list(relative, m_dir.path(root + "/" + relative));
    EXPECT_EQ(listed.listing, nullptr);
    EXPECT_FALSE(listed.unreadable);
  }
  auto walkRoot = DirLister::system().openRoot(m_dir.path(), m_dir.path("tree"));
  EXPECT_NE(walkRoot->list("sub", m_dir.path("tree/sub")).listing, nullptr);
}

TEST_F(DirListerTest, AnEntryGoneSinceTheListingHasNoDetails) {
  const std::string path = m_dir.writeFile("brief.txt");
  auto listing = listRoot();
  ASSERT_NE(listing, nullptr);
  ASSERT_EQ(::unlink(path.c_str()), 0);
  EXPECT_FALSE(listing->details(entryNamed(*listing, "brief.txt")).has_value());
}

TEST_F(DirListerTest, ListsAFolderLargerThanOneRead) {
  // Long names push the listing past one read of the kernel's folder records.
  std::vector<std::string> expected;
  for (int i = 0; i < 1500; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "entry-%04d-padding-padding-padding", i);
    m_dir.writeFile(name);
    expected.push_back(name);
  }
  auto listing = listRoot();
  ASSERT_NE(listing, nullptr);
  EXPECT_THAT(namesOf(*listing), ElementsAreArray(expected));
}

}  // namespace
}  // namespace qinglan::platform
