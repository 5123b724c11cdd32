#include "gui/SoftwareCachePage.h"

#include <QLabel>
#include <QPushButton>

#include "gui/PageWidgets.h"

namespace qinglan::gui {

SoftwareCachePage::SoftwareCachePage(QWidget* parent) : QWidget(parent) {
  m_label10 = makeLabel(
      this, "Label10",
      QStringLiteral("本功能主要用于清理第三方软件在非系统盘产生的缓存垃圾,尤其是网络电视的缓存文件。"), 24,
      24, 670, 40);
  m_label10->setWordWrap(true);
  m_bsSkinButton10 = makeButton(this, "bsSkinButton10", QStringLiteral("开始扫描"), 24, 84);
}

}  // namespace qinglan::gui
