#include "gui/ShellActions.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStringList>

#include "gui/MessageBoxes.h"

namespace qinglan::gui {

namespace {

constexpr int kFileManagerTimeoutMs = 3000;

class DesktopShell final : public ShellActions {
 public:
  bool openFolder(const QString& folder) override {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
  }

  bool openUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }

  bool showInFileManager(const QString& path) override {
    return askFileManagerToShow(path) || openFolder(QFileInfo(path).absolutePath());
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

void warnNoFileManager(QWidget* parent, const QString& folder) {
  showPromptWarning(parent, QStringLiteral("没有找到可以打开文件夹的程序，请手动打开 ") + folder);
}

}  // namespace qinglan::gui
