#include "gui/ApplicationEvents.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMouseEvent>

namespace qinglan::gui {

ApplicationEvents::ApplicationEvents(QObject* parent) : QObject(parent) {
  QCoreApplication::instance()->installEventFilter(this);
}

bool ApplicationEvents::eventFilter(QObject* watched, QEvent* event) {
  if (OnMessage && OnMessage(event))
    return true;
  return QObject::eventFilter(watched, event);
}

bool isRightButtonPress(const QEvent& event) {
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      return static_cast<const QMouseEvent&>(event).button() == Qt::RightButton;
    case QEvent::ContextMenu:
      return static_cast<const QContextMenuEvent&>(event).reason() == QContextMenuEvent::Mouse;
    default:
      return false;
  }
}

}  // namespace qinglan::gui
