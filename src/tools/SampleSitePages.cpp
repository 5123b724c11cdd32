#include "tools/SampleSitePages.h"

#include <map>

namespace qinglan::tools {
namespace {

struct SiteEntry {
  std::string title;    // the full <h1> text: the latest version, "|", more
  std::string summary;  // the summary pieces before "发布"
  std::string description;
};

// Half of the sample cache has newer versions; the rest carry the installed name as title, so the
// update check lists exactly 10023, 10115, 10240, 10517 and 10731.
const std::map<std::string, SiteEntry>& catalog() {
  static const std::map<std::string, SiteEntry> entries{
      {"10023",
       {"星海战记 2.0|云端官方版", "大小：1.2GB|类型：即时战略|语言：简体中文|2024-03-15&nbsp;",
        "全新的银河战役与三个种族的平衡调整。"}},
      {"10087",
       {"幻剑奇缘|云端官方版", "大小：2.4GB|类型：角色扮演|语言：简体中文|2023-11-02&nbsp;",
        "仙侠世界的经典之作。"}},
      {"10115",
       {"极速狂飙3 加强版|云端官方版", "大小：3.1GB|类型：赛车竞速|语言：简体中文|2024-01-20&nbsp;",
        "新增十二条赛道与夜间模式。"}},
      {"10240",
       {"足球经理2013|云端官方版", "大小：800MB|类型：体育经营|语言：简体中文|2024-02-08&nbsp;",
        "新赛季球员数据库与转会系统。"}},
      {"10388",
       {"水墨三国|云端官方版", "大小：1.5GB|类型：策略|语言：简体中文|2022-09-30&nbsp;",
        "水墨画风的三国策略游戏。"}},
      {"10402",
       {"像素农场|云端官方版", "大小：300MB|类型：模拟经营|语言：简体中文|2023-06-18&nbsp;",
        "种田、养殖与小镇生活。"}},
      {"10517",
       {"云端音乐盒 5.1|云端官方版", "大小：45MB|类型：音乐播放|语言：简体中文|2024-04-01&nbsp;",
        "支持无损格式与歌词同步。"}},
      {"10666",
       {"迷宫探险家|云端官方版", "大小：600MB|类型：冒险解谜|语言：简体中文|2023-08-12&nbsp;",
        "一百层随机迷宫。"}},
      // A summary with too few pieces: the check shows "已失效" as the date.
      {"10731", {"电子词典 2024版|云端官方版", "大小：120MB|类型：学习工具&nbsp;", "收录三十万词条。"}},
      {"10805",
       {"围棋大师|云端官方版", "大小：90MB|类型：棋牌|语言：简体中文|2021-12-24&nbsp;",
        "人机对弈与棋谱研究。"}},
  };
  return entries;
}

std::string htmlPage(const std::string& title, const std::string& body) {
  return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title +
         "</title></head>\n<body>\n" + body + "\n</body></html>\n";
}

}  // namespace

std::string viewPage(const std::string& resourceId, const std::string& siteAddress) {
  if (!catalog().contains(resourceId)) {
    return htmlPage("资源不存在", "<p>资源 " + resourceId + " 不存在或已下架。</p>");
  }
  const std::string detail = siteAddress + "/d/detail/" + resourceId + ".html";
  return htmlPage("资源浏览",
                  "<div id=\"view\">正在打开资源页面……</div>\n<script>var viewState = {\"resId\":\"" +
                      resourceId + "\",\"linkHistroy\":[\"" + detail + "\"],\"histroyIndex\":0};</script>");
}

std::optional<std::string> detailPage(const std::string& resourceId) {
  const auto found = catalog().find(resourceId);
  if (found == catalog().end())
    return std::nullopt;
  const SiteEntry& entry = found->second;
  return htmlPage(entry.title, "<div class=\"detail\">\n<h1>" + entry.title +
                                   "</h1>\n<p><span class=\"sum\">" + entry.summary + "发布</span></p>\n<p>" +
                                   entry.description + "</p>\n</div>");
}

std::string advertisementPage(const std::string& siteAddress) {
  return htmlPage("晴岚清扫助手", R"(<style>
  body { margin: 0; font-family: "WenQuanYi Micro Hei", sans-serif; background: #eef4fb; color: #234; }
  .banner { height: 150px; background: linear-gradient(120deg, #2f6fb5, #59a7e0); color: #fff; padding: 24px 32px; }
  .banner h2 { margin: 0 0 10px; font-size: 30px; }
  .banner p { margin: 0; font-size: 15px; }
  .news { padding: 16px 32px; }
  .news h3 { margin: 0 0 8px; font-size: 16px; color: #2f6fb5; }
  .news li { margin: 6px 0; font-size: 14px; }
  .tall { height: 900px; }
</style>
<div class="banner"><h2>晴岚清扫助手</h2><p>清理云端缓存，释放磁盘空间，让游戏与软件运行更流畅。</p></div>
<div class="news"><h3>最新动态</h3><ul>
  <li>星海战记 2.0 已在云端上线</li>
  <li>极速狂飙3 加强版新增十二条赛道</li>
  <li>足球经理2013 球员数据库更新</li>
  <li><a href=")" + siteAddress +
                                      R"(/freeView.aspx?id=510">访问主页检查更新</a></li>
</ul></div>
<div class="tall"></div>)");
}

std::string programPage() {
  return htmlPage(
      "晴岚清扫助手 主页",
      "<h1>晴岚清扫助手</h1>\n<p>当前版本 2.0，云端缓存清理、大文件扫描、软件缓存扫描与资源更新检查。</p>");
}

std::string indexPage() {
  std::string links;
  for (const auto& [id, entry] : catalog()) {
    links += "<li><a href=\"/d/sltview/" + id + "\">" + id + "</a> " + entry.title + "</li>\n";
  }
  return htmlPage("样例站点",
                  "<h1>样例站点</h1>\n<ul>\n<li><a href=\"/Ad/Ads.html\">/Ad/Ads.html</a></li>\n"
                  "<li><a href=\"/freeView.aspx?id=510\">/freeView.aspx?id=510</a></li>\n" +
                      links + "</ul>");
}

}  // namespace qinglan::tools
