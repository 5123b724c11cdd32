#include <string>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "support/CliRunner.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

#ifdef _WIN32
// The command fetches through the Windows client: a site that is not there is a failed fetch.
TEST(CheckUpdatesCommandTest, ReportsASiteThatIsNotThere) {
  test::TempDir scratch;
  scratch.writeFile("CloudCache/10023/Resource.ini", "[Info]\nResourceName=Game\n[Ctrol]\nStpLink=stp://a\n");
  const test::ScopedEnv updateHost("QINGLAN_UPDATE_HOST", "127.0.0.1:9");
  const test::CliOutput failed = test::runQinglanCli(
      scratch, {"check-updates", "--cache", scratch.path("CloudCache"), "--app-dir", scratch.path()});
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_EQ(failed.errors.find("not available"), std::string::npos) << failed.errors;
  EXPECT_FALSE(failed.errors.empty());
}
#else
// The demo's sample site on a free port of 127.0.0.1, stopped by its process ID at the end.
class SampleSiteProcess {
 public:
  SampleSiteProcess() {
    int output[2];
    if (::pipe(output) != 0)
      return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    const std::string program = std::string(QINGLAN_BIN_DIR) + "/qinglan-sample-site";
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    if (::posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, environ) != 0)
      m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    // The site prints its host on its first line once it listens.
    char c = 0;
    while (::read(output[0], &c, 1) == 1 && c != '\n')
      m_host += c;
    ::close(output[0]);
  }
  ~SampleSiteProcess() {
    if (m_pid <= 0)
      return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
  }
  SampleSiteProcess(const SampleSiteProcess&) = delete;
  SampleSiteProcess& operator=(const SampleSiteProcess&) = delete;

  const std::string& host() const { return m_host; }

 private:
  pid_t m_pid = -1;
  std::string m_host;
};

// Three resources of the sample site's catalog: 10023 has a newer version there, 10087 is current, and
// 10999 has no StpLink and is never asked for.
class CheckUpdatesCommandTest : public testing::Test {
 protected:
  CheckUpdatesCommandTest() {
    const std::string bom = "\xEF\xBB\xBF";
    m_dir.writeFile("CloudCache/10023/Resource.ini",
                    bom + "[Info]\nResourceName=星海战记\n[Ctrol]\nStpLink=stp://a\n");
    m_dir.writeFile("CloudCache/10087/Resource.ini",
                    bom + "[Info]\nResourceName=幻剑奇缘\n[Ctrol]\nStpLink=stp://b\n");
    m_dir.writeFile("CloudCache/10999/Resource.ini", bom + "[Info]\nResourceName=无链接\n");
  }

  test::CliOutput run(std::vector<std::string> arguments, const std::string& host) {
    const test::ScopedEnv updateHost("QINGLAN_UPDATE_HOST", host);
    arguments.insert(arguments.end(), {"--app-dir", m_dir.path()});
    return test::runQinglanCli(m_scratch, arguments);
  }
  test::CliOutput checkUpdates(std::vector<std::string> options = {}) {
    options.insert(options.begin(), {"check-updates", "--cache", m_dir.path("CloudCache")});
    return run(options, m_site.host());
  }

  test::TempDir m_dir;
  test::TempDir m_scratch;
  SampleSiteProcess m_site;
};

TEST_F(CheckUpdatesCommandTest, PrintsTheRowsThenTheCount) {
  ASSERT_FALSE(m_site.host().empty());
  const test::CliOutput json = checkUpdates({"--json"});
  ASSERT_EQ(json.exitCode, 0) << json.errors;
  EXPECT_EQ(
      json.lines,
      (std::vector<std::string>{
          R"({"name":"星海战记","latest_version":"星海战记 2.0","date":"2024-03-15","resource_id":"10023"})",
          R"({"count":1})"}));

  const test::CliOutput text = checkUpdates();
  ASSERT_EQ(text.exitCode, 0) << text.errors;
  EXPECT_EQ(text.lines,
            (std::vector<std::string>{"星海战记\t星海战记 2.0\t2024-03-15\t10023", "您有 1 款软件需要更新"}));
}

TEST_F(CheckUpdatesCommandTest, SilencedVersionIsNoLongerListed) {
  ASSERT_EQ(run({"silence", "10023", "星海战记 2.0"}, m_site.host()).exitCode, 0);
  ASSERT_EQ(run({"silence", "10087", ""}, m_site.host()).exitCode, 0);
  const platform::IniFile whiteList(m_dir.path("wb.lst"));
  EXPECT_EQ(whiteList.readString("unvercheck", "10023", ""), "星海战记 2.0");
  EXPECT_EQ(whiteList.readString("unvercheck", "10087", ""), "1");
  EXPECT_EQ(checkUpdates({"--json"}).lines, (std::vector<std::string>{R"({"count":0})"}));
}

TEST_F(CheckUpdatesCommandTest, SilenceWritesNothingThroughALinkNorIntoAFolderOthersMayWrite) {
  const test::TempDir outside;
  const std::string target = outside.writeFile("wb.lst", "[unvercheck]\r\n");
  ASSERT_EQ(::symlink(target.c_str(), m_dir.path("wb.lst").c_str()), 0);
  const test::CliOutput linked = run({"silence", "10023", "2.0"}, m_site.host());
  EXPECT_EQ(linked.exitCode, 1);
  EXPECT_NE(linked.errors.find("unsafe program folder " + m_dir.path() + "/: wb.lst is a symbolic link"),
            std::string::npos)
      << linked.errors;
  EXPECT_TRUE(platform::IniFile(target).readSection("unvercheck").empty());

  ::unlink(m_dir.path("wb.lst").c_str());
  ::chmod(m_dir.path().c_str(), 0777);
  const test::CliOutput open = run({"silence", "10023", "2.0"}, m_site.host());
  EXPECT_EQ(open.exitCode, 1);
  EXPECT_NE(open.errors.find(m_dir.path() + "/: other users may write to it"), std::string::npos)
      << open.errors;
  EXPECT_NE(::access(m_dir.path("wb.lst").c_str(), F_OK), 0);
}

TEST_F(CheckUpdatesCommandTest, UnreachableSiteFails) {
  const test::CliOutput failed = run({"check-updates", "--cache", m_dir.path("CloudCache")}, "127.0.0.1:1");
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_TRUE(failed.lines.empty());
  EXPECT_FALSE(failed.errors.empty());
}
#endif

}  // namespace
}  // namespace qinglan
