#pragma once

#include <string>

#include <QDialog>

#include "gui/ListView.h"
#include "rules/SQLiteTable3.h"

class QLabel;
class QPushButton;

namespace qinglan::gui {

// The modal dialog that switches the scan items of the basic scan on and off. It lists every row
// of the scan item table, checked when the item is scanned; "确定" stores every row's check mark
// in UnScan, "取消" stores nothing. A failure to read the table is shown and the dialog still
// opens with the rows read before it; a failing update ends the storing there, closes the dialog
// and is shown.
class TfrmScanList : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmScanList(std::string dbFileName, QWidget* parent = nullptr);

  QLabel* Label1() const { return m_label1; }
  ListView* ListView1() const { return m_listView1; }
  QPushButton* bsSkinButton1() const { return m_bsSkinButton1; }
  QPushButton* bsSkinButton2() const { return m_bsSkinButton2; }

  void FormCreate();
  void bsSkinButton1Click();
  void bsSkinButton2Click();

 private:
  std::string m_dbFileName;
  QLabel* m_label1;
  ListView* m_listView1;
  QPushButton* m_bsSkinButton1;
  QPushButton* m_bsSkinButton2;
};

}  // namespace qinglan::gui
