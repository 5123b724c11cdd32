#include "gui/ApplicationEvents.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMouseEvent>

namespace qinglan::gui {

ApplicationEvents::ApplicationEvents(QObject* parent) : QObject(parent) {
  QCoreApplication::instance()->installEventFilter(this);
}

bool ApplicationEvents::eventFilter(QObject* watched, QEvent* event) {
  // Input reaches a window before the widget under the cursor. The hook judges it at the widget:
  // taken at the window, a press would never be tracked, and its release would reach no one.
  if (!watched->isWidgetType())
    return QObject::eventFilter(watched, event);
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
