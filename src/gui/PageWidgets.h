#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace qinglan::gui {

// Controls of the fixed-size pages are placed at fixed positions, as on the original form; each
// carries its component name as its object name.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int width,
                  int height);
// A button that Enter presses as well as Space when it has the focus.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, int x, int y);
// Draws the widget and its children with their enabled colours while they are disabled.
void drawAtFullContrast(QWidget* widget);

inline constexpr int kButtonWidth = 90;
inline constexpr int kButtonHeight = 28;

}  // namespace qinglan::gui
