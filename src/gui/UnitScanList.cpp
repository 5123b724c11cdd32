#include "gui/UnitScanList.h"

#include <memory>
#include <utility>
#include <vector>

#include <QLabel>
#include <QPushButton>

#include "gui/HandlerGuard.h"
#include "gui/PageWidgets.h"
#include "rules/RulesReader.h"
#include "rules/RulesWriter.h"

namespace qinglan::gui {

namespace {

// The width a list column has unless one is given.
constexpr int kDefaultColumnWidth = 50;

enum Column { kId, kName, kState };

QPushButton* makeSmallButton(QWidget* parent, const char* name, const QString& text, int x, int y) {
  QPushButton* button = makeButton(parent, name, text, x, y);
  button->resize(73, 25);
  return button;
}

}  // namespace

TfrmScanList::TfrmScanList(std::string dbFileName, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      m_dbFileName(std::move(dbFileName)) {
  setObjectName(QStringLiteral("frmScanList"));
  setWindowTitle(QStringLiteral("扫描列表"));
  setFixedSize(487, 441);

  m_label1 = makeLabel(
      this, "Label1",
      QStringLiteral("扫描目录只针对云端缓存，不会扫描系统其它目录。勾选需要扫描的项目，如不需扫描，"
                     "请不要勾选。"),
      8, 8, 465, 25);
  m_label1->setWordWrap(true);

  m_listView1 = new ListView({{QStringLiteral("id"), kDefaultColumnWidth},
                              {QStringLiteral("说明"), 300},
                              {QStringLiteral("状态"), 80}},
                             {.checkable = true, .redUnknownRows = false, .icons = nullptr}, this);
  m_listView1->setObjectName(QStringLiteral("ListView1"));
  m_listView1->setGeometry(8, 40, 465, 353);

  m_bsSkinButton1 = makeSmallButton(this, "bsSkinButton1", QStringLiteral("确定"), 320, 400);
  m_bsSkinButton2 = makeSmallButton(this, "bsSkinButton2", QStringLiteral("取消"), 400, 399);

  connect(m_bsSkinButton1, &QPushButton::clicked, this,
          [this] { runGuarded(this, [this] { bsSkinButton1Click(); }); });
  connect(m_bsSkinButton2, &QPushButton::clicked, this,
          [this] { runGuarded(this, [this] { bsSkinButton2Click(); }); });
  runGuarded(this, [this] { FormCreate(); });
}

void TfrmScanList::FormCreate() {
  const std::unique_ptr<TSQLiteDatabase> database = openRulesDatabase(m_dbFileName);
  // Every row is read before one is added, so a failing read adds no half-filled row.
  const std::vector<ScanItem> items = readScanItemStates(*database, kScanItemTable);
  RowListModel* rows = m_listView1->rows();
  for (const ScanItem& item : items) {
    ListRow row;
    row.cells = {QString::fromStdString(item.id), QString::fromStdString(item.name),
                 item.excluded() ? QStringLiteral("禁止扫描") : QStringLiteral("扫描")};
    row.checked = !item.excluded();
    rows->appendRow(std::move(row));
  }
}

void TfrmScanList::bsSkinButton1Click() {
  // The dialog closes however the storing ends; the connection is released before that.
  struct CloseAtEnd {
    QDialog* dialog;
    ~CloseAtEnd() { dialog->accept(); }
  } closeAtEnd{this};
  const std::unique_ptr<TSQLiteDatabase> database = openRulesDatabase(m_dbFileName);
  const RowListModel* rows = m_listView1->rows();
  const int rowCount = rows->count();
  for (int row = 0; row < rowCount; ++row)
    storeScanItemChoice(*database, kScanItemTable, rows->text(row, kId).toStdString(), rows->isChecked(row));
}

void TfrmScanList::bsSkinButton2Click() {
  reject();
}

}  // namespace qinglan::gui
