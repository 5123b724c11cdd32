#pragma once

#include <QStringList>

namespace qinglan::gui {

class TForm1;

// Saves the window as shown to fileName, then each page in turn to fileName with "-page<n>" before
// its suffix. For demos and documentation, where no one looks at the screen.
QStringList saveScreenshots(TForm1& form, const QString& fileName);

// For demos where no one looks at the screen: runs the basic scan and saves the window to fileName
// with "-scan" before its suffix, the first finding selected so that its origin and note show;
// with clean, then runs "清理选定" answered Yes and saves "-clean". The prompts are printed instead
// of shown. Returns the files saved.
QStringList saveScanScreenshots(TForm1& form, const QString& fileName, bool clean);

}  // namespace qinglan::gui
