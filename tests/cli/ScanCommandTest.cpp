#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/CliRunner.h"
#include "support/RulesDbFile.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

class ScanCommandTest : public ::testing::Test {
 protected:
  ScanCommandTest() {
    m_dir.writeFile("CloudCache/1001/0/a.log", std::string(512 * 1024, 'a'));
    m_dir.writeFile("CloudCache/1001/0/sub/b.log", std::string(1536 * 1024, 'b'));
    m_dir.makeFolder("CloudCache/1001/0/Crashes");
    m_dir.writeFile("CloudCache/1002/0/hidden.log", "x");
    m_dir.writeFile("app/wb.lst", "[White]\r\n1002=1\r\n");
  }

  std::vector<std::string> scanJson() {
    return test::runQinglanCli(m_dir, {"scan", "--cache", m_dir.path("CloudCache/"), "--app-dir",
                                       m_dir.path("app"), "--json"})
        .lines;
  }

  test::TempDir m_dir;
};

TEST_F(ScanCommandTest, PrintsOneObjectPerFindingAndTheTotalsLast) {
  test::writeScanItems(m_dir.path("app/ccdb.db"), {{"0", "", "*.log\r\nCrashes"}});

  const std::vector<std::string> lines = scanJson();

  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(nlohmann::json::parse(lines[0])["name"], "a.log");
  const auto folder = nlohmann::json::parse(lines[1]);
  EXPECT_EQ(folder["name"], "Crashes");
  EXPECT_EQ(folder["location"], m_dir.path("CloudCache/1001/0/"));
  EXPECT_EQ(folder["size"], 0);
  EXPECT_EQ(folder["size_text"], "文件夹");
  EXPECT_EQ(folder["is_folder"], true);
  EXPECT_EQ(folder["checked"], true);
  EXPECT_EQ(folder["status"], "");
  const auto file = nlohmann::json::parse(lines[2]);
  EXPECT_EQ(file["name"], "b.log");
  EXPECT_EQ(file["size"], 1536 * 1024);
  EXPECT_EQ(file["size_text"], "1.50MB");
  EXPECT_EQ(nlohmann::json::parse(lines[3]),
            nlohmann::json::parse(R"({"rows":3,"total_mb":"2.00","unreadable":0})"));
}

TEST_F(ScanCommandTest, SummaryPrintsEachResourceBeforeTheTotals) {
  test::writeScanItems(m_dir.path("app/ccdb.db"), {{"0", "", "*.log\r\nCrashes"}});
  m_dir.writeFile("app/wb.lst", "");
  m_dir.writeFile("CloudCache/1001/Resource.ini", "[Info]\r\nResourceName=Star\r\n");

  const std::vector<std::string> lines =
      test::runQinglanCli(m_dir, {"scan", "--cache", m_dir.path("CloudCache/"), "--app-dir",
                                  m_dir.path("app"), "--json", "--summary"})
          .lines;

  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(nlohmann::json::parse(lines[4]),
            nlohmann::json::parse(
                R"({"resource_id":"1001","name":"Star","rows":3,"size":2097152,"size_text":"2.00MB"})"));
  EXPECT_EQ(
      nlohmann::json::parse(lines[5]),
      nlohmann::json::parse(R"({"resource_id":"1002","name":"未知","rows":1,"size":1,"size_text":"1B"})"));
  EXPECT_EQ(nlohmann::json::parse(lines[6])["rows"], 4);
}

TEST_F(ScanCommandTest, AnInvalidMaskIsReportedAfterTheRowsFoundBeforeIt) {
  test::writeScanItems(m_dir.path("app/ccdb.db"), {{"0", "", "a.log"}, {"0", "", "[abc"}});

  const test::CliOutput output = test::runQinglanCli(
      m_dir, {"scan", "--cache", m_dir.path("CloudCache"), "--app-dir", m_dir.path("app"), "--json"});

  EXPECT_EQ(output.exitCode, 2);
  ASSERT_EQ(output.lines.size(), 2u);
  EXPECT_EQ(nlohmann::json::parse(output.lines[0])["name"], "a.log");
  EXPECT_EQ(output.errors, "'[abc' is an invalid mask at (5)\n");
}

TEST_F(ScanCommandTest, AMissingRulesDatabaseIsNotCreated) {
  const test::CliOutput output = test::runQinglanCli(
      m_dir, {"scan", "--cache", m_dir.path("CloudCache"), "--app-dir", m_dir.path("app")});

  EXPECT_EQ(output.exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(m_dir.path("app/ccdb.db")));
}

}  // namespace
}  // namespace qinglan
