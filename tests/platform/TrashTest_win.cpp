#include "platform/Trash_win.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include "platform/NativePath.h"
#include "support/TempDir.h"
#include "support/WinFiles_win.h"

namespace qinglan::platform {
namespace {

bool exists(const std::string& path) {
  return ::GetFileAttributesW(widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string contentOf(const std::string& path) {
  std::ifstream in(fsPath(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string userSid() {
  HANDLE token = nullptr;
  ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token);
  std::vector<char> buffer(256);
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size);
  ::CloseHandle(token);
  wchar_t* text = nullptr;
  ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text);
  const std::string sid = text ? utf8Text(text) : std::string();
  ::LocalFree(text);
  return sid;
}

struct Record {
  int64_t version = 0;
  int64_t size = 0;
  int64_t deletedSecondsAgo = 0;
  std::string path;
};

Record readRecord(const std::string& path) {
  const std::string bytes = contentOf(path);
  Record record;
  if (bytes.size() < 28)
    return record;
  int64_t deleted = 0;
  int32_t length = 0;
  std::memcpy(&record.version, bytes.data(), 8);
  std::memcpy(&record.size, bytes.data() + 8, 8);
  std::memcpy(&deleted, bytes.data() + 16, 8);
  std::memcpy(&length, bytes.data() + 24, 4);
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  record.deletedSecondsAgo =
      ((static_cast<int64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime) - deleted) / 10000000;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (bytes.size() == 28 + wide.size() * 2) {
    std::memcpy(wide.data(), bytes.data() + 28, wide.size() * 2);
    record.path = wide.back() == L'\0' ? utf8Text(std::wstring_view(wide).substr(0, wide.size() - 1)) : "";
  }
  return record;
}

struct EntryCase {
  const char* name;
  const char* extension;
  bool folder;
  int64_t size;
};

class WinTrashEntryTest : public ::testing::TestWithParam<EntryCase> {};

// Into the user's bin of the temporary folder's volume, as the shell would find it, and back.
TEST_P(WinTrashEntryTest, GoesIntoTheBinWithItsRecordAndComesBack) {
  const EntryCase& entry = GetParam();
  test::TempDir dir;
  const std::string relative = std::string("cache/") + entry.name;
  if (entry.folder) {
    dir.writeFile(relative + "/a.bin", "12345");
    dir.writeFile(relative + "/sub/b.bin", "123");
  } else {
    dir.writeFile(relative, "1234567");
  }
  const std::string path = dir.path(relative);
  WinTrash trash;
  const TrashResult result = trash.moveFinding(path, dir.origin(relative));
  ASSERT_TRUE(result.moved) << result.reason;
  const TrashLocation& where = result.location;
  EXPECT_TRUE(where.folder.ends_with("\\$Recycle.Bin\\" + userSid())) << where.folder;
  // The temporary folder's path may be written with short names; the origin has the long ones.
  EXPECT_TRUE(where.origin.ends_with(std::string("\\") + entry.name)) << where.origin;
  EXPECT_EQ(where.name.size(), 8 + std::strlen(entry.extension));
  EXPECT_TRUE(where.name.starts_with("$R") && where.name.ends_with(entry.extension)) << where.name;
  EXPECT_FALSE(exists(path));
  EXPECT_TRUE(exists(where.folder + "\\" + where.name));
  const std::string recordPath = where.folder + "\\$I" + where.name.substr(2);
  const Record record = readRecord(recordPath);
  EXPECT_EQ(record.version, 2);
  EXPECT_EQ(record.size, entry.size);
  EXPECT_LE(record.deletedSecondsAgo, 60);
  EXPECT_GE(record.deletedSecondsAgo, 0);
  EXPECT_EQ(record.path, where.origin);

  const RestoreResult back = trash.restore(where);
  EXPECT_TRUE(back.restored) << back.reason;
  EXPECT_TRUE(exists(entry.folder ? path + "\\sub\\b.bin" : path));
  EXPECT_FALSE(exists(where.folder + "\\" + where.name));
  EXPECT_FALSE(exists(recordPath));

  // Trashed again and purged, it is gone from the bin with its record.
  const TrashResult again = trash.moveToTrash(path);
  ASSERT_TRUE(again.moved) << again.reason;
  const PurgeResult purged = trash.purge(again.location);
  EXPECT_TRUE(purged.purged) << purged.reason;
  EXPECT_FALSE(exists(again.location.folder + "\\" + again.location.name));
  EXPECT_FALSE(exists(again.location.folder + "\\$I" + again.location.name.substr(2)));
  EXPECT_TRUE(trash.purge(again.location).gone);
}

INSTANTIATE_TEST_SUITE_P(Entries, WinTrashEntryTest,
                         ::testing::Values(EntryCase{"缓存.log", ".log", false, 7},
                                           EntryCase{"noext", "", false, 7},
                                           EntryCase{"images.d", ".d", true, 8}));

// The bin is made in a folder of the test's own, so nothing of the user's bin is touched.
class WinTrashTest : public ::testing::Test {
 protected:
  std::string bin() const { return m_dir.path("volume/$Recycle.Bin"); }

  test::TempDir m_dir;
  WinTrash m_trash{m_dir.makeFolder("volume")};
};

TEST_F(WinTrashTest, AnEntryThatTookTheOriginsNameIsNeverReplaced) {
  const std::string path = m_dir.writeFile("cache/a.tmp", "old");
  const TrashResult result = m_trash.moveToTrash(path);
  ASSERT_TRUE(result.moved) << result.reason;
  EXPECT_EQ(result.location.folder, bin() + "\\" + userSid());
  m_dir.writeFile("cache/a.tmp", "new");
  const RestoreResult refused = m_trash.restore(result.location);
  EXPECT_FALSE(refused.restored);
  EXPECT_NE(refused.reason.find("exists"), std::string::npos) << refused.reason;
  EXPECT_EQ(contentOf(path), "new");
  EXPECT_EQ(contentOf(result.location.folder + "\\" + result.location.name), "old");

  ::DeleteFileW(widePath(path).c_str());
  EXPECT_TRUE(m_trash.restore(result.location).restored);
  EXPECT_EQ(contentOf(path), "old");
  // Once back, the same location names nothing in the bin.
  EXPECT_FALSE(m_trash.restore(result.location).restored);
}

TEST_F(WinTrashTest, AnEntrySwappedInTheBinIsNeverPurged) {
  const TrashResult result = m_trash.moveToTrash(m_dir.writeFile("cache/a.tmp", "old"));
  ASSERT_TRUE(result.moved) << result.reason;
  const std::string entry = result.location.folder + "\\" + result.location.name;
  ::DeleteFileW(widePath(entry).c_str());
  m_dir.writeFile("volume/$Recycle.Bin/" + userSid() + "/" + result.location.name, "swapped");

  const PurgeResult purged = m_trash.purge(result.location);
  EXPECT_FALSE(purged.purged || purged.gone);
  EXPECT_EQ(contentOf(entry), "swapped");
  EXPECT_TRUE(exists(result.location.folder + "\\$I" + result.location.name.substr(2)));
}

TEST_F(WinTrashTest, AFindingReplacedSinceItsWalkStaysAndLeavesNoRecord) {
  const std::string path = m_dir.writeFile("cache/a.tmp", "listed");
  const FindingOrigin origin = m_dir.origin("cache/a.tmp");
  // A folder in its place: a file made anew may be given the freed file's number.
  ::DeleteFileW(widePath(path).c_str());
  m_dir.writeFile("cache/a.tmp/inner.txt", "another");
  const TrashResult result = m_trash.moveFinding(path, origin);
  EXPECT_FALSE(result.moved);
  EXPECT_FALSE(result.absent);
  EXPECT_EQ(contentOf(path + "\\inner.txt"), "another");
  EXPECT_TRUE(m_trash.moveFinding(m_dir.path("cache/gone.tmp"), origin).absent);
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(widePath(bin() + "\\" + userSid() + "\\*").c_str(), &found);
  int entries = 0;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(search, &found))
    entries += found.cFileName[0] == L'$' ? 1 : 0;
  if (search != INVALID_HANDLE_VALUE)
    ::FindClose(search);
  EXPECT_EQ(entries, 0);
}

TEST_F(WinTrashTest, ABinFolderThatIsALinkOrNoFolderIsRefused) {
  const std::string own = bin() + "\\" + userSid();
  const std::string elsewhere = m_dir.makeFolder("elsewhere");
  const std::string path = m_dir.writeFile("cache/a.tmp", "x");
  struct Planted {
    bool atOwnFolder;
    bool link;
  };
  for (const Planted planted : {Planted{true, false}, Planted{true, true}, Planted{false, true}}) {
    const std::string at = planted.atOwnFolder ? own : bin();
    SCOPED_TRACE(at + (planted.link ? " as a junction" : " as a file"));
    ::RemoveDirectoryW(widePath(own).c_str());
    ::DeleteFileW(widePath(own).c_str());
    ::RemoveDirectoryW(widePath(bin()).c_str());
    if (planted.atOwnFolder)
      m_dir.makeFolder("volume/$Recycle.Bin");
    if (!planted.link)
      m_dir.writeFile(at.substr(m_dir.path().size() + 1), "not a folder");
    else if (!test::makeJunction(at, elsewhere))
      GTEST_SKIP() << "this file system makes no junctions";
    const TrashResult result = m_trash.moveToTrash(path);
    EXPECT_FALSE(result.moved);
    EXPECT_NE(result.reason.find("link or not a folder"), std::string::npos) << result.reason;
    EXPECT_EQ(contentOf(path), "x");
    EXPECT_FALSE(exists(elsewhere + "\\" + userSid()));
    EXPECT_FALSE(exists(elsewhere + "\\a.tmp"));
  }
}

}  // namespace
}  // namespace qinglan::platform
