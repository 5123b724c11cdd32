#include "gui/WhitelistPage.h"

#include <QLabel>
#include <QPushButton>

#include "gui/PageWidgets.h"

namespace qinglan::gui {

WhitelistPage::WhitelistPage(QWidget* parent) : QWidget(parent) {
  m_label4 = makeLabel(this, "Label4", QStringLiteral("白名单里的软件将不会出现在扫描列表里"), 8, 8, 698, 20);

  m_listView3 = new ListView({{QStringLiteral("软件名"), 300}, {QStringLiteral("资源ID"), 300}},
                             {.checkable = false, .redUnknownRows = true, .icons = nullptr}, this);
  m_listView3->setObjectName(QStringLiteral("ListView3"));
  m_listView3->setGeometry(8, 34, 698, 392);

  m_bsSkinButton3 = makeButton(this, "bsSkinButton3", QStringLiteral("删除"), 416, 436);
  m_bsSkinButton6 = makeButton(this, "bsSkinButton6", QStringLiteral("清空"), 516, 436);
  m_bsSkinButton7 = makeButton(this, "bsSkinButton7", QStringLiteral("刷新"), 616, 436);
}

}  // namespace qinglan::gui
