#pragma once

#include <QString>

class QApplication;

namespace qinglan::gui {

// The application-wide look: the title, the Fusion style and a font that shows Chinese.
void setupApplication(QApplication& app);

// Gives the user a copy of the rules database when the program runs installed (see AppPaths); a
// failure shows the standard error box, and the commands that open the database report it again.
// False when a folder of the program's own is unsafe: the program must then end without writing.
bool prepareUserFiles();

// Prints the program's name and version and returns true when the arguments ask for them.
bool printVersionIfAsked(int argc, char** argv);

}  // namespace qinglan::gui
