#include "gui/HomePage.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QLocale>
#include <QPalette>
#include <QPointer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "gui/HomePageFailure.h"

#include "platform/Privileges.h"

namespace qinglan::gui {

namespace {

constexpr const char* kSandboxVariable = "QTWEBENGINE_DISABLE_SANDBOX";

// Every step throws when its object is missing, which skips the later ones; the result counts the
// steps that completed. The body's scroll attribute is the one that hid its scroll bars in older
// engines; the root element's overflow does it in current ones.
const char* const kDocumentPropertiesScript = R"((() => {
  let completed = 0;
  try {
    document.body.setAttribute("scroll", "no");
    ++completed;
    document.body.style.borderStyle = "none";
    ++completed;
    document.documentElement.style.overflow = "hidden";
    ++completed;
  } catch (e) {
  }
  return completed;
})())";

QWidget* blankArea(QWidget* parent) {
  auto* area = new QWidget(parent);
  area->setAutoFillBackground(true);
  QPalette blank = area->palette();
  blank.setColor(QPalette::Window, Qt::white);
  area->setPalette(blank);
  return area;
}

bool sandboxVariableSetHere = false;

// The engine reads the variable once, as it starts; browsers and file managers started later must
// not inherit it.
void forgetSandboxVariable() {
  if (sandboxVariableSetHere)
    qunsetenv(kSandboxVariable);
  sandboxVariableSetHere = false;
}

}  // namespace

void prepareWebEngine() {
  if (QCoreApplication::instance() == nullptr)
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // The engine's own pages (errors included) follow the default locale as it starts.
  QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China));
  if (platform::runsAsSuperuser() && !qEnvironmentVariableIsSet(kSandboxVariable)) {
    qputenv(kSandboxVariable, "1");
    sandboxVariableSetHere = true;
  }
}

HomePage::HomePage(bool withBrowser, QWidget* parent) : QWidget(parent) {
  if (withBrowser) {
    prepareWebEngine();
    m_browser = new QWebEngineView(this);
    m_webBrowser1 = m_browser;
    // The engine starts with the view's page.
    m_browser->page()->profile()->setHttpAcceptLanguage(QStringLiteral("zh-CN"));
    forgetSandboxVariable();
    // Without its sandbox the engine runs no page scripts; the document properties are set from the
    // program's own script world, which still runs.
    if (platform::runsAsSuperuser())
      m_browser->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    QAction* back = m_browser->pageAction(QWebEnginePage::Back);
    back->setShortcuts(QKeySequence::Back);
    back->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_browser->addAction(back);
    connect(m_browser, &QWebEngineView::loadFinished, this, &HomePage::documentComplete);
    connect(m_browser->page(), &QWebEnginePage::loadingChanged, this, &HomePage::showLoadFailure);
  } else {
    m_webBrowser1 = blankArea(this);
  }
  m_webBrowser1->setObjectName(QStringLiteral("WebBrowser1"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_webBrowser1);
}

HomePage::~HomePage() {
  // A browser going away answers its pending script calls and may report a cut-off load; no one
  // listens any more.
  blockSignals(true);
  delete m_browser;
}

void HomePage::Navigate(const QString& address) {
  if (m_browser != nullptr)
    m_browser->load(QUrl(address));
}

// The engine's own error page needs scripts, which are off as root, and speaks the engine's words;
// the program's page replaces it on every system. Its own page, shown from a data address, never
// fails to load, so this cannot repeat.
void HomePage::showLoadFailure(const QWebEngineLoadingInfo& info) {
  if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus || info.url().scheme() == u"data")
    return;
  m_browser->setHtml(loadFailurePage(info.url().toString(), loadFailureReason(info)));
}

void HomePage::setDocumentProperties() {
  if (m_browser == nullptr)
    return;
  m_browser->page()->runJavaScript(QString::fromUtf8(kDocumentPropertiesScript),
                                   QWebEngineScript::ApplicationWorld,
                                   [page = QPointer<HomePage>(this)](const QVariant& completed) {
                                     if (!page.isNull())
                                       emit page->documentPropertiesSet(completed.toInt());
                                   });
}

}  // namespace qinglan::gui
