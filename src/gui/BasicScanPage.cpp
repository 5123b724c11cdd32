#include "gui/BasicScanPage.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "gui/PageWidgets.h"
#include "whitelist/Whitelist.h"

namespace qinglan::gui {

BasicScanPage::BasicScanPage(const IconList& icons, QWidget* parent) : QWidget(parent) {
  m_label13 = new LinkLabel(QStringLiteral("访问主页检查更新"), this);
  m_label13->setObjectName(QStringLiteral("Label13"));
  m_label13->setGeometry(586, 8, 120, 20);
  m_label13->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  // A long cache path is cut in the middle, so that its end, the folder's own name, stays in view.
  m_label3 = new ElidedLabel(QStringLiteral("您当前选择扫描的是"), this);
  m_label3->setObjectName(QStringLiteral("Label3"));
  m_label3->setGeometry(8, 32, 600, 20);
  m_label5 = new LinkLabel(QStringLiteral("点此设置"), this);
  m_label5->setObjectName(QStringLiteral("Label5"));
  m_label5->setGeometry(626, 32, 80, 20);
  m_label5->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  m_listView2 = new ListView({{QStringLiteral("软件名"), 300}, {QStringLiteral("资源ID"), 300}},
                             {.checkable = true, .redUnknownRows = true, .icons = &icons}, this);
  m_listView2->setObjectName(QStringLiteral("ListView2"));
  m_listView2->setGeometry(8, 58, 698, 368);

  m_bsSkinButton1 = makeButton(this, "bsSkinButton1", QStringLiteral("扫描"), 416, 436);
  m_bsSkinButton2 = makeButton(this, "bsSkinButton2", QStringLiteral("刷新列表"), 516, 436);
  m_bsSkinButton9 = makeButton(this, "bsSkinButton9", QStringLiteral("扫描选项"), 616, 436);

  // Left of the scan buttons, as it decides what the scan checks: "只清理 [N] 天前的文件".
  m_olderThanBox = new QCheckBox(QStringLiteral("只清理"), this);
  m_olderThanBox->setObjectName(QStringLiteral("olderThanBox"));
  m_olderThanBox->setGeometry(8, 436, 72, 24);
  m_olderThanDays = new QSpinBox(this);
  m_olderThanDays->setObjectName(QStringLiteral("olderThanDays"));
  m_olderThanDays->setRange(1, kMaxOlderThanDays);
  m_olderThanDays->setValue(kDefaultOlderThanDays);
  m_olderThanDays->setGeometry(84, 436, 64, 24);
  makeLabel(this, "olderThanLabel", QStringLiteral("天前的文件"), 154, 438, 100, 20);
}

}  // namespace qinglan::gui
