#include "gui/MessageBoxes.h"

#include <utility>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTranslator>

namespace qinglan::gui {

namespace {

// The shown window a box is centred over: the parent's, else the active one, else any shown
// window of the program. A box over a window not yet shown would open at the screen's corner.
QWidget* ownerWindow(QWidget* parent) {
  if (parent != nullptr && parent->window()->isVisible())
    return parent->window();
  if (QWidget* active = QApplication::activeWindow())
    return active;
  for (QWidget* topLevel : QApplication::topLevelWidgets()) {
    if (topLevel->isVisible() &&
        (topLevel->windowType() == Qt::Window || topLevel->windowType() == Qt::Dialog))
      return topLevel;
  }
  return nullptr;
}

// The buttons read Chinese whatever the system's language.
void nameButtons(QMessageBox& box) {
  const std::pair<QMessageBox::StandardButton, const char*> names[] = {{QMessageBox::Ok, "确定"},
                                                                       {QMessageBox::Yes, "是"},
                                                                       {QMessageBox::No, "否"},
                                                                       {QMessageBox::Cancel, "取消"}};
  for (const auto& [button, name] : names) {
    if (QAbstractButton* shown = box.button(button))
      shown->setText(QString::fromUtf8(name));
  }
}

// The box's own button that opens the detail reads English; these are its two captions in Chinese.
class DetailsButtonTexts final : public QTranslator {
 public:
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char*, int) const override {
    if (qstrcmp(context, "QMessageBox") != 0)
      return {};
    if (qstrcmp(source, "Show Details...") == 0)
      return QStringLiteral("详细信息…");
    if (qstrcmp(source, "Hide Details...") == 0)
      return QStringLiteral("隐藏详细信息");
    return {};
  }
};

// Installing posts a language change to every widget; it is delivered here, before the box names
// its buttons, so that no box retranslates them back to English later.
bool installDetailsButtonTexts() {
  static DetailsButtonTexts texts;
  const bool installed = QCoreApplication::installTranslator(&texts);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
  return installed;
}

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
  void detailedError(QWidget* parent, const QString& title, const QString& text,
                     const QString& detail) override {
    show(parent, QMessageBox::Critical, title, text, QMessageBox::Ok, detail);
  }

 private:
  static int show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                  QMessageBox::StandardButtons buttons, const QString& detail = {}) {
    [[maybe_unused]] static const bool chineseDetailsButton = installDetailsButtonTexts();
    QMessageBox box(icon, title, text, buttons, ownerWindow(parent));
    box.setTextFormat(Qt::PlainText);
    if (!detail.isEmpty())
      box.setDetailedText(detail);
    nameButtons(box);
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
