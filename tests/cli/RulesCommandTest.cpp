#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/CliRunner.h"
#include "support/RulesDbFile.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

using ::testing::ElementsAre;

TEST(RulesCommandTest, CheckListsEveryProblemAndFailsOnAny) {
  // The build runs the check on the shipped database, which passes; here every row is faulty.
  test::TempDir dir;
  const std::string faultyDb = dir.path("faulty.db");
  test::writeScanItems(faultyDb, {{"0", "", "*.log"}});
  test::writeCacheRules(faultyDb, {{"Downloads", "*.part", "下载"}, {"", "*", "根"}});
  test::writeInfoNotes(faultyDb, {{".log", "请不要删除。", 1}});
  const test::CliOutput faulty = test::runQinglanCli(dir, {"rules", "--check", "--db", faultyDb});
  EXPECT_EQ(faulty.exitCode, 1);
  EXPECT_THAT(
      faulty.lines,
      ElementsAre("ccdb Id 1: mask '*.log' takes 'x.log', whose note says not to delete it",
                  "CacheClean row 1 (Downloads): dir is a folder where people keep their files",
                  "CacheClean row 1 (Downloads): mask '*.part' takes files people keep such as download.part",
                  "CacheClean row 2 (): mask '*' takes every name at the drive root",
                  "1 scan items, 2 cache rules, 4 problems"));
}

}  // namespace
}  // namespace qinglan
