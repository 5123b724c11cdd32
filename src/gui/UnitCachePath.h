#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QDialog>

#include "gui/ElidedComboBox.h"
#include "platform/Volumes.h"

class QLabel;
class QPushButton;

namespace qinglan::gui {

// The modal dialog that picks which cache directory is scanned when several volumes hold one.
// Confirming accepts the dialog with the chosen path; cancelling leaves none.
class TfrmCachePath : public QDialog {
  Q_OBJECT

 public:
  TfrmCachePath(std::vector<platform::Volume> volumes, QWidget* parent = nullptr);

  QLabel* Label2() const { return m_label2; }
  ElidedComboBox* ComboBox1() const { return m_comboBox1; }
  QPushButton* bsSkinButton1() const { return m_bsSkinButton1; }
  QPushButton* bsSkinButton2() const { return m_bsSkinButton2; }

  // The cache directory confirmed, none unless the dialog was accepted.
  const std::optional<std::string>& chosenPath() const { return m_chosenPath; }

  void FormCreate();
  void bsSkinButton1Click();
  void bsSkinButton2Click();

 private:
  std::vector<platform::Volume> m_volumes;
  std::optional<std::string> m_chosenPath;
  QLabel* m_label2;
  ElidedComboBox* m_comboBox1;
  QPushButton* m_bsSkinButton1;
  QPushButton* m_bsSkinButton2;
};

}  // namespace qinglan::gui
