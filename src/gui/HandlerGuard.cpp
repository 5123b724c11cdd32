#include "gui/HandlerGuard.h"

#include <QList>

#include "gui/MessageBoxes.h"
#include "platform/OwnFolder.h"

namespace qinglan::gui {

namespace {

void showError(QWidget* parent, const QString& message) {
  messageBoxes().error(parent, appTitle(), errorBoxText(message));
}

}  // namespace

QString errorBoxText(const QString& message) {
  if (message.isEmpty())
    return message;
  const QList<uint> characters = message.toUcs4();
  if (characters.back() > uint('.'))
    return message + QLatin1Char('.');
  return message;
}

bool runGuarded(QWidget* parent, const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const CommandCancelled&) {
  } catch (const platform::UnsafeFolderError& error) {
    showError(parent,
              QStringLiteral("程序文件夹不安全：%1（%2）")
                  .arg(QString::fromStdString(error.folder()), QString::fromStdString(error.reason())));
  } catch (const std::exception& error) {
    showError(parent, QString::fromUtf8(error.what()));
  } catch (...) {
    showError(parent, QStringLiteral("Unexpected error"));
  }
  return false;
}

}  // namespace qinglan::gui
