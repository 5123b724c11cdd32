#include "gui/MessageBoxes.h"

#include <QMessageBox>

namespace qinglan::gui {

namespace {

class QtMessageBoxes final : public MessageBoxes {
 public:
  void warning(QWidget* parent, const QString& title, const QString& text) override {
    show(parent, QMessageBox::Warning, title, text, QMessageBox::Ok);
  }
  void information(QWidget* parent, const QString& title, const QString& text) override {
    show(parent, QMessageBox::Information, title, text, QMessageBox::Ok);
  }
  bool question(QWidget* parent, const QString& title, const QString& text) override {
    return show(parent, QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
  }
  void error(QWidget* parent, const QString& title, const QString& text) override {
    show(parent, QMessageBox::Critical, title, text, QMessageBox::Ok);
  }

 private:
  static int show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                  QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
  }
};

MessageBoxes* installedBoxes = nullptr;

QString promptCaption() {
  return QStringLiteral("提示");
}

}  // namespace

QString appTitle() {
  return QStringLiteral("晴岚清扫助手");
}

MessageBoxes& messageBoxes() {
  static QtMessageBoxes qtBoxes;
  return installedBoxes != nullptr ? *installedBoxes : qtBoxes;
}

void setMessageBoxes(MessageBoxes* boxes) {
  installedBoxes = boxes;
}

void showPromptWarning(QWidget* parent, const QString& text) {
  messageBoxes().warning(parent, promptCaption(), text);
}

void showPromptInformation(QWidget* parent, const QString& text) {
  messageBoxes().information(parent, promptCaption(), text);
}

bool askPromptQuestion(QWidget* parent, const QString& text) {
  return messageBoxes().question(parent, promptCaption(), text);
}

}  // namespace qinglan::gui
