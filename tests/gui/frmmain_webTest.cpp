#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "gui/frmmain.h"
#include "platform/IniFile.h"
#include "support/ScopedEnv.h"
#include "web/LocalSite.h"

namespace qinglan::test {

using platform::DriveKind;

namespace {

const char* const kReading = "正在读取更新数据。。。。";

std::string detailPage(const std::string& title, const std::string& summary) {
  return "<html><body><h1>" + title + "</h1><p><span class=\"sum\">" + summary +
         "发布</span></p></body></html>";
}

// The update site: a view page per known resource pointing at its detail page. Every request is
// logged with the cookies it carried; the view page sets a cookie. A resource may answer with an
// error status, or hold its view page until released.
class UpdateSite {
 public:
  UpdateSite() {
    m_site.server().Get(
        R"(/d/sltview/(\w+))", [this](const httplib::Request& request, httplib::Response& response) {
          const std::string id = request.matches[1];
          log(request);
          if (id == m_heldId)
            waitForRelease();
          const std::lock_guard lock(m_mutex);
          if (const auto status = m_statuses.find(id); status != m_statuses.end()) {
            response.status = status->second;
            return;
          }
          response.set_header("Set-Cookie", "visitor=" + id + "; Path=/");
          response.set_content(
              R"({"linkHistroy":[")" + m_site.address("/detail/" + id + ".html") + R"("],"histroyIndex":0})",
              "text/html");
        });
    m_site.server().Get(R"(/detail/(\w+)\.html)",
                        [this](const httplib::Request& request, httplib::Response& response) {
                          log(request);
                          const std::lock_guard lock(m_mutex);
                          response.set_content(m_detailPages[request.matches[1]], "text/html");
                        });
    m_site.start();
  }
  ~UpdateSite() { release(); }

  std::string host() const { return m_site.host(); }

  void setDetailPage(const std::string& id, const std::string& page) {
    const std::lock_guard lock(m_mutex);
    m_detailPages[id] = page;
  }
  void failWith(const std::string& id, int status) {
    const std::lock_guard lock(m_mutex);
    m_statuses[id] = status;
  }
  // The view page of id answers only once release() is called.
  void hold(const std::string& id) { m_heldId = id; }
  void release() { m_released = true; }

  std::vector<std::string> paths() {
    const std::lock_guard lock(m_mutex);
    return m_paths;
  }
  std::vector<std::string> cookies() {
    const std::lock_guard lock(m_mutex);
    return m_cookies;
  }

 private:
  void log(const httplib::Request& request) {
    const std::lock_guard lock(m_mutex);
    m_paths.push_back(request.path);
    m_cookies.push_back(request.get_header_value("Cookie"));
  }
  void waitForRelease() const {
    for (int waited = 0; !m_released && waited < 3000; ++waited)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

  std::mutex m_mutex;
  std::map<std::string, std::string> m_detailPages;
  std::map<std::string, int> m_statuses;
  std::vector<std::string> m_paths;
  std::vector<std::string> m_cookies;
  std::string m_heldId;
  std::atomic<bool> m_released = false;
  LocalSite m_site;
};

}  // namespace

class frmmain_webTest : public QObject {
  Q_OBJECT

 private:
  // A resource in the cache whose Resource.ini names it and carries a StpLink.
  std::string addLinkedResource(const std::string& id, const std::string& name) {
    return m_machine->addResource(
        m_cache, id, "[Info]\r\nResourceName=" + name + "\r\n[Ctrol]\r\nStpLink=stp://" + id + "\r\n");
  }

  std::unique_ptr<gui::TForm1> makeForm() {
    auto form = std::make_unique<gui::TForm1>(m_machine->environment());
    form->bsSkinPageControl1()->setCurrentWidget(form->updatePage());
    return form;
  }

  static void check(gui::TForm1& form) { form.updatePage()->bsSkinButton11()->click(); }
  static QString status(const gui::TForm1& form) { return form.updatePage()->Label12()->text(); }

  std::string unvercheck(const std::string& id) const {
    return platform::IniFile(m_machine->wbLst()).readString("unvercheck", id, "<none>");
  }

 private slots:
  void init() {
    m_boxes = std::make_unique<ScriptedMessageBoxes>();
    m_site = std::make_unique<UpdateSite>();
    m_siteHost = std::make_unique<ScopedEnv>("QINGLAN_UPDATE_HOST", m_site->host());
    m_machine = std::make_unique<SampleMachine>();
    m_cache = m_machine->makeCache(m_machine->addVolume("c", DriveKind::Fixed));
  }
  void cleanup() {
    m_site.reset();
    m_siteHost.reset();
    m_machine.reset();
    m_boxes.reset();
  }

  void listsEveryResourceWithANewerVersionWhileThePagesAreLocked() {
    m_machine->writeIcon(addLinkedResource("1001", "星海战记"));
    m_site->setDetailPage("1001", detailPage("星海战记 2.0|官方版", "大小|类型|语言|2024-03-15"));
    addLinkedResource("1002", "幻剑奇缘");
    m_site->setDetailPage("1002", detailPage("幻剑奇缘|官方版", "大小|类型|语言|2023-11-02"));
    m_machine->addNamedResource(m_cache, "1003", "足球经理");
    m_machine->writeIcon(addLinkedResource("1004", "电子词典"));
    m_site->setDetailPage("1004", detailPage("电子词典 2024版", "大小|类型"));
    auto form = makeForm();
    form->ListView2()->rows()->setChecked(3, false);

    bool lockedWhileRunning = false;
    QString statusWhileRunning;
    QTimer::singleShot(0, form.get(), [&] {
      lockedWhileRunning =
          !form->bsSkinPageControl1()->isEnabled() && !form->updatePage()->bsSkinButton11()->isEnabled();
      statusWhileRunning = status(*form);
    });
    check(*form);

    QVERIFY(lockedWhileRunning);
    QCOMPARE(statusWhileRunning, QString::fromUtf8(kReading));
    const gui::ListView* list = form->ListView4();
    QCOMPARE(columnTexts(list, 0), strings({"星海战记", "电子词典"}));
    QCOMPARE(columnTexts(list, 1), strings({"星海战记 2.0", "电子词典 2024版"}));
    QCOMPARE(columnTexts(list, 2), strings({"2024-03-15", "已失效"}));
    QCOMPARE(columnTexts(list, 3), strings({"1001", "1004"}));
    QCOMPARE(list->rows()->row(0).imageIndex, form->ListView2()->rows()->row(0).imageIndex);
    QCOMPARE(list->rows()->row(1).imageIndex, form->ListView2()->rows()->row(3).imageIndex);
    QVERIFY(list->rows()->row(1).imageIndex > 0);
    QVERIFY(!list->rows()->isChecked(0) && !list->rows()->isChecked(1));
    QCOMPARE(status(*form), QStringLiteral("您有 2 款软件需要更新"));
    QVERIFY(form->bsSkinPageControl1()->isEnabled());
    QVERIFY(form->updatePage()->bsSkinButton11()->isEnabled());
    QVERIFY(m_boxes->shown.isEmpty());
    for (const std::string& path : m_site->paths())
      QVERIFY(path.find("1003") == std::string::npos);
  }

  void aSecondCheckReplacesTheRowsAndCarriesTheCookiesOfTheFirst() {
    addLinkedResource("1001", "星海战记");
    m_site->setDetailPage("1001", detailPage("星海战记 2.0", ""));
    auto form = makeForm();

    check(*form);
    check(*form);

    QCOMPARE(columnTexts(form->ListView4(), 3), strings({"1001"}));
    const std::vector<std::string> cookies = m_site->cookies();
    QCOMPARE(cookies.size(), std::size_t{4});
    QCOMPARE(cookies[0], std::string());
    QCOMPARE(cookies[2], std::string("visitor=1001"));
  }

  void aFailedFetchEndsTheCheckKeepingTheRowsListedSoFar() {
    addLinkedResource("1001", "星海战记");
    m_site->setDetailPage("1001", detailPage("星海战记 2.0", ""));
    addLinkedResource("1002", "幻剑奇缘");
    m_site->failWith("1002", 404);
    addLinkedResource("1003", "足球经理");
    m_site->setDetailPage("1003", detailPage("足球经理2013", ""));
    auto form = makeForm();

    check(*form);

    QCOMPARE(columnTexts(form->ListView4(), 3), strings({"1001"}));
    QCOMPARE(status(*form), QStringLiteral("检查更新失败"));
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown[0].kind, QStringLiteral("error"));
    QCOMPARE(m_boxes->shown[0].title, QStringLiteral("晴岚清扫助手"));
    QCOMPARE(m_boxes->shown[0].text, QStringLiteral("更新服务器没有给出更新数据：服务器返回 404"));
    QVERIFY2(m_boxes->shown[0].detail.contains(QStringLiteral("404")), qPrintable(m_boxes->shown[0].detail));
    QVERIFY(form->bsSkinPageControl1()->isEnabled());
    QVERIFY(form->updatePage()->bsSkinButton11()->isEnabled());
    // The rows of an unfinished check were never all counted: silencing one keeps the failure.
    form->ListView4()->selectRow(0);
    form->N11()->trigger();
    QCOMPARE(status(*form), QStringLiteral("检查更新失败"));
    for (const std::string& path : m_site->paths())
      QVERIFY(path.find("1003") == std::string::npos);
  }

  // The window keeps handling events while a fetch waits, so closing it ends the check at once.
  void closingWhileAFetchWaitsEndsTheCheckThenTheWindow() {
    addLinkedResource("1001", "星海战记");
    m_site->setDetailPage("1001", detailPage("星海战记 2.0", ""));
    m_site->hold("1001");
    auto form = makeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));

    QTimer::singleShot(50, form.get(), [&form] { form->close(); });
    check(*form);
    m_site->release();

    QVERIFY(!form->isVisible());
    QCOMPARE(m_site->paths(), std::vector<std::string>{"/d/sltview/1001"});
    QVERIFY(m_boxes->shown.isEmpty());
    QVERIFY(form->bsSkinPageControl1()->isEnabled());
  }

  void copiesTheSelectedRowsDownloadLink() {
    addLinkedResource("1001", "星海战记");
    m_site->setDetailPage("1001", detailPage("星海战记 2.0|官方版", ""));
    auto form = makeForm();
    check(*form);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));

    form->MenuItem4()->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    QVERIFY(m_boxes->shown.isEmpty());

    form->ListView4()->selectRow(0);
    form->MenuItem4()->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("stp://1001/name=星海战记 2.0&op=1"));
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown[0].kind, QStringLiteral("information"));
    QVERIFY(m_boxes->shown[0].parent == nullptr);
    QCOMPARE(m_boxes->shown[0].title, QStringLiteral("提示"));
    QCOMPARE(m_boxes->shown[0].text, QStringLiteral("已成功复制到剪切板,请复制到IE地址栏或下载工具中下载。"));
  }

  void silencingWritesTheVersionAndRemovesTheRow() {
    addLinkedResource("1001", "星海战记");
    m_site->setDetailPage("1001", detailPage("星海战记 2.0", ""));
    // No title: listed with an empty version only because it carries a mark other than "1".
    addLinkedResource("1002", "幻剑奇缘");
    m_site->setDetailPage("1002", "<html><body>维护中</body></html>");
    m_machine->writeWbLst("[White]\r\n1009=1\r\n[unvercheck]\r\n1002=0.9\r\n");
    auto form = makeForm();
    check(*form);
    QCOMPARE(columnTexts(form->ListView4(), 1), strings({"星海战记 2.0", ""}));

    form->N11()->trigger();
    QCOMPARE(form->ListView4()->rows()->count(), 2);

    form->ListView4()->selectRow(0);
    form->N11()->trigger();
    QCOMPARE(columnTexts(form->ListView4(), 3), strings({"1002"}));
    QCOMPARE(unvercheck("1001"), std::string("星海战记 2.0"));
    QCOMPARE(status(*form), QStringLiteral("您有 1 款软件需要更新"));

    form->ListView4()->selectRow(0);
    form->N11()->trigger();
    QCOMPARE(form->ListView4()->rows()->count(), 0);
    QCOMPARE(status(*form), QStringLiteral("您有 0 款软件需要更新"));
    QCOMPARE(unvercheck("1002"), std::string("1"));
    QCOMPARE(platform::IniFile(m_machine->wbLst()).readString("White", "1009", ""), std::string("1"));

    check(*form);
    QCOMPARE(form->ListView4()->rows()->count(), 0);
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void theHomeLinkOpensTheProgramsPageInTheDefaultBrowser() {
    RecordingShell shell;
    const ScopedEnv home("QINGLAN_HOME_HOST", std::string("home.test:8080"));
    auto form = makeForm();
    form->bsSkinPageControl1()->setCurrentWidget(form->basicScanPage());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));

    QTest::mouseClick(form->basicScanPage()->Label13(), Qt::LeftButton);
    const QString address = QStringLiteral("http://home.test:8080/freeView.aspx?id=510");
    QCOMPARE(shell.calls, QStringList{QStringLiteral("url ") + address});
    QCOMPARE(form->bsSkinPageControl1()->currentWidget(), form->basicScanPage());
    QVERIFY(m_boxes->shown.isEmpty());

    // Tab reaches the link and Enter follows it; without a browser a box says so.
    shell.urlsOpen = false;
    form->basicScanPage()->Label13()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->windowHandle(), Qt::Key_Return);
    QCOMPARE(shell.calls.size(), 2);
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown[0].text, QStringLiteral("没有找到可以打开网页的浏览器，请手动访问 ") + address);
  }

 private:
  std::unique_ptr<ScriptedMessageBoxes> m_boxes;
  std::unique_ptr<UpdateSite> m_site;
  std::unique_ptr<ScopedEnv> m_siteHost;
  std::unique_ptr<SampleMachine> m_machine;
  std::string m_cache;
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::frmmain_webTest)
#include "frmmain_webTest.moc"
