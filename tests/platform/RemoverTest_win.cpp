#include "platform/Remover.h"

#include <string>

#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include "platform/DirLister.h"
#include "platform/NativePath.h"
#include "platform/Path.h"
#include "support/TempDir.h"
#include "support/WinFiles_win.h"

namespace qinglan::platform {
namespace {

bool exists(const std::string& path) {
  return ::GetFileAttributesW(widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// True when the folder's listing names the entry; an entry waiting for its last handle to close is
// still listed, though it can no longer be opened.
bool isListed(const std::string& folder, const std::string& name) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(widePath(folder + "\\" + name).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return false;
  ::FindClose(search);
  return true;
}

// Whether this system and file system take a name away at once when an entry is deleted while
// others hold it open, asked of a file of its own.
bool unlinksAtOnce(const test::TempDir& dir) {
  const std::string probe = dir.writeFile("probe.txt");
  const HANDLE handle =
      ::CreateFileW(widePath(probe).c_str(), DELETE, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  constexpr DWORD kDeletePosixSemantics = 0x01 | 0x02;
  DWORD flags = kDeletePosixSemantics;
  const bool taken =
      ::SetFileInformationByHandle(handle, static_cast<FILE_INFO_BY_HANDLE_CLASS>(21), &flags, sizeof flags);
  ::CloseHandle(handle);
  return taken;
}

// Makes the entry `name` in an open folder and returns it open, as deep as no path text reaches.
HANDLE makeIn(HANDLE parent, const std::wstring& name, ULONG kind) {
  UNICODE_STRING text{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                      static_cast<USHORT>(name.size() * sizeof(wchar_t)), const_cast<wchar_t*>(name.data())};
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, parent, nullptr);
  IO_STATUS_BLOCK status{};
  HANDLE entry = INVALID_HANDLE_VALUE;
  constexpr ULONG kCreate = 2;  // FILE_CREATE
  const NTSTATUS result = ::NtCreateFile(&entry, FILE_LIST_DIRECTORY | SYNCHRONIZE, &attributes, &status,
                                         nullptr, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         kCreate, kind | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  return NT_SUCCESS(result) ? entry : INVALID_HANDLE_VALUE;
}

// What a walk from the TempDir records for one of its entries.
FindingOrigin originOf(const test::TempDir& dir, const std::string& parent, const std::string& name) {
  auto walk = DirLister::system().openRoot(dir.path(), dir.path());
  const std::string folder = parent.empty() ? dir.path() : dir.path(parent);
  WalkRoot::Listed listed = walk->list(parent, folder);
  for (const DirEntry& entry : listed.listing->entries()) {
    if (entry.name == name)
      return {walk->scanRoot(), listed.listing->details(entry)->id};
  }
  return {walk->scanRoot(), {}};
}

TEST(RemoverWinTest, RemovesATreeThroughAJunctionWithoutFollowingIt) {
  test::TempDir dir;
  dir.writeFile("outside/keep.txt", "keep");
  dir.writeFile("tree/sub/a.txt", "a");
  if (!test::makeJunction(dir.path("tree/sub/link"), dir.path("outside")))
    GTEST_SKIP() << "this file system makes no junctions";
  EXPECT_TRUE(Remover::system().remove(dir.path("tree")));
  EXPECT_FALSE(exists(dir.path("tree")));
  EXPECT_TRUE(exists(dir.path("outside/keep.txt")));
}

TEST(RemoverWinTest, AFindingReachedThroughAJunctionIsRefused) {
  test::TempDir dir;
  dir.writeFile("outside/keep.txt", "keep");
  dir.makeFolder("cache");
  const FindingOrigin origin = originOf(dir, "outside", "keep.txt");
  ::RemoveDirectoryW(widePath(dir.path("cache")).c_str());
  if (!test::makeJunction(dir.path("cache"), dir.path("outside")))
    GTEST_SKIP() << "this file system makes no junctions";
  EXPECT_FALSE(Remover::system().removeFinding(dir.path("cache/keep.txt"), origin));
  EXPECT_TRUE(exists(dir.path("outside/keep.txt")));
}

TEST(RemoverWinTest, RemovesReadOnlyFilesAndPathsBeyondTheOldLimit) {
  test::TempDir dir;
  const std::string deep = test::makeLongPathFile(dir.path(), "只读.txt");
  ASSERT_TRUE(::SetFileAttributesW(widePath(deep).c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string top = dir.path(std::string(40, 'd'));
  EXPECT_TRUE(Remover::system().removeFinding(top, originOf(dir, "", std::string(40, 'd'))));
  EXPECT_FALSE(exists(top));
}

TEST(RemoverWinTest, AFileOpenWithoutDeleteSharingStays) {
  test::TempDir dir;
  const std::string file = dir.writeFile("busy.txt", "x");
  const HANDLE held = ::CreateFileW(widePath(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Remover::system().remove(file));
  ::CloseHandle(held);
  EXPECT_TRUE(exists(file));
  EXPECT_TRUE(Remover::system().remove(file));
  EXPECT_FALSE(exists(file));
}

TEST(RemoverWinTest, AFileHeldOpenSharingDeletionIsRemoved) {
  test::TempDir dir;
  const bool atOnce = unlinksAtOnce(dir);
  const std::string file = dir.writeFile("cache/held.txt", "x");
  const HANDLE held = ::CreateFileW(widePath(file).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Remover::system().remove(file));
  EXPECT_EQ(isListed(dir.path("cache"), "held.txt"), !atOnce);
  // Where the name stays until the other program lets go, so does the folder holding it.
  dir.writeFile("cache/more.txt", "y");
  EXPECT_EQ(Remover::system().remove(dir.path("cache")), atOnce);
  ::CloseHandle(held);
  EXPECT_FALSE(isListed(dir.path("cache"), "held.txt"));
  EXPECT_FALSE(isListed(dir.path("cache"), "more.txt"));
}

// Removes the path on a thread of a small stack, so a remover that takes stack by depth fails
// well short of the depth of the trees tested.
bool removeOnSmallStack(const std::string& path) {
  struct Job {
    std::string path;
    bool removed = false;
  } job{path};
  const auto run = [](void* context) -> DWORD {
    auto* job = static_cast<Job*>(context);
    job->removed = Remover::system().remove(job->path);
    return 0;
  };
  const HANDLE thread =
      ::CreateThread(nullptr, 64 * 1024, run, &job, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == nullptr)
    return false;
  ::WaitForSingleObject(thread, INFINITE);
  DWORD code = 0;
  ::GetExitCodeThread(thread, &code);
  ::CloseHandle(thread);
  return code == 0 && job.removed;
}

bool isWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(RemoverWinTest, RemovesAChainOfFoldersDeeperThanAnyPath) {
  test::TempDir dir;
  const std::string top = dir.makeFolder("deep");
  HANDLE folder =
      ::CreateFileW(widePath(top).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(folder, INVALID_HANDLE_VALUE);
  // Wine keeps each entry's host path: every call slows with depth, and the deletion fails beyond
  // the host's path limit. A few hundred levels still take the remover back up past held folders.
  const int depth = isWine() ? 300 : 10000;
  for (int level = 0; level < depth && folder != INVALID_HANDLE_VALUE; ++level) {
    if (level % 100 == 0)
      ::CloseHandle(makeIn(folder, L"f", FILE_NON_DIRECTORY_FILE));
    const HANDLE child = makeIn(folder, L"d", FILE_DIRECTORY_FILE);
    ::CloseHandle(folder);
    folder = child;
  }
  ASSERT_NE(folder, INVALID_HANDLE_VALUE);
  ::CloseHandle(folder);
  EXPECT_TRUE(removeOnSmallStack(top));
  EXPECT_FALSE(exists(top));
}

}  // namespace
}  // namespace qinglan::platform
