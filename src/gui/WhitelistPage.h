#pragma once

#include <QWidget>

#include "gui/ListView.h"

class QLabel;
class QPushButton;

namespace qinglan::gui {

// "白名单": the whitelisted resources and the commands that edit wb.lst.
class WhitelistPage : public QWidget {
  Q_OBJECT

 public:
  explicit WhitelistPage(QWidget* parent = nullptr);

  QLabel* Label4() const { return m_label4; }
  ListView* ListView3() const { return m_listView3; }
  QPushButton* bsSkinButton3() const { return m_bsSkinButton3; }
  QPushButton* bsSkinButton6() const { return m_bsSkinButton6; }
  QPushButton* bsSkinButton7() const { return m_bsSkinButton7; }

 private:
  QLabel* m_label4;
  ListView* m_listView3;
  QPushButton* m_bsSkinButton3;
  QPushButton* m_bsSkinButton6;
  QPushButton* m_bsSkinButton7;
};

}  // namespace qinglan::gui
