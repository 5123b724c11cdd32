#pragma once

#include <functional>

#include <QDialog>

class QPushButton;
class QTextBrowser;

namespace qinglan::gui {

// The user's manual in a window of its own beside the main one, with the about box a click away.
// Links to the web open in the user's browser.
class ManualWindow : public QDialog {
  Q_OBJECT

 public:
  ManualWindow(std::function<void(QWidget*)> showAbout, QWidget* parent);

  QTextBrowser* browser() const { return m_browser; }
  QPushButton* aboutButton() const { return m_aboutButton; }

 private:
  QTextBrowser* m_browser;
  QPushButton* m_aboutButton;
};

}  // namespace qinglan::gui
