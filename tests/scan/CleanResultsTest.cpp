#include "scan/CleanResults.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#endif

#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include "platform/NativePath.h"
#include "platform/OpenFiles.h"
#include "platform/Remover.h"
#include "search/EasyFileSearch.h"
#ifndef _WIN32
#include "platform/OpenFiles_posix.h"
#include "support/ChildProcess.h"
#endif
#include "support/RecordingScanFront.h"
#include "support/Symlink.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

// Removes through the system but fails, removing nothing, for the paths named.
class FailingRemover final : public platform::Remover {
 public:
  std::set<std::string> failing;
  std::vector<std::string> asked;

  bool remove(const std::string&) override { return false; }
  bool removeFinding(const std::string& path, const platform::FindingOrigin& origin) override {
    asked.push_back(path);
    if (failing.contains(path))
      return false;
    return platform::Remover::system().removeFinding(path, origin);
  }
};

class CleanResultsTest : public ::testing::Test {
 protected:
  // A checked row for a path below the temporary folder, made as a file unless it is a folder.
  void row(const std::string& relative, bool checked = true, bool folder = false) {
    const std::string full = folder ? m_dir.makeFolder(relative) : m_dir.writeFile(relative, "x");
    const std::filesystem::path path(full);
    ResultsRow& added = m_view.rows.emplace_back();
    added.name = path.filename().string();
    added.location = path.parent_path().string() + platform::kSeparator;
    added.checked = checked;
    added.isFolder = folder;
    added.origin = m_dir.origin(relative);
  }

  bool exists(const std::string& relative) const { return platform::entryExists(m_dir.path(relative)); }

  std::vector<std::string> statuses() const {
    std::vector<std::string> found;
    for (const ResultsRow& row : m_view.rows)
      found.push_back(row.status);
    return found;
  }

  test::TempDir m_dir;
  test::RecordingScanFront m_view;
  FailingRemover m_remover;
};

TEST_F(CleanResultsTest, CheckedRowsAreDeletedAndMarkedUncheckedOnesKept) {
  row("c/a.log");
  row("c/b.log", false);
  row("c/c.log");
  m_view.space.readings = {5 * 1048576, 5 * 1048576 + 1310720};

  cleanCheckedResults(m_view, m_remover);

  EXPECT_EQ(statuses(), (std::vector<std::string>{"清理成功", "", "清理成功"}));
  EXPECT_FALSE(exists("c/a.log"));
  EXPECT_TRUE(exists("c/b.log"));
  EXPECT_FALSE(exists("c/c.log"));
  EXPECT_EQ(m_view.events,
            (std::vector<std::string>{"ask=是否确定要清理选定的项目？", "begin", "max=3", "position=0",
                                      "text=正在清理中。。。。", "position=1", "status=0 清理成功",
                                      "position=2", "position=3", "status=2 清理成功", "end=finished",
                                      "info=清理垃圾完成！共删除 2 项，释放 1.25 MB 空间。"}));
}

TEST_F(CleanResultsTest, AFolderRowTakesTheRowsOfItsFilesWithIt) {
  row("c/Crashes", true, true);
  row("c/Crashes/one.dmp");
  row("c/Crashes/sub/two.dmp");

  cleanCheckedResults(m_view, m_remover);

  EXPECT_EQ(statuses(), (std::vector<std::string>{"清理成功", "清理成功", "清理成功"}));
  EXPECT_FALSE(exists("c/Crashes"));
}

TEST_F(CleanResultsTest, AFailedDeletionIsMarkedAndTheOthersAreStillHandled) {
  row("c/locked.log");
  row("c/free.log");
  m_remover.failing.insert(m_dir.path("c/locked.log"));
  // Something else filled the volume meanwhile: the message never says a negative gain.
  m_view.space.readings = {4096, 1024};

  cleanCheckedResults(m_view, m_remover);

  EXPECT_EQ(statuses(), (std::vector<std::string>{"清理失败", "清理成功"}));
  EXPECT_TRUE(exists("c/locked.log"));
  EXPECT_FALSE(exists("c/free.log"));
  EXPECT_EQ(m_view.events.back(), "info=清理垃圾完成！共删除 1 项，释放 0.00 MB 空间。其中 1 项清理失败。");
}

#ifndef _WIN32
class DeletingCleaner final : public RowCleaner {
 public:
  explicit DeletingCleaner(platform::Remover& remover) : m_remover(remover) {}
  std::string clean(size_t, const ResultsRow& row) override { return deleteRowPath(row, m_remover); }

 private:
  platform::Remover& m_remover;
};

TEST_F(CleanResultsTest, WhatARunningProgramHoldsOpenIsKeptUnlessAskedToIncludeIt) {
  row("c/held.log");
  row("c/Logs", true, true);
  m_dir.writeFile("c/Logs/sub/open.log", "x");
  row("c/free.log");
  const test::HeldOpen file(m_dir.path("c/held.log"));
  const test::HeldOpen beneath(m_dir.path("c/Logs/sub/open.log"));
  DeletingCleaner cleaner(m_remover);

  const std::vector<KeptRow> kept = cleanCheckedResults(m_view, cleaner);

  EXPECT_EQ(statuses(), (std::vector<std::string>{"正在使用", "正在使用", "清理成功"}));
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].index, 0u);
  EXPECT_EQ(kept[0].reason, "被 sleep 使用");
  EXPECT_EQ(kept[1].index, 1u);
  EXPECT_TRUE(exists("c/held.log"));
  EXPECT_TRUE(exists("c/Logs/sub/open.log"));
  EXPECT_EQ(m_view.events.back(),
            "info=清理垃圾完成！共删除 1 项，释放 0.00 MB 空间。其中 2 项正在使用，未清理（held.log 被 sleep "
            "使用 等）。");

  const std::vector<KeptRow> none = cleanCheckedResults(m_view, cleaner, CleanSettings{.skipInUse = false});

  EXPECT_TRUE(none.empty());
  EXPECT_EQ(statuses(), (std::vector<std::string>{"清理成功", "清理成功", "清理成功"}));
  EXPECT_FALSE(exists("c/Logs"));
}

// A tree laid out as /proc: one process holds a file by a descriptor and maps another, one ended
// after it was listed (its folder empty), one lost its name while its descriptors still lead on.
TEST_F(CleanResultsTest, TheProcessReaderPassesOverProcessesThatVanished) {
  const std::string held = m_dir.writeFile("data/held.log", "x");
  const std::string mapped = m_dir.writeFile("data/mapped.so", "x");
  const std::string other = m_dir.writeFile("data/other.log", "x");
  m_dir.writeFile("proc/42/comm", "holder\n");
  m_dir.makeFolder("proc/42/fd");
  std::filesystem::create_symlink(held, m_dir.path("proc/42/fd/3"));
  std::filesystem::create_symlink(m_dir.path("gone"), m_dir.path("proc/42/fd/4"));
  struct stat mappedStat {};
  ASSERT_EQ(::stat(mapped.c_str(), &mappedStat), 0);
  char line[256];
  std::snprintf(line, sizeof line, "7f00-7f10 r-xp 00000000 %x:%x %llu    %s\n", major(mappedStat.st_dev),
                minor(mappedStat.st_dev), static_cast<unsigned long long>(mappedStat.st_ino), mapped.c_str());
  m_dir.writeFile("proc/42/maps", std::string("7f10-7f20 rw-p 00000000 00:00 0\n") + line);
  m_dir.makeFolder("proc/77");
  m_dir.makeFolder("proc/88/fd");
  std::filesystem::create_symlink(other, m_dir.path("proc/88/fd/0"));
  m_dir.writeFile("proc/self", "");

  const auto openFiles = platform::openFilesFromProc(m_dir.path("proc"), 1);

  const auto byDescriptor = openFiles->holder(held, false);
  ASSERT_TRUE(byDescriptor);
  EXPECT_EQ(byDescriptor->program, "holder");
  EXPECT_EQ(byDescriptor->pid, 42);
  EXPECT_TRUE(openFiles->holder(mapped, false));
  EXPECT_TRUE(openFiles->holder(m_dir.path("data"), true));
  EXPECT_FALSE(openFiles->holder(m_dir.path("data"), false));
  EXPECT_FALSE(openFiles->holder(other, false));
  EXPECT_FALSE(openFiles->holder(m_dir.path("gone"), false));
  EXPECT_FALSE(platform::openFilesFromProc(m_dir.path("proc"), 42)->holder(held, false));
}
#endif

#ifdef _WIN32
// Every pass asks the Restart Manager; one that answers nothing (as under Wine) leaves the pass
// as it was, which the other tests here show.
TEST_F(CleanResultsTest, TheProgramsOwnHandleNeverKeepsAFinding) {
  m_dir.writeFile("c/own.log", "x");
  m_dir.writeFile("c/Own/inner.log", "x");
  const std::unique_ptr<platform::OpenFiles> openFiles = platform::OpenFiles::system();
  for (const char* held : {"c/own.log", "c/Own/inner.log"}) {
    const HANDLE handle = CreateFileW(platform::widePath(m_dir.path(held)).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(openFiles->holder(m_dir.path(held), false));
    EXPECT_FALSE(openFiles->holder(m_dir.path("c/Own"), true));
    CloseHandle(handle);
  }
  EXPECT_FALSE(openFiles->holder(m_dir.path("c/missing.log"), false));
}
#endif

TEST_F(CleanResultsTest, ASecondPassHandlesTheSameRowsAgain) {
  row("c/a.log");
  row("c/b.log", false);

  cleanCheckedResults(m_view, m_remover);
  m_view.rows[0].status.clear();
  cleanCheckedResults(m_view, m_remover);

  EXPECT_EQ(statuses(), (std::vector<std::string>{"清理成功", ""}));
  EXPECT_EQ(m_remover.asked, (std::vector<std::string>{m_dir.path("c/a.log"), m_dir.path("c/a.log")}));
}

TEST_F(CleanResultsTest, AnEmptyListNoOrNothingCheckedDeletesNothing) {
  cleanCheckedResults(m_view, m_remover);
  EXPECT_EQ(m_view.events, std::vector<std::string>{"info=当前列表为空！"});

  row("c/a.log");
  m_view.events.clear();
  m_view.answer = false;
  cleanCheckedResults(m_view, m_remover);
  EXPECT_EQ(m_view.events, std::vector<std::string>{"ask=是否确定要清理选定的项目？"});

  m_view.rows[0].checked = false;
  m_view.events.clear();
  m_view.answer = true;
  cleanCheckedResults(m_view, m_remover);
  EXPECT_EQ(m_view.events, std::vector<std::string>{"info=没有选中的项目！"});
  EXPECT_TRUE(exists("c/a.log"));
  EXPECT_TRUE(m_remover.asked.empty());
}

// What stands at a row's path now is not the entry the scan listed: it is kept.
TEST_F(CleanResultsTest, ARowReplacedSinceTheScanIsKeptAndFails) {
  if (!test::kSymlinksMade)
    GTEST_SKIP() << test::kNoSymlinks;
  m_dir.writeFile("elsewhere/precious.doc", "keep");
  row("c/Cache", true, true);
  row("c/a.log");
  row("d/b.log");
  std::filesystem::remove(m_dir.path("c/Cache"));
  std::filesystem::create_directory_symlink(m_dir.path("elsewhere"), m_dir.path("c/Cache"));
  std::filesystem::rename(m_dir.path("c/a.log"), m_dir.path("a.old"));
  m_dir.writeFile("c/a.log", "new");
  std::filesystem::rename(m_dir.path("d"), m_dir.path("d.old"));
  std::filesystem::create_directory_symlink(m_dir.path("d.old"), m_dir.path("d"));

  cleanCheckedResults(m_view, m_remover);

  EXPECT_EQ(statuses(), (std::vector<std::string>{"清理失败", "清理失败", "清理失败"}));
  for (const char* kept : {"c/Cache", "elsewhere/precious.doc", "c/a.log", "a.old", "d.old/b.log"})
    EXPECT_TRUE(exists(kept)) << kept;
}

#ifndef _WIN32
// A file system mounted inside the scanned tree is listed but neither walked nor deleted through:
// the folder holding it stays, and so does what the mount shows.
TEST_F(CleanResultsTest, AMountInsideTheTreeIsNeverWalkedNorDeletedThrough) {
  m_dir.writeFile("outside/keep.txt", "keep");
  m_dir.makeFolder("c/a/mnt");
  m_dir.writeFile("c/a/free.log");
  const int code = test::exitCodeInChild([&] {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount(m_dir.path("outside").c_str(), m_dir.path("c/a/mnt").c_str(), nullptr, MS_BIND, nullptr) != 0)
      return 77;
    TEasyFileSearch search;
    search.setRootPath(m_dir.path("c"));
    search.FileNames = {"*"};
    search.OnFileFound = [&](const TFileInformations& found) {
      m_view.rows.push_back(resultsRowFor(found, true));
    };
    search.Execute();
    cleanCheckedResults(m_view);
    std::vector<std::string> cleaned;
    for (const ResultsRow& row : m_view.rows)
      cleaned.push_back(row.name + " " + row.status);
    return cleaned == std::vector<std::string>{"a 清理失败", "free.log 清理成功", "mnt 清理失败"} ? 0 : 1;
  });
  if (code == 77)
    GTEST_SKIP() << "no bind mount can be made in a private mount namespace here";
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(exists("outside/keep.txt"));
  EXPECT_TRUE(exists("c/a/mnt"));
  EXPECT_FALSE(exists("c/a/free.log"));
}
#endif

}  // namespace
}  // namespace qinglan
