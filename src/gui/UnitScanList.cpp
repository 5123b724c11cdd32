#include "gui/UnitScanList.h"

#include <memory>
#include <utility>

#include <QLabel>
#include <QPushButton>

#include "gui/HandlerGuard.h"
#include "gui/PageWidgets.h"
#include "rules/RulesSql.h"
#include "rules/SQLiteTable3.h"

namespace qinglan::gui {

namespace {

constexpr int32_t kBusyTimeoutMs = 1000;
// The width a list column has unless one is given.
constexpr int kDefaultColumnWidth = 50;

enum Column { kId, kName, kState };

QPushButton* makeSmallButton(QWidget* parent, const char* name, const QString& text, int x, int y) {
  QPushButton* button = makeButton(parent, name, text, x, y);
  button->resize(73, 25);
  return button;
}

}  // namespace

TSQLiteDatabase TfrmScanList::openRulesDatabase() const {
  return TSQLiteDatabase(m_dbFileName, kBusyTimeoutMs);
}

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
  TSQLiteDatabase database = openRulesDatabase();
  const std::unique_ptr<TSQLiteTable> table = database.Query(selectAllSql(kScanItemTable));
  table->FirstRow();
  const uint32_t rowCount = table->RowCount();
  RowListModel* rows = m_listView1->rows();
  for (uint32_t i = 0; i < rowCount; ++i) {
    // Every value is read before the row is added, so a failing read adds no half-filled row.
    ListRow row;
    const bool excluded = table->ValueByName("UnScan") == "1";
    row.cells = {QString::fromStdString(table->ValueByName("Id")),
                 QString::fromStdString(table->ValueByName("Name")),
                 excluded ? QStringLiteral("禁止扫描") : QStringLiteral("扫描")};
    row.checked = !excluded;
    rows->appendRow(std::move(row));
    table->NextRow();
  }
}

void TfrmScanList::bsSkinButton1Click() {
  // The dialog closes however the storing ends; the connection is released before that.
  struct CloseAtEnd {
    QDialog* dialog;
    ~CloseAtEnd() { dialog->accept(); }
  } closeAtEnd{this};
  TSQLiteDatabase database = openRulesDatabase();
  const RowListModel* rows = m_listView1->rows();
  const int rowCount = rows->count();
  for (int row = 0; row < rowCount; ++row)
    database.Query(updateUnScanSql(kScanItemTable, rows->text(row, kId).toStdString(), rows->isChecked(row)));
}

void TfrmScanList::bsSkinButton2Click() {
  reject();
}

}  // namespace qinglan::gui
