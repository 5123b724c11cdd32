#include "gui/ElidedComboBox.h"

#include <QHelpEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QToolTip>

namespace qinglan::gui {

QString ElidedComboBox::displayedText() const {
  QStyleOptionComboBox option;
  initStyleOption(&option);
  const QRect field =
      style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  // The style draws the label one pixel in from either side of the field.
  return fontMetrics().elidedText(currentText(), Qt::ElideMiddle, field.width() - 2);
}

bool ElidedComboBox::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip)
    return QComboBox::event(event);
  if (displayedText() != currentText())
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), currentText(), this);
  else
    QToolTip::hideText();
  return true;
}

void ElidedComboBox::paintEvent(QPaintEvent* /*event*/) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  option.currentText = displayedText();
  painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace qinglan::gui
