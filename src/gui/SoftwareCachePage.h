#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace qinglan::gui {

// "软件缓存清理": the software cache scan over every local volume.
class SoftwareCachePage : public QWidget {
  Q_OBJECT

 public:
  explicit SoftwareCachePage(QWidget* parent = nullptr);

  QLabel* Label10() const { return m_label10; }
  QPushButton* bsSkinButton10() const { return m_bsSkinButton10; }

 private:
  QLabel* m_label10;
  QPushButton* m_bsSkinButton10;
};

}  // namespace qinglan::gui
