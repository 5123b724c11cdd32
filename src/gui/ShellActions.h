#pragma once

#include <QString>
#include <QUrl>

namespace qinglan::gui {

// What the program asks of the desktop: open a folder or a web address, show an item in the file
// manager. Tests install their own to record the calls.
class ShellActions {
 public:
  virtual ~ShellActions() = default;
  virtual void openFolder(const QString& folder) = 0;
  // False when no program could be started for it (no browser installed).
  virtual bool openUrl(const QUrl& url) = 0;
  // Shows the item selected in the file manager where it supports that, else opens its folder.
  virtual void showInFileManager(const QString& path) = 0;
};

// The installed actions; the desktop's unless a test installed its own.
ShellActions& shellActions();
// Installs actions (not owned); nullptr restores the desktop's.
void setShellActions(ShellActions* actions);

}  // namespace qinglan::gui
