#pragma once

#include <QLineEdit>
#include <QMenu>
#include <QPointer>

namespace qinglan::gui {

// A read-only single-line edit that shows its text from the first character, with the whole
// text as its tool tip, and opens a menu of "复制" (the selection, else the whole text) and "全选"
// on the right button's release (the application's filter takes right presses), the Menu key and
// Shift+F10.
class ReadOnlyEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit ReadOnlyEdit(QWidget* parent = nullptr);

  // Shows the text from its first character also when it is the text already shown, which
  // setText leaves scrolled to its end.
  void showText(const QString& text);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void popupBelowCursor();
  void popupMenu(const QPoint& at);

  QPointer<QMenu> m_menu;
};

}  // namespace qinglan::gui
