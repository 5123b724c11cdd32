#pragma once

#include <QLabel>

namespace qinglan::gui {

// A one-line label that, when its text is wider than the label, cuts it in the middle with "…"
// (never inside a character) and shows the whole text as its tool tip. text() stays whole.
class ElidedLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

  // The text as drawn.
  QString displayedText() const;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace qinglan::gui
