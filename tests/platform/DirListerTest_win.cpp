#include "platform/DirLister.h"

#include <cstdio>
#include <string>

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/FileHandle_win.h"
#include "platform/NativePath.h"
#include "platform/Path.h"
#include "platform/Volumes.h"
#include "support/TempDir.h"
#include "support/WinFiles_win.h"

namespace qinglan::platform {
namespace {

const DirEntry* entryNamed(const DirListing& listing, const std::string& name) {
  for (const DirEntry& entry : listing.entries()) {
    if (entry.name == name)
      return &entry;
  }
  return nullptr;
}

TEST(DirListerWinTest, ListsTheSystemsAttributeBitsAndTimes) {
  test::TempDir dir;
  const std::string file = dir.writeFile("示例.txt", "12345");
  const std::wstring wide = widePath(file);
  ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
  // 2001-02-03 04:05:06 UTC, written through a handle opened for it.
  const FILETIME stamp{0x7DB50500, 0x01C08D96};
  const HANDLE handle = ::CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(::SetFileTime(handle, &stamp, &stamp, &stamp));
  ::CloseHandle(handle);

  auto listing = DirLister::system().list(dir.path());
  ASSERT_NE(listing, nullptr);
  const DirEntry* entry = entryNamed(*listing, "示例.txt");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->attributes & (kAttrHidden | kAttrReadOnly | kAttrDirectory), kAttrHidden | kAttrReadOnly);
  const std::optional<EntryDetails> details = listing->details(*entry);
  ASSERT_TRUE(details.has_value());
  EXPECT_EQ(details->size, 5);
  EXPECT_TRUE(details->id.known());
  EXPECT_EQ(details->lastWriteTime, toLocalSystemTime({981173106, 0}));

  // A walk takes the id from its folder's listing, opening nothing: it must be the id an open
  // of the entry finds, or cleaning would refuse every finding.
  const FileHandle opened = openEntry(file, FILE_READ_ATTRIBUTES);
  const std::optional<HandleInfo> info = infoOf(opened.get());
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(details->id, info->id);
  auto walk = DirLister::system().openRoot(dir.path(), dir.path());
  WalkRoot::Listed root = walk->list("", dir.path());
  ASSERT_NE(root.listing, nullptr);
  const DirEntry* walked = entryNamed(*root.listing, "示例.txt");
  ASSERT_NE(walked, nullptr);
  const std::optional<EntryDetails> walkedDetails = root.listing->details(*walked);
  ASSERT_TRUE(walkedDetails.has_value());
  EXPECT_EQ(walkedDetails->id, info->id);
  ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// ReFS ids are 128 bits; a listing of 64-bit ids numbers entries by the 64-bit index instead.
TEST(DirListerWinTest, AListedIdMatchesTheOpenedOneInTheWidthTheListingHas) {
  HandleInfo opened;
  opened.id = {7, 0x55, kTypeFile, 0x99};
  opened.fileIndex = 0x1234;
  const struct {
    const char* what;
    uint64_t low, high;
    bool whole, matches;
  } cases[] = {
      {"the whole 128-bit id", 0x55, 0x99, true, true}, {"another upper half", 0x55, 0x98, true, false},
      {"the 64-bit index", 0x1234, 0, false, true},     {"the low half for the index", 0x55, 0, false, false},
      {"no number listed", 0, 0, false, true},
  };
  for (const auto& c : cases) {
    ChildEntry listed;
    listed.fileId = c.low;
    listed.fileIdHigh = c.high;
    listed.wholeId = c.whole;
    EXPECT_EQ(matchesListing(listed, opened), c.matches) << c.what;
  }
}

// Only these can be made here, so the rest is decided on the tags alone.
TEST(DirListerWinTest, OnlyAReparsePointNamingAnotherEntryIsALink) {
  constexpr DWORD kReparseFolder = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY;
  constexpr DWORD kLxSymlink = 0xA000001D;
  const struct {
    const char* what;
    DWORD tag;
    bool link;
  } cases[] = {
      {"junction", IO_REPARSE_TAG_MOUNT_POINT, true},
      {"symbolic link", IO_REPARSE_TAG_SYMLINK, true},
      {"Linux subsystem link", kLxSymlink, true},
      {"tag not told", 0, true},
      {"cloud placeholder", IO_REPARSE_TAG_CLOUD, false},
      {"cloud placeholder with flags", IO_REPARSE_TAG_CLOUD_3, false},
      {"compressed file", IO_REPARSE_TAG_WOF, false},
      {"deduplicated file", IO_REPARSE_TAG_DEDUP, false},
      {"app execution alias", IO_REPARSE_TAG_APPEXECLINK, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(isLinkReparse(kReparseFolder, c.tag), c.link);
    EXPECT_EQ(entryTypeOf(kReparseFolder, c.tag), c.link ? kTypeLink : kTypeFolder);
    EXPECT_EQ(linkAttributes(kReparseFolder, c.tag), c.link ? kReparseFolder : FILE_ATTRIBUTE_DIRECTORY);
    HandleInfo info;
    info.attributes = kReparseFolder;
    info.reparseTag = c.tag;
    EXPECT_EQ(info.isFolder(), !c.link);
    // A tag goes with the reparse attribute only.
    EXPECT_FALSE(isLinkReparse(FILE_ATTRIBUTE_DIRECTORY, c.tag));
  }
}

TEST(DirListerWinTest, ListsAFolderBeyondTheOldPathLimit) {
  test::TempDir dir;
  const std::string deep = test::makeLongPathFile(dir.path(), "deep.txt");
  auto listing = DirLister::system().list(splitPath(deep).parent);
  ASSERT_NE(listing, nullptr);
  ASSERT_EQ(listing->entries().size(), 1u);
  EXPECT_TRUE(listing->details(listing->entries().front()).has_value());
}

TEST(DirListerWinTest, AJunctionIsListedButNeverEntered) {
  test::TempDir dir;
  dir.writeFile("outside/keep.txt", "keep");
  dir.makeFolder("root");
  if (!test::makeJunction(dir.path("root/link"), dir.path("outside")))
    GTEST_SKIP() << "this file system makes no junctions";
  auto walk = DirLister::system().openRoot(dir.path(), dir.path("root"));
  WalkRoot::Listed root = walk->list("", dir.path("root"));
  ASSERT_NE(root.listing, nullptr);
  ASSERT_EQ(root.listing->entries().size(), 1u);
  EXPECT_TRUE(root.listing->entries().front().isLink());
  EXPECT_FALSE(root.listing->entries().front().isEnterableFolder());
  WalkRoot::Listed beyond = walk->list("link", dir.path("root/link"));
  EXPECT_EQ(beyond.listing, nullptr);
  EXPECT_TRUE(beyond.leftOut);
}

// The walk keeps the folders on its way open, so a chain twice as deep costs about twice the
// opens, not four times as a walk from the root to each folder would.
TEST(DirListerWinTest, AChainIsWalkedInOpensLinearInItsDepth) {
  test::TempDir dir;
  const auto opensToWalk = [&dir](int depth) {
    const std::string top = dir.makeFolder("chain" + std::to_string(depth));
    std::string folder = top;
    for (int i = 0; i < depth; ++i) {
      folder += "\\d";
      EXPECT_TRUE(::CreateDirectoryW(widePath(folder).c_str(), nullptr)) << i;
    }
    auto walk = DirLister::system().openRoot(top, top);
    const uint64_t before = openCount();
    std::string relative;
    for (int i = 0; i <= depth; ++i) {
      WalkRoot::Listed listed = walk->list(relative, top + (relative.empty() ? "" : "\\" + relative));
      EXPECT_NE(listed.listing, nullptr) << i;
      relative += relative.empty() ? "d" : "\\d";
    }
    return openCount() - before;
  };
  const uint64_t shallow = opensToWalk(60);
  const uint64_t deep = opensToWalk(120);
  std::printf("opens for a chain of 60: %llu, of 120: %llu\n", static_cast<unsigned long long>(shallow),
              static_cast<unsigned long long>(deep));
  EXPECT_GE(shallow, 60u);
  EXPECT_LE(deep, 2 * shallow + 8);
}

TEST(VolumesWinTest, EveryDriveLetterWithARootHasItsSystemKind) {
  const std::vector<Volume> volumes = systemVolumes();
  ASSERT_FALSE(volumes.empty());
  for (const Volume& volume : volumes) {
    ASSERT_EQ(volume.root.size(), 3u);
    EXPECT_EQ(volume.root.substr(1), ":\\");
    EXPECT_EQ(static_cast<UINT>(volume.kind), ::GetDriveTypeW(widePath(volume.root).substr(4).c_str()));
  }
}

}  // namespace
}  // namespace qinglan::platform
