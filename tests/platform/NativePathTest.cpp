#include "platform/NativePath.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/DirLister.h"
#include "platform/Remover.h"
#include "support/Symlink.h"
#include "support/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace qinglan::platform {
namespace {

TEST(NativePathTest, ADanglingLinkStillExists) {
  if (!test::kSymlinksMade)
    GTEST_SKIP() << test::kNoSymlinks;
  test::TempDir dir;
  std::filesystem::create_symlink(dir.path("nowhere"), dir.path("dangling"));
  EXPECT_TRUE(entryExists(dir.path("dangling")));
  EXPECT_FALSE(entryExists(dir.path("nowhere")));
  EXPECT_FALSE(entryExists(dir.path("nowhere/below")));
  EXPECT_TRUE(entryExists(dir.path("")));
}

#ifdef _WIN32
TEST(NativePathTest, AbsolutePathsKeepEveryNameAsWritten) {
  struct Case {
    std::string given;
    std::string absolute;
  };
  for (const Case& c :
       {Case{"C:\\a\\.\\b\\..\\ff.", "C:\\a\\ff."}, Case{"C:/a/dd /CON", "C:\\a\\dd \\CON"},
        Case{"\\\\?\\Z:\\x\\..\\y", "Z:\\x\\..\\y"}, Case{"\\\\.\\Z:\\x", "Z:\\x"},
        Case{"\\\\?\\UNC\\host\\share\\a", "\\\\host\\share\\a"},
        Case{"\\\\host\\share\\a\\..\\..\\b\\", "\\\\host\\share\\b\\"}, Case{"C:\\..", "C:\\"}})
    EXPECT_EQ(absolutePath(c.given), c.absolute) << c.given;
  EXPECT_EQ(widePath("C:\\a\\ee."), L"\\\\?\\C:\\a\\ee.");
  EXPECT_EQ(widePath("\\\\host\\share\\a"), L"\\\\?\\UNC\\host\\share\\a");
}

// Names the system's own path clean-up would rewrite: a trailing dot or space is cut ("ff." would
// name "ff"), and a device name stands for the device.
class ExactNamesTest : public testing::Test {
 protected:
  void make(const std::string& name, const std::string& content) {
    const HANDLE file = ::CreateFileW(widePath(m_dir.path(name)).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    DWORD written = 0;
    ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);
  }

  test::TempDir m_dir;
};

TEST_F(ExactNamesTest, AreListedAndRemovedAsTheyAre) {
  make("ff", "12");
  make("ff.", "1");
  make("ee.", "123");
  make("dd ", "1234");
  make("CON", "12345");
  ASSERT_TRUE(::CreateDirectoryW(widePath(m_dir.path("abc.")).c_str(), nullptr));

  std::vector<std::string> listed;
  const std::unique_ptr<DirListing> listing = DirLister::system().list(m_dir.path(""));
  ASSERT_NE(listing, nullptr);
  for (const DirEntry& entry : listing->entries()) {
    const std::optional<EntryDetails> details = listing->details(entry);
    listed.push_back(entry.name + "=" + (details ? std::to_string(details->size) : "gone"));
  }
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"CON=5", "abc.=0", "dd =4", "ee.=3", "ff.=1", "ff=2"}));

  for (const char* name : {"ff.", "ee.", "CON", "dd ", "abc."}) {
    EXPECT_TRUE(entryExists(m_dir.path(name))) << name;
    EXPECT_TRUE(Remover::system().remove(m_dir.path(name))) << name;
    EXPECT_FALSE(entryExists(m_dir.path(name))) << name;
  }
  EXPECT_TRUE(entryExists(m_dir.path("ff")));
}
#endif

}  // namespace
}  // namespace qinglan::platform
