#pragma once

#include <QComboBox>

namespace qinglan::gui {

// A drop-down list whose closed box cuts a long current text in the middle with "…" (never inside
// a character) and shows the whole text as its tool tip.
class ElidedComboBox : public QComboBox {
  Q_OBJECT

 public:
  using QComboBox::QComboBox;

  // The current text as the closed box draws it.
  QString displayedText() const;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace qinglan::gui
