#pragma once

#include <QWidget>

namespace qinglan::gui {

// "首页": the browser area filling the page.
class HomePage : public QWidget {
  Q_OBJECT

 public:
  explicit HomePage(QWidget* parent = nullptr);

  QWidget* WebBrowser1() const { return m_webBrowser1; }

 private:
  QWidget* m_webBrowser1;
};

}  // namespace qinglan::gui
