#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace qinglan::gui {

// "大文件扫描": the size limit and file kind of the large file scan.
class LargeFilePage : public QWidget {
  Q_OBJECT

 public:
  explicit LargeFilePage(QWidget* parent = nullptr);

  QLabel* Label8() const { return m_label8; }
  QComboBox* ComboBox1() const { return m_comboBox1; }
  QCheckBox* bsSkinCheckRadioBox1() const { return m_bsSkinCheckRadioBox1; }
  QComboBox* ComboBox2() const { return m_comboBox2; }
  QPushButton* bsSkinButton8() const { return m_bsSkinButton8; }

 private:
  QLabel* m_label8;
  QComboBox* m_comboBox1;
  QCheckBox* m_bsSkinCheckRadioBox1;
  QComboBox* m_comboBox2;
  QPushButton* m_bsSkinButton8;
};

}  // namespace qinglan::gui
