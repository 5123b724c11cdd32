#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "platform/NativePath.h"
#ifndef _WIN32
#include "support/ChildProcess.h"
#endif
#include "support/CliRunner.h"
#include "support/RulesDbFile.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

class CleanCommandTest : public ::testing::Test {
 protected:
  CleanCommandTest() {
    m_dir.writeFile("CloudCache/1001/0/a.log", "a");
    m_dir.writeFile("CloudCache/1001/0/keep.exe", "k");
    test::writeScanItems(m_dir.path("app/ccdb.db"), {{"0", "", "*.log"}});
  }

  test::CliOutput clean(std::vector<std::string> extra) {
    std::vector<std::string> arguments = {"clean",     "--cache",         m_dir.path("CloudCache"),
                                          "--app-dir", m_dir.path("app"), "--json"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return test::runQinglanCli(m_dir, arguments);
  }

  bool exists(const std::string& relative) const { return std::filesystem::exists(m_dir.path(relative)); }

  test::TempDir m_dir;
};

TEST_F(CleanCommandTest, WithoutYesItOnlyListsWhatItWouldDelete) {
  const test::CliOutput output = clean({});

  EXPECT_EQ(output.exitCode, 0);
  ASSERT_EQ(output.lines.size(), 2u);
  EXPECT_EQ(nlohmann::json::parse(output.lines[0])["status"], "");
  EXPECT_TRUE(exists("CloudCache/1001/0/a.log"));
}

TEST_F(CleanCommandTest, WithYesItDeletesTheFindingsAndReportsEachOutcome) {
  const test::CliOutput output = clean({"--yes"});

  EXPECT_EQ(output.exitCode, 0);
  ASSERT_EQ(output.lines.size(), 2u);
  EXPECT_EQ(nlohmann::json::parse(output.lines[0])["status"], "清理成功");
  EXPECT_FALSE(exists("CloudCache/1001/0/a.log"));
  EXPECT_TRUE(exists("CloudCache/1001/0/keep.exe"));
  EXPECT_NE(output.errors.find("清理垃圾完成！"), std::string::npos);
}

// The modification time decides, and a day's margin either side keeps zones and clocks out of it.
TEST_F(CleanCommandTest, FindingsWrittenWithinTheDaysAreListedUncheckedAndKept) {
  m_dir.writeFile("CloudCache/1001/0/old.log", "o");
  m_dir.writeFile("CloudCache/1001/0/recent.log", "r");
  const auto now = std::filesystem::file_time_type::clock::now();
  std::filesystem::last_write_time(m_dir.path("CloudCache/1001/0/old.log"), now - std::chrono::days(31));
  std::filesystem::last_write_time(m_dir.path("CloudCache/1001/0/recent.log"), now - std::chrono::days(29));
  std::filesystem::last_write_time(m_dir.path("CloudCache/1001/0/a.log"), now + std::chrono::days(1));

  const test::CliOutput output = clean({"--yes", "--older-than", "30"});

  EXPECT_EQ(output.exitCode, 0) << output.errors;
  ASSERT_EQ(output.lines.size(), 4u);
  for (const std::string& line : output.lines) {
    const nlohmann::json row = nlohmann::json::parse(line);
    if (!row.contains("name"))
      continue;
    const bool old = row["name"] == "old.log";
    EXPECT_EQ(row["checked"], old) << line;
    EXPECT_EQ(row["status"], old ? "清理成功" : "最近修改") << line;
    EXPECT_EQ(row.value("reason", ""), old ? "" : "最近修改") << line;
  }
  EXPECT_FALSE(exists("CloudCache/1001/0/old.log"));
  EXPECT_TRUE(exists("CloudCache/1001/0/recent.log"));
  EXPECT_TRUE(exists("CloudCache/1001/0/a.log"));
  EXPECT_NE(clean({"--older-than", "0"}).exitCode, 0);
}

#ifndef _WIN32
TEST_F(CleanCommandTest, AFindingARunningProgramHoldsIsKeptWithItsNameUnlessIncluded) {
  const test::HeldOpen held(m_dir.path("CloudCache/1001/0/a.log"));

  const test::CliOutput kept = clean({"--yes"});

  EXPECT_EQ(kept.exitCode, 0);
  ASSERT_EQ(kept.lines.size(), 2u);
  const nlohmann::json row = nlohmann::json::parse(kept.lines[0]);
  EXPECT_EQ(row["status"], "正在使用");
  EXPECT_EQ(row["reason"], "被 sleep 使用");
  EXPECT_TRUE(exists("CloudCache/1001/0/a.log"));

  const test::CliOutput included = clean({"--yes", "--include-in-use"});

  EXPECT_EQ(nlohmann::json::parse(included.lines.at(0))["status"], "清理成功");
  EXPECT_FALSE(exists("CloudCache/1001/0/a.log"));
}
#endif

// Beyond 260 characters a row must still say what became of its file.
TEST_F(CleanCommandTest, AFindingBeyondTheOldPathLimitIsDeletedAndReportedTruly) {
  std::string deep = "CloudCache/1001/0";
  while (deep.size() < 300)
    deep += "/folder-of-a-long-path";
  m_dir.writeFile(deep + "/b.log", "b");
  ASSERT_GT(m_dir.path(deep + "/b.log").size(), 300u);

  const test::CliOutput output = clean({"--yes"});

  ASSERT_EQ(output.lines.size(), 3u) << output.errors;
  EXPECT_EQ(nlohmann::json::parse(output.lines[1])["status"], "清理成功");
  EXPECT_FALSE(platform::entryExists(m_dir.path(deep + "/b.log")));
}

TEST_F(CleanCommandTest, TableRowsPrintControlsInNamesEscaped) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows names hold no C0 control character";
#endif
  m_dir.writeFile("CloudCache/1001/0/\x1B[2K\rx\ny.log", "b");
  const test::CliOutput output = test::runQinglanCli(
      m_dir, {"clean", "--cache", m_dir.path("CloudCache"), "--app-dir", m_dir.path("app"), "--yes"});

  EXPECT_EQ(output.exitCode, 0) << output.errors;
  ASSERT_EQ(output.lines.size(), 3u);  // two rows and the totals
  const std::string rows = output.lines[0] + output.lines[1];
  EXPECT_NE(rows.find("/\\x1B[2K\\x0Dx\\x0Ay.log  清理成功"), std::string::npos) << rows;
  EXPECT_FALSE(exists("CloudCache/1001/0/\x1B[2K\rx\ny.log"));
}

// The whole way back on the command line: clean into the trash, find the pass, restore it.
TEST_F(CleanCommandTest, TrashedFindingsAreListedInHistoryAndRestored) {
  // On Windows the finding goes into the Recycle Bin of the temporary folder's volume, and back.
  const test::ScopedEnv dataHome("XDG_DATA_HOME", m_dir.path("data"));
  const test::CliOutput cleaned = clean({"--yes", "--trash"});
  ASSERT_EQ(cleaned.exitCode, 0) << cleaned.errors;
  EXPECT_EQ(nlohmann::json::parse(cleaned.lines[0])["status"], "已移到回收站");
  // The real disk's gain: only that it is there and never negative.
  EXPECT_GE(nlohmann::json::parse(cleaned.lines.back()).value("freed_bytes", int64_t{-1}), 0);
  EXPECT_FALSE(exists("CloudCache/1001/0/a.log"));
#ifndef _WIN32
  EXPECT_TRUE(exists("data/Trash/files/a.log"));
#endif

  const test::CliOutput history =
      test::runQinglanCli(m_dir, {"history", "--json", "--app-dir", m_dir.path("app")});
  ASSERT_EQ(history.lines.size(), 1u);
  const nlohmann::json pass = nlohmann::json::parse(history.lines[0]);
  EXPECT_EQ(pass["rows"], 1);
  EXPECT_EQ(pass["trashed"], 1);
  EXPECT_GE(pass.value("freed", int64_t{-1}), 0);

  const test::CliOutput restored = test::runQinglanCli(
      m_dir, {"restore", pass["pass"].get<std::string>(), "--app-dir", m_dir.path("app")});
  EXPECT_EQ(restored.exitCode, 0) << restored.errors;
  EXPECT_TRUE(exists("CloudCache/1001/0/a.log"));
#ifndef _WIN32
  EXPECT_FALSE(exists("data/Trash/info/a.log.trashinfo"));
#endif

  // A second restore touches nothing and says why.
  const test::CliOutput again = test::runQinglanCli(
      m_dir, {"restore", pass["pass"].get<std::string>(), "--app-dir", m_dir.path("app")});
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_TRUE(again.lines.empty());
  EXPECT_NE(again.errors.find("restored before"), std::string::npos) << again.errors;
}

// Clean into the trash, purge every pass, and the pass is no more to restore.
TEST_F(CleanCommandTest, PurgeEmptiesThePassesTrashedEntriesAndRestoreThenLeavesThem) {
  const test::ScopedEnv dataHome("XDG_DATA_HOME", m_dir.path("data"));
  ASSERT_EQ(clean({"--yes", "--trash"}).exitCode, 0);
  for (const char* days : {"-1", "1.5", "x"})
    EXPECT_NE(
        test::runQinglanCli(m_dir, {"purge", "--older-than", days, "--app-dir", m_dir.path("app")}).exitCode,
        0)
        << days;

  // A day's age leaves the pass of a moment ago; 0 takes every pass.
  const test::CliOutput young =
      test::runQinglanCli(m_dir, {"purge", "--older-than", "1", "--app-dir", m_dir.path("app"), "--json"});
  ASSERT_EQ(young.lines.size(), 1u) << young.errors;
  EXPECT_EQ(nlohmann::json::parse(young.lines[0])["purged"], 0);
  const test::CliOutput purged =
      test::runQinglanCli(m_dir, {"purge", "--older-than", "0", "--app-dir", m_dir.path("app"), "--json"});
  EXPECT_EQ(purged.exitCode, 0) << purged.errors;
  ASSERT_EQ(purged.lines.size(), 2u);
  EXPECT_EQ(nlohmann::json::parse(purged.lines[0])["outcome"], "purged");
  EXPECT_EQ(nlohmann::json::parse(purged.lines[1])["purged"], 1);
#ifndef _WIN32
  EXPECT_FALSE(exists("data/Trash/files/a.log"));
  EXPECT_FALSE(exists("data/Trash/info/a.log.trashinfo"));
#endif

  const test::CliOutput history =
      test::runQinglanCli(m_dir, {"history", "--json", "--app-dir", m_dir.path("app")});
  ASSERT_EQ(history.lines.size(), 1u);
  const nlohmann::json pass = nlohmann::json::parse(history.lines[0]);
  EXPECT_EQ(pass["purged"], 1);
  const test::CliOutput restored = test::runQinglanCli(
      m_dir, {"restore", pass["pass"].get<std::string>(), "--app-dir", m_dir.path("app")});
  EXPECT_EQ(restored.exitCode, 0) << restored.errors;
  ASSERT_EQ(restored.lines.size(), 1u);
  EXPECT_NE(restored.lines[0].find("emptied from the trash"), std::string::npos) << restored.lines[0];
  EXPECT_FALSE(exists("CloudCache/1001/0/a.log"));
  const test::CliOutput again =
      test::runQinglanCli(m_dir, {"purge", "--older-than", "0", "--app-dir", m_dir.path("app")});
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_EQ(again.lines.size(), 1u);
}

}  // namespace
}  // namespace qinglan
