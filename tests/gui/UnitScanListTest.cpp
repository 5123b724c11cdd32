#include <memory>
#include <string>
#include <vector>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "gui/UnitScanList.h"
#include "rules/SQLiteTable3.h"
#include "support/RulesDbFile.h"

namespace qinglan::test {

namespace {

QList<bool> checks(const gui::ListView* view) {
  QList<bool> marks;
  for (int row = 0; row < view->rows()->count(); ++row)
    marks.append(view->rows()->isChecked(row));
  return marks;
}

}  // namespace

class UnitScanListTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TempDir> m_dir;
  std::unique_ptr<ScriptedMessageBoxes> m_boxes;

  std::string dbFile() const { return m_dir->path("app/ccdb.db"); }
  // Each row's stored UnScan with its storage class, "0 integer".
  std::vector<std::string> storedUnScan() const {
    return columnValues(dbFile(),
                        "SELECT coalesce(UnScan, 'NULL') || ' ' || typeof(UnScan) FROM ccdb ORDER BY rowid");
  }
  void writeMixedItems() const {
    writeScanItems(dbFile(), {{.unScan = "0", .name = "日志文件"},
                              {.unScan = "1", .name = "旧日志"},
                              {.unScan = "'1'", .name = "文档锁定文件"},
                              {.unScan = "NULL", .name = "内存转储"},
                              {.unScan = "''", .name = "空值"}});
  }

 private slots:
  void init() {
    m_dir = std::make_unique<TempDir>();
    m_dir->makeFolder("app");
    m_boxes = std::make_unique<ScriptedMessageBoxes>();
  }
  void cleanup() {
    m_boxes.reset();
    m_dir.reset();
  }

  void formLayout() {
    writeScanItems(dbFile(), {});
    gui::TfrmScanList dialog(dbFile());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("扫描列表"));
    QCOMPARE(dialog.size(), QSize(487, 441));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    QCOMPARE(
        dialog.Label1()->text(),
        QStringLiteral(
            "扫描目录只针对云端缓存，不会扫描系统其它目录。勾选需要扫描的项目，如不需扫描，请不要勾选。"));
    QVERIFY(dialog.Label1()->wordWrap());
    QCOMPARE(dialog.Label1()->geometry(), QRect(8, 8, 465, 25));
    QCOMPARE(dialog.ListView1()->geometry(), QRect(8, 40, 465, 353));
    const gui::RowListModel* rows = dialog.ListView1()->rows();
    QCOMPARE((QStringList{rows->caption(0), rows->caption(1), rows->caption(2)}),
             strings({"id", "说明", "状态"}));
    QCOMPARE(dialog.ListView1()->columnWidth(1), 300);
    QCOMPARE(dialog.ListView1()->columnWidth(2), 80);
    QCOMPARE(dialog.bsSkinButton1()->text(), QStringLiteral("确定"));
    QCOMPARE(dialog.bsSkinButton1()->geometry(), QRect(320, 400, 73, 25));
    QCOMPARE(dialog.bsSkinButton2()->text(), QStringLiteral("取消"));
    QCOMPARE(dialog.bsSkinButton2()->geometry(), QRect(400, 399, 73, 25));
    QCOMPARE(rows->count(), 0);
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void onlyAnUnScanOfOneExcludesAnItem() {
    writeMixedItems();
    gui::TfrmScanList dialog(dbFile());
    const gui::ListView* list = dialog.ListView1();
    QCOMPARE(columnTexts(list, 0), strings({"1", "2", "3", "4", "5"}));
    QCOMPARE(columnTexts(list, 1), strings({"日志文件", "旧日志", "文档锁定文件", "内存转储", "空值"}));
    QCOMPARE(columnTexts(list, 2), strings({"扫描", "禁止扫描", "禁止扫描", "扫描", "扫描"}));
    QCOMPARE(checks(list), (QList<bool>{true, false, false, true, true}));
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void confirmingStoresEveryRowAndTheNextOpeningShowsIt() {
    writeMixedItems();
    {
      gui::TfrmScanList dialog(dbFile());
      dialog.bsSkinButton1()->click();
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    // Unchanged rows are written too: every value is now an integer, NULL stored as 0.
    QCOMPARE(storedUnScan(),
             (std::vector<std::string>{"0 integer", "1 integer", "1 integer", "0 integer", "0 integer"}));

    {
      gui::TfrmScanList dialog(dbFile());
      dialog.ListView1()->rows()->setChecked(0, false);
      dialog.ListView1()->rows()->setChecked(1, true);
      // The state column keeps what was loaded until the next opening.
      QCOMPARE(columnTexts(dialog.ListView1(), 2), strings({"扫描", "禁止扫描", "禁止扫描", "扫描", "扫描"}));
      dialog.bsSkinButton1()->click();
    }
    gui::TfrmScanList reopened(dbFile());
    QCOMPARE(checks(reopened.ListView1()), (QList<bool>{false, true, false, true, true}));
    QCOMPARE(columnTexts(reopened.ListView1(), 2), strings({"禁止扫描", "扫描", "禁止扫描", "扫描", "扫描"}));
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void cancellingStoresNothing() {
    writeMixedItems();
    const std::vector<std::string> before = storedUnScan();
    gui::TfrmScanList dialog(dbFile());
    dialog.ListView1()->rows()->invertChecks();
    dialog.bsSkinButton2()->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(storedUnScan(), before);
  }

  void aFailingUpdateStopsTheStoringClosesAndIsShown() {
    {
      // An Id that is no number makes its update name a column that does not exist.
      TSQLiteDatabase db(dbFile(), TSQLiteDatabase::OpenMode::Create);
      db.Query("CREATE TABLE ccdb (Id TEXT, Name TEXT, UnScan, Folder TEXT, File TEXT)");
      for (const char* id : {"1", "2", "x", "4"})
        db.Query("INSERT INTO ccdb VALUES ('" + std::string(id) + "', '项目', '1', '', '*.log')");
    }
    gui::TfrmScanList dialog(dbFile());
    dialog.show();
    dialog.bsSkinButton1()->click();

    QCOMPARE(storedUnScan(), (std::vector<std::string>{"1 integer", "1 integer", "1 text", "1 text"}));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown[0].kind, QStringLiteral("error"));
    QVERIFY2(m_boxes->shown[0].text.contains(QStringLiteral("no such column: x")),
             qPrintable(m_boxes->shown[0].text));
  }

  void aTableThatCannotBeReadIsShownAndTheDialogStillOpens_data() {
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QString>("message");
    QTest::newRow("no table") << QStringList{QStringLiteral("CREATE TABLE other (x)")} << "no such table";
    QTest::newRow("no Name column") << QStringList{QStringLiteral("CREATE TABLE ccdb (Id, UnScan)"),
                                                   QStringLiteral("INSERT INTO ccdb VALUES (1, 0)")}
                                    << "Name";
  }

  void aTableThatCannotBeReadIsShownAndTheDialogStillOpens() {
    QFETCH(QStringList, statements);
    QFETCH(QString, message);
    {
      TSQLiteDatabase db(dbFile(), TSQLiteDatabase::OpenMode::Create);
      for (const QString& statement : statements)
        db.Query(statement.toStdString());
    }
    gui::TfrmScanList dialog(dbFile());
    QCOMPARE(m_boxes->shown.size(), 1);
    QVERIFY2(m_boxes->shown[0].text.contains(message), qPrintable(m_boxes->shown[0].text));
    QCOMPARE(dialog.ListView1()->rows()->count(), 0);

    dialog.bsSkinButton1()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(m_boxes->shown.size(), 1);
  }
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::UnitScanListTest)
#include "UnitScanListTest.moc"
