#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/CliRunner.h"
#include "support/RulesDbFile.h"
#include "support/TempDir.h"

#ifndef _WIN32
#include "support/ChildProcess.h"
#endif

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

  // The text table starts every path in the same column, "文件夹" being two columns a character.
  const std::vector<std::string> rows =
      test::runQinglanCli(m_dir,
                          {"scan", "--cache", m_dir.path("CloudCache/"), "--app-dir", m_dir.path("app")})
          .lines;
  ASSERT_GE(rows.size(), 3u);
  EXPECT_EQ(rows[0].substr(0, 18), "[x]     512.00KB  ");
  EXPECT_EQ(rows[1].substr(0, 21), "[x]       文件夹  ");
  EXPECT_EQ(rows[0].find(m_dir.path("CloudCache")), 30u);
  EXPECT_EQ(rows[1].find(m_dir.path("CloudCache")), 33u);
}

#ifndef _WIN32
// A low open-file limit leaves the default walk with fewer folders listed ahead, never with folders
// it takes for unreadable.
TEST_F(ScanCommandTest, AFewDescriptorsGiveWhatOneThreadGives) {
  test::writeScanItems(m_dir.path("app/ccdb.db"), {{"0", "", "*.tmp"}});
  for (int i = 0; i < 300; ++i) {
    const std::string folder = "CloudCache/1001/0/e" + std::to_string(i);
    m_dir.writeFile(folder + "/a.tmp", "x");
    m_dir.writeFile(folder + "/in/b.tmp", "x");
  }
  const std::vector<std::string> scan{"scan",      "--cache",         m_dir.path("CloudCache/"),
                                      "--app-dir", m_dir.path("app"), "--json"};
  std::vector<std::string> inTurn = scan;
  inTurn.insert(inTurn.end(), {"--threads", "1"});
  const std::vector<std::string> expected = test::runQinglanCli(m_dir, inTurn).lines;
  ASSERT_EQ(expected.size(), 601u);
  ASSERT_EQ(nlohmann::json::parse(expected.back())["unreadable"], 0);

  const int code = test::exitCodeInChild([&] {
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = 64;
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0)
      return 3;
    // The threads race: a few runs make a lost folder all but certain to show.
    for (int run = 0; run < 3; ++run) {
      if (test::runQinglanCli(m_dir, scan).lines != expected)
        return 1;
    }
    return 0;
  });
  EXPECT_EQ(code, 0);
}
#endif

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

#ifndef _WIN32
struct InterruptedRun {
  int exitCode = -1;
  std::vector<std::string> lines;
};

// Runs qinglan-cli, sends it the interrupt once its first line is out, and reads the rest.
InterruptedRun interruptAfterFirstLine(const std::vector<std::string>& arguments) {
  const std::string binary = std::string(QINGLAN_BIN_DIR) + "/qinglan-cli";
  std::vector<char*> argv{const_cast<char*>(binary.c_str())};
  for (const std::string& argument : arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int out[2];
  if (::pipe(out) != 0)
    return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(::open("/dev/null", O_WRONLY), STDERR_FILENO);
    ::close(out[0]);
    ::close(out[1]);
    ::execv(binary.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  std::string text;
  char chunk[4096];
  bool sent = false;
  for (ssize_t got; (got = ::read(out[0], chunk, sizeof chunk)) > 0;) {
    text.append(chunk, static_cast<size_t>(got));
    if (!sent && text.find('\n') != std::string::npos) {
      ::kill(pid, SIGINT);
      sent = true;
    }
  }
  ::close(out[0]);
  InterruptedRun run;
  int status = 0;
  if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    run.exitCode = WEXITSTATUS(status);
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);)
    run.lines.push_back(line);
  return run;
}

// The rows outgrow the command's output buffer and the pipe, so the command is still scanning,
// waiting for its output to be read, when the interrupt comes after the first row.
TEST_F(ScanCommandTest, AnInterruptEndsTheScanWithTheRowsSoFarAndAnIncompleteTotal) {
  constexpr int kFolders = 20;
  constexpr int kFilesPerFolder = 500;
  for (int folder = 0; folder < kFolders; ++folder) {
    const std::string path = m_dir.makeFolder("CloudCache/1003/" + std::to_string(folder));
    for (int file = 0; file < kFilesPerFolder; ++file)
      ::close(::creat(
          (path + "/a-name-long-enough-to-fill-the-output-" + std::to_string(file) + ".log").c_str(), 0644));
  }
  test::writeScanItems(m_dir.path("app/ccdb.db"), {{"0", "", "*.log"}});
  const std::vector<std::vector<std::string>> commands = {
      {"large", "--min-mb", "0", "--cache", m_dir.path("CloudCache"), "--json"},
      {"scan", "--cache", m_dir.path("CloudCache"), "--app-dir", m_dir.path("app"), "--json"}};
  for (const std::vector<std::string>& command : commands) {
    SCOPED_TRACE(command.front());
    const InterruptedRun run = interruptAfterFirstLine(command);

    EXPECT_EQ(run.exitCode, 130);
    ASSERT_GE(run.lines.size(), 2u);
    const size_t rows = run.lines.size() - 1;
    EXPECT_LT(rows, static_cast<size_t>(kFolders * kFilesPerFolder));
    for (size_t i = 0; i < rows; ++i)
      EXPECT_TRUE(nlohmann::json::parse(run.lines[i]).contains("name")) << run.lines[i];
    const auto totals = nlohmann::json::parse(run.lines.back());
    EXPECT_EQ(totals["rows"], rows);
    EXPECT_EQ(totals["complete"], false);
  }
}
#endif

}  // namespace
}  // namespace qinglan
