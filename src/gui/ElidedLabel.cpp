#include "gui/ElidedLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace qinglan::gui {

QString ElidedLabel::displayedText() const {
  return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

bool ElidedLabel::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip || !toolTip().isEmpty())
    return QLabel::event(event);
  const QString shown = displayedText();
  if (shown != text())
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
  else
    QToolTip::hideText();
  return true;
}

void ElidedLabel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()),
                        palette(), isEnabled(), displayedText(), foregroundRole());
}

}  // namespace qinglan::gui
