#pragma once

#include <functional>

#include <QObject>

class QEvent;

namespace qinglan::gui {

// The application-wide message hook: it sees every event for any widget of the program before the
// widget does, and drops the events that OnMessage reports handled. It is installed while it lives.
class ApplicationEvents : public QObject {
  Q_OBJECT

 public:
  explicit ApplicationEvents(QObject* parent = nullptr);

  // True: the event is handled and reaches no one.
  std::function<bool(QEvent* event)> OnMessage;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// A press of the right mouse button: the press itself, the second press of a double click, and the
// context menu request this platform makes of a right press. Releases and keyboard requests are not.
bool isRightButtonPress(const QEvent& event);

}  // namespace qinglan::gui
