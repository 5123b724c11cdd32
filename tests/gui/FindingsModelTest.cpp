#include "gui/FindingsModel.h"

#include <QColor>
#include <QSignalSpy>
#include <QTest>

#include "gui/GuiTestSupport.h"
#include "gui/TextCollation.h"

namespace qinglan::test {

using gui::FindingsModel;

class FindingsModelTest : public QObject {
  Q_OBJECT

 private:
  static ResultsRow named(const QString& name, bool checked = false) {
    ResultsRow row;
    row.name = name.toStdString();
    row.checked = checked;
    return row;
  }
  static QStringList names(const FindingsModel& model) {
    QStringList texts;
    for (int i = 0; i < model.count(); ++i)
      texts.append(model.text(i, 0));
    return texts;
  }
  static QList<bool> checks(const FindingsModel& model) {
    QList<bool> marks;
    for (int i = 0; i < model.count(); ++i)
      marks.append(model.isChecked(i));
    return marks;
  }

 private slots:
  void findingsAppearInOneInsertionUnderTheColumnsCaptions() {
    Findings findings;
    FindingsModel model(findings);
    QSignalSpy inserted(&model, &FindingsModel::rowsInserted);
    for (int i = 0; i < 1000; ++i)
      findings.append(named(QString::number(i)));
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.count(), 1000);
    QCOMPARE(model.text(999, 0), QStringLiteral("999"));
    model.flush();
    model.flushSoon();
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted[0][2].toInt(), 999);
    QCOMPARE(model.rowCount(), 1000);

    QStringList captions;
    for (int column = 0; column < model.columnCount(); ++column)
      captions.append(model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    QCOMPARE(captions,
             QStringList({QStringLiteral("文件名"), QStringLiteral("文件位置"), QStringLiteral("文件大小"),
                          QStringLiteral("文件日期"), QStringLiteral("状态")}));
    model.setCaption(0, QStringLiteral("文件名[1000]"));
    QCOMPARE(model.caption(0), QStringLiteral("文件名[1000]"));
    // A name that is not UTF-8 is drawn as well as it decodes and kept byte for byte.
    findings.append({.name = "\xff.log", .location = "/c/"});
    model.flush();
    QCOMPARE(model.text(1000, 0), QString::fromUtf8("\xff.log"));
    QCOMPARE(findings.row(1000).name, "\xff.log");
    model.clear();
    QCOMPARE(findings.count(), size_t{0});
    QCOMPARE(model.rowCount(), 0);
  }

  void checksFirstColumnAndWholeListCommands() {
    Findings findings;
    FindingsModel model(findings);
    QSignalSpy changed(&model, &FindingsModel::dataChanged);
    model.checkAll();
    QCOMPARE(changed.size(), 0);
    findings.append(named(QStringLiteral("a"), true));
    findings.append(named(QStringLiteral("b")));
    model.flush();
    findings.append(named(QStringLiteral("c"), true));
    model.invertChecks();
    QCOMPARE(checks(model), (QList<bool>{false, true, false}));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][1].toModelIndex().row(), 2);
    model.checkAll();
    QCOMPARE(checks(model), (QList<bool>{true, true, true}));
    model.uncheckAll();
    QCOMPARE(checks(model), (QList<bool>{false, false, false}));

    QVERIFY(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(!model.flags(model.index(0, 1)).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(!model.setData(model.index(1, 1), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(checks(model), (QList<bool>{true, false, false}));
  }

  void unknownAndFailedRowsAreRed() {
    Findings findings;
    FindingsModel model(findings);
    for (const char* status : {"清理失败", "清理成功", "清理失败"})
      findings.append({.name = "a.log", .status = status});
    findings.append({.name = "未知"});
    model.flush();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setStatus(2, "清理成功");
    QCOMPARE(changed.last().at(0).toModelIndex(), model.index(2, 0));
    QCOMPARE(model.text(2, 4), QStringLiteral("清理成功"));
    const QList<QColor> expected = {QColor(255, 0, 0), QColor(0, 0, 0), QColor(0, 0, 0), QColor(255, 0, 0)};
    for (int r = 0; r < 4; ++r)
      QCOMPARE(model.data(model.index(r, 1), Qt::ForegroundRole).value<QColor>(), expected[r]);
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
    Findings findings;
    FindingsModel model(findings);
    // Sizes 10, 9 and 1000 bytes shown as text that sorts otherwise; dates likewise.
    const auto finding = [](const char* name, const char* location, int64_t bytes, double time) {
      ResultsRow row{.name = name, .location = location, .sizeText = "x", .dateText = "2013/10/1"};
      row.checked = bytes == 9;
      row.isFolder = bytes < 0;
      row.size = bytes < 0 ? 0 : bytes;
      row.creationTime = time;
      return row;
    };
    findings.append(finding("b", "北京", 10, 300));
    findings.append(finding("a", "中国", 1000, 100));
    model.flush();
    findings.append(finding("c", "阿里", 9, 50));
    findings.append(finding("dir", "北京", -1, 200));
    QSignalSpy reordered(&model, &FindingsModel::rowsReordered);

    model.sort(0, Qt::DescendingOrder);
    model.sort(column, static_cast<Qt::SortOrder>(order));

    const QStringList sorted = FindingsModelTest::names(model);
    QCOMPARE(sorted.join(QLatin1Char(' ')), names);
    QCOMPARE(model.isChecked(sorted.indexOf(QStringLiteral("c"))), true);
    QCOMPARE(checks(model).count(true), 1);
    // The second reordering tells where each row of the first one went.
    const auto newRowOf = reordered.at(1).at(0).value<std::vector<int>>();
    QCOMPARE(model.text(newRowOf.at(0), 0), QStringLiteral("dir"));
    // A status given after the sort goes with its row when the order changes again.
    model.setStatus(static_cast<int>(sorted.indexOf(QStringLiteral("a"))), "清理失败");
    model.sort(-1);
    QCOMPARE(model.text(1, 4), QStringLiteral("清理失败"));
    QCOMPARE(model.text(1, 1), QStringLiteral("中国"));
    model.clear();
    QCOMPARE(model.sortColumn(), -1);
  }

  void namesSortAsTheCollatorOrdersThem() {
    QVERIFY(gui::AsciiCollationKeys(gui::interfaceCollator()).usable());
    const QStringList names =
        strings({"b.tmp",  "B.tmp",    "a10.log",  "a9.log", "a_1.log", "a-1.log", "a 1.log",
                 "A1.LOG", "中国.txt", "阿里.txt", "北京",   "北京1",   "123",     "12",
                 "",       "~x",       "(1).txt",  "Ab",     "aB",      "ab",      "ab.",
                 "z北",    "Z",        "é.log",    "e.log",  "f.log",   "[x]",     "x y"});
    Findings findings;
    FindingsModel model(findings);
    for (const QString& name : names)
      findings.append(named(name));
    model.sort(0, Qt::AscendingOrder);

    QStringList expected = names;
    std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
      return gui::interfaceCollator().compare(a, b) < 0;
    });
    QCOMPARE(FindingsModelTest::names(model), expected);

    // Texts the collator finds equal (a control character weighs nothing) keep the order they were
    // added in, whichever way round the list is sorted.
    const QString withControl = QStringLiteral("a\u0001b");
    QCOMPARE(gui::interfaceCollator().compare(withControl, QStringLiteral("ab")), 0);
    Findings tied;
    FindingsModel ties(tied);
    for (const QString& name :
         {QStringLiteral("ab"), withControl, QStringLiteral("aa"), QStringLiteral("ab")})
      tied.append(named(name));
    for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
      ties.sort(0, order);
      const int first = order == Qt::AscendingOrder ? 1 : 0;
      QCOMPARE(tied.serial(static_cast<size_t>(first)), 0u);
      QCOMPARE(tied.serial(static_cast<size_t>(first + 1)), 1u);
      QCOMPARE(tied.serial(static_cast<size_t>(first + 2)), 3u);
    }
  }
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::FindingsModelTest)
#include "FindingsModelTest.moc"
