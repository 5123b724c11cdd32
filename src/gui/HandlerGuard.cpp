#include "gui/HandlerGuard.h"

#include <QList>
#include <QRegularExpression>

#include "gui/MessageBoxes.h"
#include "platform/OwnFolder.h"

namespace qinglan::gui {

namespace {

void showError(QWidget* parent, const QString& message) {
  messageBoxes().error(parent, appTitle(), errorBoxText(message));
}

// A dot after a path would read as part of its last name ("ccdb.db.").
bool endsWithPath(const QString& message) {
  const QString last = message.section(QRegularExpression(QStringLiteral("\\s")), -1);
  return last.contains(QLatin1Char('/')) || last.contains(QLatin1Char('\\'));
}

}  // namespace

QString errorBoxText(const QString& message) {
  if (message.isEmpty() || endsWithPath(message))
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
