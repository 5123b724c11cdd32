#pragma once

#include <vector>

#include <QDialog>

#include "gui/ElidedComboBox.h"
#include "platform/Volumes.h"

class QLabel;
class QPushButton;

namespace qinglan::gui {

// The modal dialog that picks which cache directory is scanned when several volumes hold one.
// Confirming sets CloudCachePath and CachePathConfirmed = 1; cancelling changes nothing.
class TfrmCachePath : public QDialog {
  Q_OBJECT

 public:
  TfrmCachePath(std::vector<platform::Volume> volumes, QWidget* parent = nullptr);

  QLabel* Label2() const { return m_label2; }
  ElidedComboBox* ComboBox1() const { return m_comboBox1; }
  QPushButton* bsSkinButton1() const { return m_bsSkinButton1; }
  QPushButton* bsSkinButton2() const { return m_bsSkinButton2; }

  void FormCreate();
  void bsSkinButton1Click();
  void bsSkinButton2Click();

 private:
  std::vector<platform::Volume> m_volumes;
  QLabel* m_label2;
  ElidedComboBox* m_comboBox1;
  QPushButton* m_bsSkinButton1;
  QPushButton* m_bsSkinButton2;
};

}  // namespace qinglan::gui
