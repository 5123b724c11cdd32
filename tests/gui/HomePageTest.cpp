#include <memory>
#include <optional>
#include <string>

#include <QApplication>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "GuiTestSupport.h"
#include "gui/HomePage.h"
#include "gui/frmmain.h"
#include "support/ScopedEnv.h"
#include "web/LocalSite.h"

namespace qinglan::test {

using platform::DriveKind;

namespace {

constexpr int kLoadWaitMs = 60'000;
constexpr const char* kSandboxVariable = "QTWEBENGINE_DISABLE_SANDBOX";
bool sandboxVariableSetBeforeStart = false;

// A page taller than the browser, so that it would scroll.
const char* const kAdvertisementPage =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head>"
    "<body style=\"border: 3px solid red\"><h2>晴岚清扫助手</h2><div style=\"height: "
    "3000px\"></div></body></html>";
// A document without a body whose root element does have a style.
const char* const kSvgDocument =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"100\"><rect width=\"50\" "
    "height=\"50\"/></svg>";

// The three properties as the top-level document holds them, "|"-separated.
const char* const kReadProperties =
    "[document.body ? document.body.getAttribute('scroll') : 'no body',"
    " document.body ? document.body.style.borderStyle : 'no body',"
    " document.documentElement.style.overflow].join('|')";

}  // namespace

class HomePageTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<gui::TForm1> makeForm() {
    const std::string cache = m_machine->makeCache(m_machine->addVolume("c", DriveKind::Fixed));
    m_machine->addNamedResource(cache, "1001", "星海战记");
    gui::FormEnvironment environment = m_machine->environment();
    environment.homePageBrowser = true;
    return std::make_unique<gui::TForm1>(environment);
  }

  // The value of a script run beside the page (page scripts are off as root), or an empty string
  // when the page never answers.
  static QString evaluate(QWebEngineView* browser, const QString& script) {
    const auto result = std::make_shared<std::optional<QString>>();
    browser->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                   [result](const QVariant& value) { *result = value.toString(); });
    if (!QTest::qWaitFor([&result] { return result->has_value(); }, kLoadWaitMs))
      return QString();
    return **result;
  }

 private slots:
  void initTestCase() {
    m_site.server().Get("/Ad/Ads.html", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(kAdvertisementPage, "text/html; charset=utf-8");
    });
    m_site.server().Get("/picture.svg", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(kSvgDocument, "image/svg+xml");
    });
    m_site.start();
  }
  void init() {
    m_boxes = std::make_unique<ScriptedMessageBoxes>();
    m_machine = std::make_unique<SampleMachine>();
  }
  void cleanup() {
    m_machine.reset();
    m_boxes.reset();
  }

  void startUpShowsTheAdvertisementPageWithoutScrollBarsOrBorder() {
    const ScopedEnv home("QINGLAN_HOME_HOST", m_site.host());
    const auto form = makeForm();
    QWebEngineView* browser = form->homePage()->browser();
    QVERIFY(browser != nullptr);
    QCOMPARE(form->homePage()->WebBrowser1(), browser);
    QSignalSpy set(form->homePage(), &gui::HomePage::documentPropertiesSet);

    QVERIFY(set.wait(kLoadWaitMs));
    QCOMPARE(set.front().front().toInt(), 3);
    QCOMPARE(browser->url().toString(), QString::fromStdString(m_site.address("/Ad/Ads.html")));
    QCOMPARE(evaluate(browser, QString::fromUtf8(kReadProperties)), QStringLiteral("no|none|hidden"));
    QVERIFY(m_boxes->shown.isEmpty());

    // Every completion sets them again on the document shown, whatever changed them meanwhile.
    evaluate(
        browser,
        QStringLiteral("document.body.removeAttribute('scroll'); document.body.style.borderStyle = 'dotted';"
                       " document.documentElement.style.overflow = 'auto'; 'reset'"));
    form->WebBrowser1DocumentComplete();
    QVERIFY(set.wait(kLoadWaitMs));
    QCOMPARE(evaluate(browser, QString::fromUtf8(kReadProperties)), QStringLiteral("no|none|hidden"));
  }

  void aDocumentWithoutBodyEndsTheStepsAtTheFirst() {
    const ScopedEnv home("QINGLAN_HOME_HOST", m_site.host());
    const auto form = makeForm();
    QWebEngineView* browser = form->homePage()->browser();
    QSignalSpy set(form->homePage(), &gui::HomePage::documentPropertiesSet);
    QVERIFY(set.wait(kLoadWaitMs));
    set.clear();

    browser->load(QUrl(QString::fromStdString(m_site.address("/picture.svg"))));
    QVERIFY(set.wait(kLoadWaitMs));
    QCOMPARE(set.front().front().toInt(), 0);
    QCOMPARE(evaluate(browser, QString::fromUtf8(kReadProperties)), QStringLiteral("no body|no body|"));
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void anUnreachableHomeSiteIsNotReported() {
    QTcpServer gone;
    QVERIFY(gone.listen(QHostAddress::LocalHost));
    const std::string closedHost = "127.0.0.1:" + std::to_string(gone.serverPort());
    gone.close();
    const ScopedEnv home("QINGLAN_HOME_HOST", closedHost);
    const auto form = makeForm();
    QSignalSpy completed(form->homePage(), &gui::HomePage::documentComplete);

    QVERIFY(completed.wait(kLoadWaitMs));
    QVERIFY(!form->terminationRequested());
    QCOMPARE(form->ListView2()->rows()->count(), 1);
    QVERIFY(m_boxes->shown.isEmpty());
    // The program's own page says why, in Chinese, and offers a retry that needs no script.
    const auto html = std::make_shared<QString>();
    QVERIFY(QTest::qWaitFor(
        [&] {
          form->homePage()->browser()->page()->toHtml([html](const QString& shown) { *html = shown; });
          return html->contains(QStringLiteral("无法打开主页"));
        },
        kLoadWaitMs));
    QVERIFY(html->contains(QStringLiteral("连接被拒绝")));
    QVERIFY(html->contains(QStringLiteral(">重试</a>")));
    QVERIFY(html->contains(QString::fromStdString(closedHost)));
  }

  void altLeftGoesBackAndTheSandboxVariableIsGone() {
    const ScopedEnv home("QINGLAN_HOME_HOST", m_site.host());
    const auto form = makeForm();
    QWebEngineView* browser = form->homePage()->browser();
    QSignalSpy completed(form->homePage(), &gui::HomePage::documentComplete);
    QVERIFY(completed.wait(kLoadWaitMs));
    const QUrl first = browser->url();
    form->homePage()->Navigate(QString::fromStdString(m_site.address("/picture.svg")));
    QVERIFY(completed.wait(kLoadWaitMs));
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));

    browser->setFocus();
    QTest::keyClick(form->windowHandle(), Qt::Key_Left, Qt::AltModifier);
    QTRY_COMPARE_WITH_TIMEOUT(browser->url(), first, kLoadWaitMs);
    // Whatever the program set for the engine is not left for the programs it starts.
    QCOMPARE(qEnvironmentVariableIsSet(kSandboxVariable), sandboxVariableSetBeforeStart);
  }

 private:
  LocalSite m_site;
  std::unique_ptr<ScriptedMessageBoxes> m_boxes;
  std::unique_ptr<SampleMachine> m_machine;
};

}  // namespace qinglan::test

// The browser engine is set up before the application object, as the program does.
int main(int argc, char** argv) {
  qinglan::test::sandboxVariableSetBeforeStart = qEnvironmentVariableIsSet(qinglan::test::kSandboxVariable);
  qinglan::gui::prepareWebEngine();
  QApplication app(argc, argv);
  qinglan::test::HomePageTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "HomePageTest.moc"
