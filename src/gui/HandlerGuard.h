#pragma once

#include <exception>
#include <functional>

#include <QString>

class QWidget;

namespace qinglan::gui {

// Thrown by the pump when the main window was asked to close while a command ran: it unwinds the
// command, and the guard swallows it silently.
class CommandCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "command cancelled"; }
};

// The text of the standard error box: a "." is appended when the last character sorts after ".",
// unless the text ends with a path.
QString errorBoxText(const QString& message);

// Runs one handler so that no exception reaches Qt's event loop: an escaping exception is shown as the
// standard error box (title "晴岚清扫助手", error icon, OK) and the program goes on. False when the handler
// did not run to its end.
bool runGuarded(QWidget* parent, const std::function<void()>& handler);

}  // namespace qinglan::gui
