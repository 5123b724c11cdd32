#include "gui/UpdatePage.h"

#include <QLabel>
#include <QPushButton>

#include "gui/PageWidgets.h"

namespace qinglan::gui {

UpdatePage::UpdatePage(const IconList& icons, QWidget* parent) : QWidget(parent) {
  m_label11 = makeLabel(this, "Label11",
                        QStringLiteral("软件将检查云端里所有官方资源的最新版本情况,目前暂不支持升级。"), 8,
                        12, 590, 20);
  m_bsSkinButton11 = makeButton(this, "bsSkinButton11", QStringLiteral("检查更新"), 616, 8);

  m_listView4 = new ListView({{QStringLiteral("软件名"), 250},
                              {QStringLiteral("最新版本"), 200},
                              {QStringLiteral("发布日期"), 80},
                              {QStringLiteral("资源ID"), 120}},
                             {.checkable = true, .redUnknownRows = false, .icons = &icons}, this);
  m_listView4->setObjectName(QStringLiteral("ListView4"));
  m_listView4->setGeometry(8, 44, 698, 384);

  m_label12 = makeLabel(this, "Label12", QStringLiteral("准备就绪"), 8, 438, 698, 20);
  // The status line reports while the page is disabled for the check.
  drawAtFullContrast(m_label12);
}

void UpdateListSink::clearRows() {
  m_page.ListView4()->rows()->clear();
}

void UpdateListSink::addRow(const UpdateRow& row) {
  m_page.ListView4()->rows()->appendRow(
      {.cells = {QString::fromStdString(row.name), QString::fromStdString(row.latestVersion),
                 QString::fromStdString(row.date), QString::fromStdString(row.resourceId)},
       .imageIndex = row.imageIndex});
}

void UpdateListSink::setStatus(const std::string& text) {
  m_page.Label12()->setText(QString::fromStdString(text));
}

}  // namespace qinglan::gui
