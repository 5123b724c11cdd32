#pragma once

#include <QWidget>

#include "gui/FindingsModel.h"
#include "gui/ListView.h"
#include "gui/ReadOnlyEdit.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace qinglan::gui {

class LinkLabel;

// "扫描结果": the findings of the scans, the progress panel, the note of the selected finding and
// the cleaning buttons. The list draws the findings it is given; the page does not own them.
class ResultsPage : public QWidget {
  Q_OBJECT

 public:
  explicit ResultsPage(Findings& findings, QWidget* parent = nullptr);

  FindingsModel* results() const { return m_results; }

  LinkLabel* Label2() const { return m_label2; }
  ListView* ListView1() const { return m_listView1; }
  QFrame* Panel1() const { return m_panel1; }
  QLabel* Label1() const { return m_label1; }
  QProgressBar* ProgressBar1() const { return m_progressBar1; }
  ReadOnlyEdit* Edit2() const { return m_edit2; }
  ReadOnlyEdit* Edit1() const { return m_edit1; }
  QPushButton* bsSkinButton4() const { return m_bsSkinButton4; }
  QPushButton* bsSkinButton5() const { return m_bsSkinButton5; }
  QPushButton* bntClean() const { return m_bntClean; }
  QCheckBox* bsSkinCheckRadioBox2() const { return m_bsSkinCheckRadioBox2; }  // 扫描结果 › 移到回收站
  QCheckBox* skipInUseBox() const { return m_skipInUseBox; }  // 扫描结果 › 跳过正在使用的文件
  QPushButton* bsSkinButton12() const { return m_bsSkinButton12; }  // 扫描结果 › 撤销本次清理
  QPushButton* bntPurge() const { return m_bntPurge; }  // 扫描结果 › 清空 N 天前移到回收站的项目
  QSpinBox* purgeDays() const { return m_purgeDays; }  // its N

 private:
  LinkLabel* m_label2;
  FindingsModel* m_results;
  ListView* m_listView1;
  QFrame* m_panel1;
  QLabel* m_label1;
  QProgressBar* m_progressBar1;
  ReadOnlyEdit* m_edit2;
  ReadOnlyEdit* m_edit1;
  QPushButton* m_bsSkinButton4;
  QPushButton* m_bsSkinButton5;
  QPushButton* m_bntClean;
  QCheckBox* m_bsSkinCheckRadioBox2;
  QCheckBox* m_skipInUseBox;
  QPushButton* m_bsSkinButton12;
  QPushButton* m_bntPurge;
  QSpinBox* m_purgeDays;
};

}  // namespace qinglan::gui
