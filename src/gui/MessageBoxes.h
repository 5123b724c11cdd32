#pragma once

#include <QString>

class QWidget;

namespace qinglan::gui {

// The application title: the taskbar text and the caption of the error box.
QString appTitle();

// Every message box of the program goes through one of these, so that tests can answer them.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
  virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
  // The warning icon with Yes and No buttons; true for Yes.
  virtual bool question(QWidget* parent, const QString& title, const QString& text) = 0;
  virtual void error(QWidget* parent, const QString& title, const QString& text) = 0;
  // An error box with a detail (a library's own message) below the text in a smaller hand.
  virtual void detailedError(QWidget* parent, const QString& title, const QString& text,
                             const QString& detail) {
    error(parent, title, text + QStringLiteral("\n\n") + detail);
  }
};

// The installed message boxes; QMessageBox ones unless a test installed its own.
MessageBoxes& messageBoxes();
// Installs boxes (not owned); nullptr restores the QMessageBox ones.
void setMessageBoxes(MessageBoxes* boxes);

// The program's own messages, captioned "提示". A null parent means owned by no window.
void showPromptWarning(QWidget* parent, const QString& text);
void showPromptInformation(QWidget* parent, const QString& text);
bool askPromptQuestion(QWidget* parent, const QString& text);

}  // namespace qinglan::gui
