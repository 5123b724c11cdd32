#pragma once

#include <QString>
#include <QUrl>

class QWidget;

namespace qinglan::gui {

// What the program asks of the desktop: open a folder or a web address, show an item in the file
// manager. Tests install their own to record the calls.
class ShellActions {
 public:
  virtual ~ShellActions() = default;
  // Each returns false when no program could be started for it (no file manager or browser installed).
  virtual bool openFolder(const QString& folder) = 0;
  virtual bool openUrl(const QUrl& url) = 0;
  // Shows the item selected in the file manager where it supports that, else opens its folder.
  virtual bool showInFileManager(const QString& path) = 0;
};

// The installed actions; the desktop's unless a test installed its own.
ShellActions& shellActions();
// Installs actions (not owned); nullptr restores the desktop's.
void setShellActions(ShellActions* actions);

// Tells the user that no file manager could be started, and where to look by hand.
void warnNoFileManager(QWidget* parent, const QString& folder);

}  // namespace qinglan::gui
