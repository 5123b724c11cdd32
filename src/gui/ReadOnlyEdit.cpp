#include "gui/ReadOnlyEdit.h"

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

void ReadOnlyEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) {
    QLineEdit::mouseReleaseEvent(event);
    return;
  }
  event->accept();
  QMenu* menu = createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPosition().toPoint());
}

}  // namespace qinglan::gui
