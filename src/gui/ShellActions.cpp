#include "gui/ShellActions.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStringList>

namespace qinglan::gui {

namespace {

constexpr int kFileManagerTimeoutMs = 3000;

class DesktopShell final : public ShellActions {
 public:
  void openFolder(const QString& folder) override { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); }

  bool openUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }

  void showInFileManager(const QString& path) override {
    if (!askFileManagerToShow(path))
      openFolder(QFileInfo(path).absolutePath());
  }

 private:
  static bool askFileManagerToShow(const QString& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
      return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    return bus.call(call, QDBus::Block, kFileManagerTimeoutMs).type() == QDBusMessage::ReplyMessage;
  }
};

ShellActions* installedActions = nullptr;

}  // namespace

ShellActions& shellActions() {
  static DesktopShell desktop;
  return installedActions != nullptr ? *installedActions : desktop;
}

void setShellActions(ShellActions* actions) {
  installedActions = actions;
}

}  // namespace qinglan::gui
