#include "gui/PageWidgets.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace qinglan::gui {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int width,
                  int height) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(x, y, width, height);
  return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, int x, int y) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(x, y, kButtonWidth, kButtonHeight);
  button->setAutoDefault(true);
  return button;
}

void drawAtFullContrast(QWidget* widget) {
  QPalette palette = widget->palette();
  for (int role = 0; role < QPalette::NColorRoles; ++role) {
    const auto colorRole = static_cast<QPalette::ColorRole>(role);
    if (colorRole == QPalette::NoRole)
      continue;
    palette.setColor(QPalette::Disabled, colorRole, palette.color(QPalette::Active, colorRole));
  }
  widget->setPalette(palette);
}

}  // namespace qinglan::gui
