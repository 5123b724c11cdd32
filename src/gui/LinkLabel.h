#pragma once

#include <QLabel>

namespace qinglan::gui {

// A label drawn as a web link that reports a left click.
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace qinglan::gui
