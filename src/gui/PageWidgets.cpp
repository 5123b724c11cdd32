#include "gui/PageWidgets.h"

#include <QLabel>
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
  return button;
}

}  // namespace qinglan::gui
