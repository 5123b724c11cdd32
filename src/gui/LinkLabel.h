#pragma once

#include <QLabel>

namespace qinglan::gui {

// A label drawn as a web link that reports a left click, or Enter or Space while it has the focus
// (Tab reaches it).
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

  // Off: drawn and handled as a plain label, its colour the caller's.
  void setLinkShown(bool shown);
  bool linkShown() const { return m_shown; }

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  bool m_shown = true;
};

}  // namespace qinglan::gui
