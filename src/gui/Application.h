#pragma once

#include <QString>

class QApplication;

namespace qinglan::gui {

class TForm1;

// The application-wide look: the title, the Fusion style and a font that shows Chinese.
void setupApplication(QApplication& app);

// Saves the window as shown to fileName, then each page in turn to fileName with "-page<n>" before
// its suffix. For demos and documentation, where no one looks at the screen.
QStringList saveScreenshots(TForm1& form, const QString& fileName);

}  // namespace qinglan::gui
