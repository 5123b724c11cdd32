#pragma once

#include <QWidget>

class QWebEngineLoadingInfo;
class QWebEngineView;

namespace qinglan::gui {

// Sets what the embedded browser needs before the application object exists: contexts shared with
// the browser's renderer, the Chinese locale for the engine's own pages, and no browser sandbox when
// the program runs as root (the sandbox refuses to start then and takes the program down; the
// variable that says so is removed again once the engine has started, and pages run no scripts).
// Safe to call again later.
void prepareWebEngine();

// "首页": the browser filling the page; Alt+Left goes back. A page that cannot be loaded gives way to the
// program's own "无法打开主页" page with the reason and a "重试" link. Without a browser (tests that do not
// look at this page) the page is a blank area and navigation does nothing.
class HomePage : public QWidget {
  Q_OBJECT

 public:
  explicit HomePage(bool withBrowser = true, QWidget* parent = nullptr);
  ~HomePage() override;

  QWidget* WebBrowser1() const { return m_webBrowser1; }
  // The browser; null when the page was built without it.
  QWebEngineView* browser() const { return m_browser; }

  // Starts loading address in the background.
  void Navigate(const QString& address);

  // Hides the top-level document's scroll bars and border: the body's scroll attribute "no", the
  // body's border style "none", the root element's overflow "hidden", in this order. A step that
  // fails (no body, a document that is not HTML) ends the steps silently. The browser runs them
  // asynchronously; documentPropertiesSet reports how many steps completed.
  void setDocumentProperties();

 signals:
  // A document has finished loading, or failed to.
  void documentComplete();
  void documentPropertiesSet(int completedSteps);

 private:
  void showLoadFailure(const QWebEngineLoadingInfo& info);

  QWidget* m_webBrowser1;
  QWebEngineView* m_browser = nullptr;
};

}  // namespace qinglan::gui
