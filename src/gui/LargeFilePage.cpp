#include "gui/LargeFilePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "gui/PageWidgets.h"

namespace qinglan::gui {

LargeFilePage::LargeFilePage(QWidget* parent) : QWidget(parent) {
  m_label8 = makeLabel(
      this, "Label8",
      QStringLiteral("清理大文件可以有效节省体积,不过这同时也有风险,请认真查看结果后再选择是否删除！"), 24,
      24, 670, 40);
  m_label8->setWordWrap(true);

  makeLabel(this, "Label6", QStringLiteral("扫描"), 24, 84, 40, 24);
  m_comboBox1 = new QComboBox(this);
  m_comboBox1->setObjectName(QStringLiteral("ComboBox1"));
  m_comboBox1->setGeometry(64, 84, 90, 24);
  for (const char* megabytes :
       {"10", "20", "40", "50", "60", "100", "200", "300", "400", "500", "1000", "2000"})
    m_comboBox1->addItem(QLatin1String(megabytes));
  m_comboBox1->setCurrentText(QStringLiteral("500"));
  makeLabel(this, "Label7", QStringLiteral("MB以上文件"), 162, 84, 100, 24);

  m_bsSkinCheckRadioBox1 = new QCheckBox(QStringLiteral("过滤lva格式文件(该文件用于备份修复软件用)"), this);
  m_bsSkinCheckRadioBox1->setObjectName(QStringLiteral("bsSkinCheckRadioBox1"));
  m_bsSkinCheckRadioBox1->setGeometry(24, 120, 400, 24);
  m_bsSkinCheckRadioBox1->setChecked(true);

  makeLabel(this, "Label9", QStringLiteral("只扫描以下文件"), 24, 156, 100, 24);
  m_comboBox2 = new QComboBox(this);
  m_comboBox2->setObjectName(QStringLiteral("ComboBox2"));
  m_comboBox2->setGeometry(124, 156, 140, 24);
  m_comboBox2->addItems({QStringLiteral("所有文件"), QStringLiteral("视频与歌曲文件")});
  m_comboBox2->setCurrentIndex(0);

  m_bsSkinButton8 = makeButton(this, "bsSkinButton8", QStringLiteral("开始扫描"), 24, 200);
}

}  // namespace qinglan::gui
