#include "gui/RowListModel.h"

#include <QColor>
#include <QSignalSpy>
#include <QTest>

#include "gui/IconList.h"
#include "gui/TextCollation.h"

namespace qinglan::test {

using gui::ListRow;
using gui::RowListModel;

class RowListModelTest : public QObject {
  Q_OBJECT

 private:
  static RowListModel* resources(QObject* parent, const gui::IconList* icons = nullptr) {
    return new RowListModel({QStringLiteral("软件名"), QStringLiteral("资源ID")},
                            {.checkable = true, .redUnknownRows = true, .icons = icons}, parent);
  }
  static ListRow row(const QString& name, bool checked = false) {
    return {{name, QStringLiteral("1")}, checked, -1};
  }
  static QStringList strings(std::initializer_list<const char*> utf8) {
    QStringList list;
    for (const char* text : utf8)
      list.append(QString::fromUtf8(text));
    return list;
  }
  static QList<bool> checks(const RowListModel& model) {
    QList<bool> marks;
    for (int i = 0; i < model.count(); ++i)
      marks.append(model.isChecked(i));
    return marks;
  }

 private slots:
  void queuedRowsAppearInOneInsertion() {
    QObject owner;
    RowListModel* model = resources(&owner);
    QSignalSpy inserted(model, &RowListModel::rowsInserted);
    for (int i = 0; i < 1000; ++i)
      model->queueRow(row(QString::number(i)));
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(model->count(), 1000);
    QCOMPARE(model->text(999, 0), QStringLiteral("999"));

    model->flush();
    model->flush();
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted[0][1].toInt(), 0);
    QCOMPARE(inserted[0][2].toInt(), 999);
    QCOMPARE(model->rowCount(), 1000);

    model->queueRow(row(QStringLiteral("late")));
    QCOMPARE(model->appendRow(row(QStringLiteral("now"))), 1001);
    QCOMPARE(model->text(1000, 0), QStringLiteral("late"));

    // Rows handed over as UTF-8 come back whole, sharing their repeated texts with other rows.
    const auto root = std::make_shared<const platform::ScanRoot>(platform::ScanRoot{"/c/", "", "/c/", {}});
    const platform::FindingOrigin origin{root, {7, 42, 0100000}};
    const std::string_view cells[] = {"日志.log", "1"};
    model->queueRow(
        gui::Utf8ListRow{.cells = cells, .checked = true, .origin = &origin, .bytes = 5, .scanItem = "日志"});
    model->flushSoon();
    const ListRow utf8 = model->row(1002);
    QCOMPARE(model->rowCount(), 1003);
    QCOMPARE(utf8.cells, QStringList({QStringLiteral("日志.log"), QStringLiteral("1")}));
    QVERIFY(utf8.checked && utf8.origin == origin && utf8.bytes == 5 && utf8.scanItem == "日志");
    QVERIFY(utf8.serial == 1002 && model->row(0).origin.root == nullptr);
  }

  void wholeListCheckCommandsChangeEveryRowAtOnce() {
    QObject owner;
    RowListModel* model = resources(&owner);
    model->appendRow(row(QStringLiteral("a"), true));
    model->appendRow(row(QStringLiteral("b"), false));
    model->queueRow(row(QStringLiteral("c"), true));
    QSignalSpy changed(model, &RowListModel::dataChanged);

    model->invertChecks();
    QCOMPARE(checks(*model), (QList<bool>{false, true, false}));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toModelIndex().row(), 0);
    QCOMPARE(changed[0][1].toModelIndex().row(), 2);

    model->checkAll();
    QCOMPARE(checks(*model), (QList<bool>{true, true, true}));
    model->uncheckAll();
    QCOMPARE(checks(*model), (QList<bool>{false, false, false}));
    QCOMPARE(changed.size(), 3);
    QCOMPARE(model->caption(0), QStringLiteral("软件名"));
  }

  void checkCommandsOnAnEmptyListDoNothing() {
    QObject owner;
    RowListModel* model = resources(&owner);
    QSignalSpy changed(model, &RowListModel::dataChanged);
    model->checkAll();
    model->uncheckAll();
    model->invertChecks();
    QCOMPARE(changed.size(), 0);
  }

  void theUserChecksOnlyTheFirstColumn() {
    QObject owner;
    RowListModel* model = resources(&owner);
    model->appendRow(row(QStringLiteral("a")));
    QVERIFY(model->flags(model->index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(!model->flags(model->index(0, 1)).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(model->isChecked(0));
    QVERIFY(!model->setData(model->index(0, 1), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(model->isChecked(0));

    RowListModel plain({QStringLiteral("软件名")}, {}, &owner);
    plain.appendRow(row(QStringLiteral("a")));
    QVERIFY(!plain.flags(plain.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(!plain.data(plain.index(0, 0), Qt::CheckStateRole).isValid());
  }

  void unknownRowsAreRedAndOthersBlack() {
    QObject owner;
    RowListModel* model = resources(&owner);
    for (const QString& name :
         {QStringLiteral("未知"), QStringLiteral("星海"), QStringLiteral("未知 "), QString()})
      model->appendRow(row(name));
    const auto colour = [&](int r, int column) {
      return model->data(model->index(r, column), Qt::ForegroundRole);
    };
    QCOMPARE(colour(0, 0).value<QColor>(), QColor(255, 0, 0));
    QCOMPARE(colour(0, 1).value<QColor>(), QColor(255, 0, 0));
    for (int r : {1, 2, 3})
      QCOMPARE(colour(r, 0).value<QColor>(), QColor(0, 0, 0));

    model->setText(1, 0, QStringLiteral("未知"));
    QCOMPARE(colour(1, 0).value<QColor>(), QColor(255, 0, 0));

    RowListModel updates({QStringLiteral("软件名")}, {.checkable = true}, &owner);
    updates.appendRow(row(QStringLiteral("未知")));
    QVERIFY(!updates.data(updates.index(0, 0), Qt::ForegroundRole).isValid());

    // Findings: a row whose cleaning failed turns red as its status changes.
    RowListModel findings({QStringLiteral("文件名"), QStringLiteral("状态")}, {.statusColumn = 1}, &owner);
    for (const char* status : {"清理失败", "清理成功", "清理失败"})
      findings.appendRow({.cells = {QStringLiteral("a.log"), QString::fromUtf8(status)}});
    QSignalSpy changed(&findings, &QAbstractItemModel::dataChanged);
    findings.setText(2, 1, QStringLiteral("清理成功"));
    QCOMPARE(changed.last().at(0).toModelIndex(), findings.index(2, 0));
    const QList<QColor> expected = {QColor(255, 0, 0), QColor(0, 0, 0), QColor(0, 0, 0)};
    for (int r = 0; r < 3; ++r)
      QCOMPARE(findings.data(findings.index(r, 0), Qt::ForegroundRole).value<QColor>(), expected[r]);
  }

  void counterCaptionsAndIcons() {
    QObject owner;
    gui::IconList icons;
    RowListModel* model = resources(&owner, &icons);
    QSignalSpy header(model, &RowListModel::headerDataChanged);
    model->setCaption(0, gui::counterCaption(QStringLiteral("软件名"), 12));
    QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("软件名[12]"));
    QCOMPARE(header.size(), 1);

    model->appendRow({{QStringLiteral("a")}, true, 0});
    model->appendRow({{QStringLiteral("b")}, true, 7});
    QVERIFY(!model->data(model->index(0, 0), Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(model->data(model->index(1, 0), Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(!model->data(model->index(0, 1), Qt::DecorationRole).isValid());
  }

  void headerSortsByBytesTimeOrCollatedTextAndKeepsAddedOrderForTies_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("names");
    QTest::newRow("size, folder first") << 2 << int(Qt::AscendingOrder) << "dir c b a";
    QTest::newRow("size reversed") << 2 << int(Qt::DescendingOrder) << "a b c dir";
    QTest::newRow("date by time, not by text") << 3 << int(Qt::AscendingOrder) << "c a dir b";
    QTest::newRow("location by pinyin, ties added order") << 1 << int(Qt::AscendingOrder) << "c b dir a";
    QTest::newRow("location reversed, ties added order") << 1 << int(Qt::DescendingOrder) << "a b dir c";
    QTest::newRow("added order again") << -1 << int(Qt::AscendingOrder) << "b a c dir";
  }

  void headerSortsByBytesTimeOrCollatedTextAndKeepsAddedOrderForTies() {
    QFETCH(int, column);
    QFETCH(int, order);
    QFETCH(QString, names);
    QObject owner;
    auto* model =
        new RowListModel(strings({"文件名", "文件位置", "文件大小", "文件日期", "状态"}),
                         {.checkable = true, .sortable = true, .sizeColumn = 2, .dateColumn = 3}, &owner);
    // Sizes 10, 9 and 1000 bytes shown as text that sorts otherwise; dates likewise.
    const auto finding = [](const char* name, const char* location, int64_t bytes, double time) {
      ListRow listed{strings({name, location, "x", "2013/10/1"}), bytes == 9, -1};
      listed.bytes = bytes;
      listed.time = time;
      return listed;
    };
    model->appendRow(finding("b", "北京", 10, 300));
    model->appendRow(finding("a", "中国", 1000, 100));
    model->queueRow(finding("c", "阿里", 9, 50));
    model->queueRow(finding("dir", "北京", -1, 200));
    QSignalSpy reordered(model, &RowListModel::rowsReordered);

    model->sort(0, Qt::DescendingOrder);
    model->sort(column, static_cast<Qt::SortOrder>(order));

    QStringList sorted;
    for (int i = 0; i < model->count(); ++i)
      sorted.append(model->text(i, 0));
    QCOMPARE(sorted.join(QLatin1Char(' ')), names);
    QCOMPARE(model->isChecked(sorted.indexOf(QStringLiteral("c"))), true);
    QCOMPARE(checks(*model).count(true), 1);
    // The second reordering tells where each row of the first one went.
    const auto newRowOf = reordered.at(1).at(0).value<std::vector<int>>();
    QCOMPARE(model->text(newRowOf.at(0), 0), QStringLiteral("dir"));
    // A status given after the sort goes with its row when the order changes again.
    model->setText(static_cast<int>(sorted.indexOf(QStringLiteral("a"))), 4, QStringLiteral("清理失败"));
    model->sort(-1);
    QCOMPARE(model->text(1, 4), QStringLiteral("清理失败"));
    QCOMPARE(model->text(1, 1), QStringLiteral("中国"));
    model->clear();
    QCOMPARE(model->sortColumn(), -1);
  }

  void namesSortAsTheCollatorOrdersThem() {
    QVERIFY(gui::AsciiCollationKeys(gui::interfaceCollator()).usable());
    const QStringList names =
        strings({"b.tmp",  "B.tmp",    "a10.log",  "a9.log", "a_1.log", "a-1.log", "a 1.log",
                 "A1.LOG", "中国.txt", "阿里.txt", "北京",   "北京1",   "123",     "12",
                 "",       "~x",       "(1).txt",  "Ab",     "aB",      "ab",      "ab.",
                 "z北",    "Z",        "é.log",    "e.log",  "f.log",   "[x]",     "x y"});
    QObject owner;
    RowListModel model({QStringLiteral("文件名")}, {.sortable = true}, &owner);
    for (const QString& name : names)
      model.queueRow(row(name));
    model.sort(0, Qt::AscendingOrder);
    QStringList sorted;
    for (int i = 0; i < model.count(); ++i)
      sorted.append(model.text(i, 0));

    QStringList expected = names;
    std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
      return gui::interfaceCollator().compare(a, b) < 0;
    });
    QCOMPARE(sorted, expected);

    // Texts the collator finds equal (a control character weighs nothing) keep the order they were
    // added in, whichever way round the list is sorted.
    const QString withControl = QStringLiteral("a\u0001b");
    QCOMPARE(gui::interfaceCollator().compare(withControl, QStringLiteral("ab")), 0);
    RowListModel ties({QStringLiteral("文件名")}, {.sortable = true}, &owner);
    for (const QString& name :
         {QStringLiteral("ab"), withControl, QStringLiteral("aa"), QStringLiteral("ab")})
      ties.appendRow(row(name));
    for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
      ties.sort(0, order);
      const int first = order == Qt::AscendingOrder ? 1 : 0;
      QCOMPARE(ties.row(first).serial, size_t{0});
      QCOMPARE(ties.row(first + 1).serial, size_t{1});
      QCOMPARE(ties.row(first + 2).serial, size_t{3});
    }
  }

  void deleteAndClear() {
    QObject owner;
    RowListModel* model = resources(&owner);
    for (const char* name : {"a", "b", "c"})
      model->appendRow(row(QLatin1String(name)));
    model->deleteRow(1);
    model->deleteRow(9);
    QCOMPARE(model->count(), 2);
    QCOMPARE(model->text(1, 0), QStringLiteral("c"));
    model->queueRow(row(QStringLiteral("d")));
    model->clear();
    QCOMPARE(model->count(), 0);
  }
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::RowListModelTest)
#include "RowListModelTest.moc"
