#include "gui/ResultsPage.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include "gui/LinkLabel.h"
#include "gui/PageWidgets.h"
#include "gui/ReadOnlyEdit.h"

namespace qinglan::gui {

namespace {

constexpr int kDefaultPurgeDays = 30;

QString purgeCaption(int days) {
  return QStringLiteral("清空 %1 天前移到回收站的项目").arg(days);
}

ReadOnlyEdit* makeReadOnlyEdit(QWidget* parent, const char* name, int y) {
  auto* edit = new ReadOnlyEdit(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setGeometry(10, y, 380, 24);
  return edit;
}

}  // namespace

ResultsPage::ResultsPage(Findings& findings, QWidget* parent) : QWidget(parent) {
  // After a basic scan the total is a link to where the junk is.
  m_label2 = new LinkLabel(QStringLiteral("这里显示的是扫描结果。"), this);
  m_label2->setObjectName(QStringLiteral("Label2"));
  m_label2->setGeometry(8, 6, 698 - kButtonWidth - 20, 20);
  m_label2->setLinkShown(false);
  QPalette red = m_label2->palette();
  red.setColor(QPalette::WindowText, QColor(255, 0, 0));
  m_label2->setPalette(red);

  QList<ListView::Column> columns;
  for (const ResultsColumnInfo& column : kResultsColumns)
    columns.append({QString::fromUtf8(column.caption.data(), static_cast<qsizetype>(column.caption.size())),
                    column.width});
  m_results = new FindingsModel(findings);
  m_listView1 = new ListView(columns, m_results, this);
  m_listView1->setObjectName(QStringLiteral("ListView1"));
  m_listView1->setGeometry(8, 30, 698, 334);
  m_listView1->enableSorting();
  // Paths differ at their end, which stays in sight.
  m_listView1->elideInTheMiddle(static_cast<int>(columnIndex(ResultsColumn::Location)));

  // The progress panel lies over the middle of the list while a scan or a cleaning pass runs.
  m_panel1 = new QFrame(this);
  m_panel1->setObjectName(QStringLiteral("Panel1"));
  m_panel1->setFrameShape(QFrame::StyledPanel);
  m_panel1->setAutoFillBackground(true);
  m_panel1->setGeometry(157, 150, 400, 72);
  m_label1 = makeLabel(m_panel1, "Label1", QStringLiteral("准备就绪。。。。"), 12, 8, 376, 20);
  m_progressBar1 = new QProgressBar(m_panel1);
  m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  // The window's stop button takes the panel's lower right corner.
  m_progressBar1->setGeometry(12, 38, 292, 22);
  m_panel1->hide();
  // The panel reports while the rest of the window is disabled, so it is drawn at full contrast.
  drawAtFullContrast(m_panel1);

  auto* noteBox = new QGroupBox(QStringLiteral("说明"), this);
  noteBox->setObjectName(QStringLiteral("bsSkinGroupBox1"));
  noteBox->setGeometry(8, 370, 400, 92);
  m_edit2 = makeReadOnlyEdit(noteBox, "Edit2", 24);
  m_edit1 = makeReadOnlyEdit(noteBox, "Edit1", 56);

  m_bsSkinButton4 = makeButton(this, "bsSkinButton4", QStringLiteral("全选"), 416, 434);
  m_bsSkinButton5 = makeButton(this, "bsSkinButton5", QStringLiteral("不选"), 516, 434);
  m_bntClean = makeButton(this, "bntClean", QStringLiteral("清理选定"), 616, 434);
  m_bsSkinCheckRadioBox2 = new QCheckBox(QStringLiteral("移到回收站"), this);
  m_bsSkinCheckRadioBox2->setObjectName(QStringLiteral("bsSkinCheckRadioBox2"));
  m_bsSkinCheckRadioBox2->setGeometry(616, 404, 100, 24);
  // Left of 移到回收站, above 全选 and 不选, clear of the note box that ends at 408.
  m_skipInUseBox = new QCheckBox(QStringLiteral("跳过正在使用的文件"), this);
  m_skipInUseBox->setObjectName(QStringLiteral("skipInUseBox"));
  m_skipInUseBox->setGeometry(416, 404, 190, 24);
  m_skipInUseBox->setChecked(true);

  // Offered beside the total only after a pass into the trash, until it is used or the list is refilled.
  m_bsSkinButton12 =
      makeButton(this, "bsSkinButton12", QStringLiteral("撤销本次清理"), 706 - kButtonWidth, 2);
  m_bsSkinButton12->hide();

  // Undoing for good: the row above the cleaning buttons, clear of the note box and the check box.
  m_bntPurge = makeButton(this, "bntPurge", purgeCaption(kDefaultPurgeDays), 416, 372);
  m_bntPurge->setGeometry(416, 372, 226, kButtonHeight);
  m_purgeDays = new QSpinBox(this);
  m_purgeDays->setObjectName(QStringLiteral("purgeDays"));
  m_purgeDays->setRange(0, 3650);
  m_purgeDays->setValue(kDefaultPurgeDays);
  m_purgeDays->setGeometry(648, 374, 58, 24);
  connect(m_purgeDays, &QSpinBox::valueChanged, m_bntPurge,
          [this](int days) { m_bntPurge->setText(purgeCaption(days)); });
}

}  // namespace qinglan::gui
