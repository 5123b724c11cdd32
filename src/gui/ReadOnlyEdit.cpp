#include "gui/ReadOnlyEdit.h"

#include <QClipboard>
#include <QGuiApplication>
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
  // The edit's own menu reads English; this one says the same in Chinese.
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addAction(QStringLiteral("复制"), this, [this] {
    QGuiApplication::clipboard()->setText(hasSelectedText() ? selectedText() : text());
  });
  menu->addAction(QStringLiteral("全选"), this, &QLineEdit::selectAll);
  menu->popup(event->globalPosition().toPoint());
}

}  // namespace qinglan::gui
