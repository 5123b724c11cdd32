#pragma once

#include <QString>

#include "scan/ScanSettings.h"

class QWidget;

namespace qinglan::gui {

// What the about box says: the program and its version, the rules database in use with its version
// and what it holds (or why it cannot be read), and the licences.
QString aboutText(const ScanSettings& settings);
void showAboutBox(QWidget* parent, const ScanSettings& settings);

}  // namespace qinglan::gui
