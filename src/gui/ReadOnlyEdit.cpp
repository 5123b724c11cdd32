#include "gui/ReadOnlyEdit.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace qinglan::gui {

ReadOnlyEdit::ReadOnlyEdit(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
    setCursorPosition(0);
    setToolTip(text);
  });
}

void ReadOnlyEdit::showText(const QString& text) {
  setText(text);
  setCursorPosition(0);
}

void ReadOnlyEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) {
    QLineEdit::mouseReleaseEvent(event);
    return;
  }
  event->accept();
  popupMenu(event->globalPosition().toPoint());
}

void ReadOnlyEdit::keyPressEvent(QKeyEvent* event) {
  const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
  if (event->key() != Qt::Key_Menu && !shiftF10) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  event->accept();
  popupBelowCursor();
}

// A mouse's request is answered on the right button's release, above; this is the keyboard's, which
// some systems send besides the key itself.
void ReadOnlyEdit::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  if (event->reason() != QContextMenuEvent::Mouse && (m_menu.isNull() || !m_menu->isVisible()))
    popupBelowCursor();
}

void ReadOnlyEdit::popupBelowCursor() {
  popupMenu(mapToGlobal(cursorRect().bottomLeft()));
}

void ReadOnlyEdit::popupMenu(const QPoint& at) {
  // The edit's own menu reads English; this one says the same in Chinese.
  auto* menu = new QMenu(this);
  m_menu = menu;
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addAction(QStringLiteral("复制"), this, [this] {
    QGuiApplication::clipboard()->setText(hasSelectedText() ? selectedText() : text());
  });
  menu->addAction(QStringLiteral("全选"), this, &QLineEdit::selectAll);
  menu->popup(at);
}

}  // namespace qinglan::gui
