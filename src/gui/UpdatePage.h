#pragma once

#include <QWidget>

#include "gui/ListView.h"

class QLabel;
class QPushButton;

namespace qinglan::gui {

class IconList;

// "软件升级": the update check, its list and its status line.
class UpdatePage : public QWidget {
  Q_OBJECT

 public:
  UpdatePage(const IconList& icons, QWidget* parent = nullptr);

  QLabel* Label11() const { return m_label11; }
  QPushButton* bsSkinButton11() const { return m_bsSkinButton11; }
  ListView* ListView4() const { return m_listView4; }
  QLabel* Label12() const { return m_label12; }

 private:
  QLabel* m_label11;
  QPushButton* m_bsSkinButton11;
  ListView* m_listView4;
  QLabel* m_label12;
};

}  // namespace qinglan::gui
