#include "gui/RowListModel.h"

#include <QColor>
#include <QSignalSpy>
#include <QTest>

#include "gui/IconList.h"

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
