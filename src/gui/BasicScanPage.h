#pragma once

#include <QWidget>

#include "gui/ElidedLabel.h"
#include "gui/LinkLabel.h"
#include "gui/ListView.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace qinglan::gui {

class IconList;

// "基本扫描": the cache directory in use, the installed resource list and the scan buttons.
class BasicScanPage : public QWidget {
  Q_OBJECT

 public:
  BasicScanPage(const IconList& icons, QWidget* parent = nullptr);

  LinkLabel* Label13() const { return m_label13; }
  ElidedLabel* Label3() const { return m_label3; }
  LinkLabel* Label5() const { return m_label5; }
  ListView* ListView2() const { return m_listView2; }
  QPushButton* bsSkinButton1() const { return m_bsSkinButton1; }
  QPushButton* bsSkinButton2() const { return m_bsSkinButton2; }
  QPushButton* bsSkinButton9() const { return m_bsSkinButton9; }
  QCheckBox* olderThanBox() const { return m_olderThanBox; }   // 只清理 N 天前的文件
  QSpinBox* olderThanDays() const { return m_olderThanDays; }  // its N

 private:
  LinkLabel* m_label13;
  ElidedLabel* m_label3;
  LinkLabel* m_label5;
  ListView* m_listView2;
  QPushButton* m_bsSkinButton1;
  QPushButton* m_bsSkinButton2;
  QPushButton* m_bsSkinButton9;
  QCheckBox* m_olderThanBox;
  QSpinBox* m_olderThanDays;
};

}  // namespace qinglan::gui
