#include "gui/UnitCachePath.h"

#include <utility>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "gui/HandlerGuard.h"
#include "gui/MessageBoxes.h"
#include "gui/PageWidgets.h"
#include "scan/CloudCachePath.h"

namespace qinglan::gui {

TfrmCachePath::TfrmCachePath(std::vector<platform::Volume> volumes, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      m_volumes(std::move(volumes)) {
  setWindowTitle(QStringLiteral("选择云端缓存位置"));
  setFixedSize(377, 167);

  m_label2 = makeLabel(this, "Label2", QStringLiteral("请选择您的云端缓存所在目录。"), 24, 20, 329, 20);
  m_comboBox1 = new ElidedComboBox(this);
  m_comboBox1->setObjectName(QStringLiteral("ComboBox1"));
  m_comboBox1->setEditable(false);
  m_comboBox1->setGeometry(24, 56, 329, 26);
  m_bsSkinButton1 = makeButton(this, "bsSkinButton1", QStringLiteral("确定"), 160, 116);
  m_bsSkinButton2 = makeButton(this, "bsSkinButton2", QStringLiteral("取消"), 263, 116);
  m_bsSkinButton1->setDefault(true);

  connect(m_bsSkinButton1, &QPushButton::clicked, this,
          [this] { runGuarded(this, [this] { bsSkinButton1Click(); }); });
  connect(m_bsSkinButton2, &QPushButton::clicked, this,
          [this] { runGuarded(this, [this] { bsSkinButton2Click(); }); });
  runGuarded(this, [this] { FormCreate(); });
}

void TfrmCachePath::FormCreate() {
  struct SelectFirst {
    QComboBox* list;
    ~SelectFirst() {
      if (list->count() > 0)
        list->setCurrentIndex(0);
    }
  } selectFirst{m_comboBox1};
  for (const std::string& path : FindAllCloudCachePaths(m_volumes))
    m_comboBox1->addItem(QString::fromStdString(path));
}

void TfrmCachePath::bsSkinButton1Click() {
  if (m_comboBox1->count() == 0) {
    showPromptWarning(nullptr, QStringLiteral("没有找到云端缓存位置。"));
    return;
  }
  m_chosenPath = m_comboBox1->currentText().toStdString();
  accept();
}

void TfrmCachePath::bsSkinButton2Click() {
  reject();
}

}  // namespace qinglan::gui
