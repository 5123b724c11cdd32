#include "web/UpdateCheck.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "support/TempDir.h"
#include "web/LocalSite.h"

namespace qinglan {

bool operator==(const UpdateRow& a, const UpdateRow& b) {
  return a.name == b.name && a.latestVersion == b.latestVersion && a.date == b.date &&
         a.resourceId == b.resourceId && a.imageIndex == b.imageIndex;
}

void PrintTo(const UpdateRow& row, std::ostream* out) {
  *out << "{" << row.name << " | " << row.latestVersion << " | " << row.date << " | " << row.resourceId
       << " | " << row.imageIndex << "}";
}

namespace {

const std::string kReading = kUpdateStatusReading;

class RecordingSink : public UpdateSink {
 public:
  void clearRows() override {
    rows.clear();
    ++clears;
  }
  void addRow(const UpdateRow& row) override { rows.push_back(row); }
  void setStatus(const std::string& text) override { statuses.push_back(text); }

  int clears = 0;
  std::vector<UpdateRow> rows;
  std::vector<std::string> statuses;
};

// A cache folder with resources, a wb.lst beside it, and the update site serving a view page and a
// detail page per resource. A resource without a view page gets a 404.
class UpdateCheckTest : public testing::Test {
 protected:
  void SetUp() override {
    m_site.server().Get(R"(/d/sltview/([^/]+))",
                        [this](const httplib::Request& request, httplib::Response& response) {
                          const std::string id = request.matches[1];
                          const std::lock_guard lock(m_mutex);
                          m_viewRequests.push_back(id);
                          const auto found = m_viewPages.find(id);
                          if (found == m_viewPages.end()) {
                            response.status = 404;
                            return;
                          }
                          response.set_content(found->second, "text/html");
                        });
    m_site.server().Get(R"(/detail/(\w+)\.html)",
                        [this](const httplib::Request& request, httplib::Response& response) {
                          const std::lock_guard lock(m_mutex);
                          response.set_content(m_detailPages.at(request.matches[1]), "text/html");
                        });
    m_site.start();
  }

  // A resource with a StpLink whose detail page is the given body.
  void addResource(const std::string& id, const std::string& name, const std::string& detailPage) {
    addResourceWithoutLink(id, name, "[Ctrol]\nStpLink=stp://" + id + "\n");
    const std::lock_guard lock(m_mutex);
    m_viewPages[id] =
        R"({"linkHistroy":[")" + m_site.address("/detail/" + id + ".html") + R"("],"histroyIndex":0})";
    m_detailPages[id] = detailPage;
  }

  void addResourceWithoutLink(const std::string& id, const std::string& name, const std::string& ini = "") {
    m_cache.writeFile("CloudCache/" + id + "/Resource.ini", "[Info]\nResourceName=x\n" + ini);
    m_resources.push_back({name, id, static_cast<int>(m_resources.size()) + 1});
  }

  void setViewPage(const std::string& id, const std::string& page) {
    const std::lock_guard lock(m_mutex);
    m_viewPages[id] = page;
  }

  void removeViewPage(const std::string& id) {
    const std::lock_guard lock(m_mutex);
    m_viewPages.erase(id);
  }

  void setDetailPage(const std::string& id, const std::string& page) {
    const std::lock_guard lock(m_mutex);
    m_detailPages[id] = page;
  }

  void mark(const std::string& id, const std::string& value) {
    platform::IniFile(whiteListFile()).writeString("unvercheck", id, value);
  }

  std::string whiteListFile() const { return m_cache.path("wb.lst"); }

  std::size_t runCheck(RecordingSink& sink) {
    const UpdateCheckInput input{m_resources, m_cache.path("CloudCache"), whiteListFile(), m_site.host()};
    return checkForUpdates(input, m_http, sink);
  }

  std::vector<UpdateRow> listedRows() {
    RecordingSink sink;
    runCheck(sink);
    return sink.rows;
  }

  std::vector<std::string> viewRequests() {
    const std::lock_guard lock(m_mutex);
    return m_viewRequests;
  }

  int imageIndexOf(const std::string& id) const {
    for (const auto& resource : m_resources) {
      if (resource.resourceId == id)
        return resource.imageIndex;
    }
    return -1;
  }

  UpdateRow row(const std::string& id, const std::string& name, const std::string& latest,
                const std::string& date) {
    return {name, latest, date, id, imageIndexOf(id)};
  }

  test::TempDir m_cache;
  test::LocalSite m_site;
  PageFetcher m_http;
  std::vector<ListedResource> m_resources;
  std::mutex m_mutex;
  std::map<std::string, std::string> m_viewPages;
  std::map<std::string, std::string> m_detailPages;
  std::vector<std::string> m_viewRequests;
};

std::string detail(const std::string& title, const std::string& summary = "") {
  return "<html><body><h1>" + title + "</h1><p>" + summary + "</p></body></html>";
}

std::string summary(const std::string& pieces) {
  return R"(<span class="sum">)" + pieces + "发布</span>";
}

TEST_F(UpdateCheckTest, ListsResourcesWhoseTitleDiffersFromTheName) {
  addResource("101", "示例游戏", detail("示例游戏"));
  addResource("102", "示例游戏", detail("示例游戏|官方版|2.0"));
  addResource("103", "示例游戏", detail("示例&nbsp;游戏&nbsp;"));
  addResource("104", "示例游戏",
              detail("示例游戏 ", summary("大小：1MB|类型：游戏|语言：中文| 2024-05-01 ")));
  addResource("105", "Game", detail("Game&nbsp;2.0|x", summary("a|b|c")));
  addResource("106", "Game", detail("Game 2.1", summary("a|b|c|2024-06-0&nbsp;1|extra")));
  addResource("107", "Game", "<html>no title</html>");
  addResource("108", "Game", "<h1>Game 2.0");
  addResource("109", "Game", "<h1>\xD6\xD0\xCE\xC4</h1>");
  addResourceWithoutLink("110", "Game");
  addResourceWithoutLink("111", "Game", "[Ctrol]\nStpLink=\n");

  const std::vector<UpdateRow> expected{row("104", "示例游戏", "示例游戏 ", " 2024-05-01 "),
                                        row("105", "Game", "Game2.0", "已失效"),
                                        row("106", "Game", "Game 2.1", "2024-06-01")};
  RecordingSink sink;
  EXPECT_EQ(runCheck(sink), expected.size());
  EXPECT_EQ(sink.rows, expected);
  EXPECT_EQ(sink.clears, 1);
  EXPECT_EQ(sink.statuses, (std::vector<std::string>{kReading, "您有 3 款软件需要更新"}));
  EXPECT_EQ(viewRequests().size(), 9u) << "resources without StpLink must not be fetched";
}

TEST_F(UpdateCheckTest, MarksSilenceOneVersionOrEveryVersion) {
  addResource("201", "Game", detail("Game 2.0"));
  addResource("202", "Game", detail("Game 2.0"));
  addResource("203", "Game", detail("Game 2.0"));
  addResource("204", "Game", "<html>no title</html>");
  addResource("205", "Game", "<html>no title</html>");
  mark("201", "Game 2.0");
  mark("202", "Game 1.0");
  mark("203", "1");
  mark("204", "0.9");

  EXPECT_EQ(listedRows(), (std::vector<UpdateRow>{row("202", "Game", "Game 2.0", "已失效"),
                                                  row("204", "Game", "", "已失效")}));
}

TEST_F(UpdateCheckTest, ViewPageWithoutLinkReadsAsPageWithoutTitle) {
  addResource("301", "Game", detail("Game 2.0"));
  addResource("302", "Game", detail("Game 2.0"));
  setViewPage("301", "<html>gone</html>");
  setViewPage("302", "<html>gone</html>");
  mark("302", "Game 1.0");

  EXPECT_EQ(listedRows(), (std::vector<UpdateRow>{row("302", "Game", "", "已失效")}));
}

TEST_F(UpdateCheckTest, FailedFetchEndsTheCheckKeepingEarlierRows) {
  addResource("401", "Game", detail("Game 2.0"));
  addResource("402", "Game", detail("Game 2.0"));
  addResource("403", "Game", detail("Game 2.0"));
  removeViewPage("402");

  RecordingSink sink;
  EXPECT_THROW(runCheck(sink), FetchError);
  EXPECT_EQ(sink.rows, (std::vector<UpdateRow>{row("401", "Game", "Game 2.0", "已失效")}));
  EXPECT_EQ(sink.statuses, (std::vector<std::string>{kReading}));
  EXPECT_EQ(viewRequests(), (std::vector<std::string>{"401", "402"}));
}

TEST_F(UpdateCheckTest, NoResourcesGiveCountZero) {
  RecordingSink sink;
  EXPECT_EQ(runCheck(sink), 0u);
  EXPECT_TRUE(sink.rows.empty());
  EXPECT_EQ(sink.statuses, (std::vector<std::string>{kReading, "您有 0 款软件需要更新"}));
  EXPECT_TRUE(viewRequests().empty());
}

TEST_F(UpdateCheckTest, SilencedVersionReturnsOnlyWhenTheSiteMovesOn) {
  addResource("501", "Game", detail("Game 2.0"));
  addResource("502", "Game", "<html>no title</html>");
  mark("502", "0.9");
  ASSERT_EQ(listedRows().size(), 2u);

  silenceVersion(whiteListFile(), "501", "Game 2.0");
  silenceVersion(whiteListFile(), "502", "");
  const platform::IniFile whiteList(whiteListFile());
  EXPECT_EQ(whiteList.readString("unvercheck", "501", ""), "Game 2.0");
  EXPECT_EQ(whiteList.readString("unvercheck", "502", ""), "1");
  EXPECT_TRUE(listedRows().empty());

  setDetailPage("501", detail("Game 3.0"));
  setDetailPage("502", detail("Game 3.0"));
  EXPECT_EQ(listedRows(), (std::vector<UpdateRow>{row("501", "Game", "Game 3.0", "已失效")}));
}

// Texts wb.lst cannot give back as they are: characters GBK lacks, blanks and line breaks at the
// ends, enclosing quotes, more than a value holds. Each stays silenced once silenced.
TEST_F(UpdateCheckTest, AwkwardVersionTextsStaySilenced) {
  const std::vector<std::string> versions = {
      "Game™ 2.0", "€ 3",   "2.0\u00A0", "\n  Game 2.0 \r\n",
      "\"2.0\"",   "' x '", "A\nB",      std::string(3000, 'v') + "\u00A0"};
  for (size_t i = 0; i < versions.size(); ++i)
    addResource(std::to_string(700 + i), "Game", detail(versions[i]));
  const std::vector<UpdateRow> offered = listedRows();
  ASSERT_EQ(offered.size(), versions.size());

  for (const UpdateRow& row : offered)
    silenceVersion(whiteListFile(), row.resourceId, row.latestVersion);
  EXPECT_TRUE(listedRows().empty());
  const std::string kept = platform::IniFile(whiteListFile()).readString("unvercheck", "707", "");
  EXPECT_EQ(kept, std::string(kMaxSilencedCharacters, 'v'));
}

TEST_F(UpdateCheckTest, AResourceIdIsPercentEncodedInTheAddress) {
  // The resource ID is a folder name, and Windows allows no "?" in one.
#ifdef _WIN32
  const std::string id = "6 0#1&%";
#else
  const std::string id = "6 0#1?%";
#endif
  addResourceWithoutLink(id, "Game", "[Ctrol]\nStpLink=stp://601\n");
  setViewPage(id, R"({"linkHistroy":[")" + m_site.address("/detail/601.html") + R"("],"histroyIndex":0})");
  setDetailPage("601", detail("Game 2.0"));

  EXPECT_EQ(listedRows(), (std::vector<UpdateRow>{row(id, "Game", "Game 2.0", "已失效")}));
  EXPECT_EQ(viewRequests(), (std::vector<std::string>{id}));
}

TEST(DownloadLinkTest, JoinsThePiecesAsTheyStand) {
  EXPECT_EQ(downloadLink("12345", "2.0"), "stp://12345/name=2.0&op=1");
  EXPECT_EQ(downloadLink("12345", ""), "stp://12345/name=&op=1");
  EXPECT_EQ(downloadLink("7", "示例 2.0"), "stp://7/name=示例 2.0&op=1");
}

}  // namespace
}  // namespace qinglan
