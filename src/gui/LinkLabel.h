#pragma once

#include <QLabel>

namespace qinglan::gui {

// A label drawn as a web link that reports a left click, or Enter or Space while it has the focus
// (Tab reaches it).
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace qinglan::gui
