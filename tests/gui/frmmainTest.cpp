#include <map>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "GuiTestSupport.h"
#include "gui/ManualWindow.h"
#include "gui/frmmain.h"
#include "rules/RulesSql.h"
#include "support/RulesDbFile.h"

namespace qinglan::test {

using platform::DriveKind;

class frmmainTest : public QObject {
  Q_OBJECT

 private:
  static QStringList menuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
      texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
  }
  static QStringList headerTexts(const gui::ListView* view) {
    QStringList texts;
    for (int column = 0; column < view->model()->columnCount(); ++column)
      texts.append(view->model()->headerData(column, Qt::Horizontal).toString() + QLatin1Char(' ') +
                   QString::number(view->columnWidth(column)));
    return texts;
  }
  static QList<bool> checks(const gui::ListView* view) {
    QList<bool> marks;
    for (int row = 0; row < view->model()->rowCount(); ++row)
      marks.append(view->model()->index(row, 0).data(Qt::CheckStateRole) == Qt::Checked);
    return marks;
  }
  static void addFinding(gui::TForm1& form, const QString& name, const QString& location) {
    ResultsRow row;
    row.name = name.toStdString();
    row.location = location.toStdString();
    row.sizeText = "1.00 KB";
    row.dateText = "2012/3/1";
    row.checked = true;
    showFinding(form, row);
  }

 private slots:
  void init() { m_boxes = std::make_unique<ScriptedMessageBoxes>(); }
  void cleanup() { m_boxes.reset(); }

  void startUpTakesTheFirstLocalVolumeWithACacheFolder() {
    SampleMachine machine;
    machine.makeCache(machine.addVolume("net", DriveKind::Remote));
    machine.makeCache(machine.addVolume("cd", DriveKind::Optical));
    machine.dir().writeFile("b/CloudCache", "a file");
    machine.addVolume("b", DriveKind::Fixed);
    machine.addVolume("usb", DriveKind::Removable);
    machine.dir().makeFolder("c/Games/CloudCache");
    machine.addVolume("c", DriveKind::Fixed);
    const std::string d = machine.makeCache(machine.addVolume("d", DriveKind::Fixed));
    const std::string e = machine.makeCache(machine.addVolume("e", DriveKind::Removable));
    machine.addNamedResource(d, "1001", "甲");
    machine.addNamedResource(e, "2001", "乙");

    gui::TForm1 form(machine.environment());
    QVERIFY(!form.terminationRequested());
    QCOMPARE(form.settings().cloudCachePath, d);
    QCOMPARE(form.Label3()->text(), QStringLiteral("您当前选择扫描的是 ") + QString::fromStdString(d));
    QCOMPARE(columnTexts(form.ListView2(), 1), strings({"1001"}));
    QCOMPARE(form.settings().paths.appPath, machine.appDir());
    QCOMPARE(form.settings().scanSettings().dbFileName, machine.appDir() + "ccdb.db");
    QCOMPARE(form.settings().scanSettings().cloudCachePath, d);
    QCOMPARE(std::string(kScanItemTable), "ccdb");
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void withoutACacheStartUpSaysSoAndEnds() {
    SampleMachine machine;
    machine.makeCache(machine.addVolume("net", DriveKind::Remote));
    machine.makeCache(machine.addVolume("ram", DriveKind::Ram));
    machine.dir().makeFolder("c/Games/CloudCache");
    machine.addVolume("c", DriveKind::Fixed);

    gui::TForm1 form(machine.environment());
    QVERIFY(form.terminationRequested());
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown[0].kind, QStringLiteral("warning"));
    QCOMPARE(m_boxes->shown[0].title, QStringLiteral("提示"));
    QCOMPARE(m_boxes->shown[0].text, QStringLiteral("没有找到云端缓存目录，程序将退出！"));
    QCOMPARE(m_boxes->shown[0].parent, nullptr);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.Label3()->text(), QStringLiteral("您当前选择扫描的是"));
    QCOMPARE(form.ListView2()->rows()->count(), 0);
  }

  void windowPagesListsAndMenus() {
    SampleMachine machine;
    machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    gui::TForm1 form(machine.environment());

    QCOMPARE(form.windowTitle(), QStringLiteral("晴岚清扫助手 V2.0.0"));
    QCOMPARE(form.size(), QSize(740, 524));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.bsSkinPageControl1()->geometry(), QRect(8, 8, 724, 513));

    QStringList tabs;
    for (int page = 0; page < form.bsSkinPageControl1()->count(); ++page)
      tabs.append(form.bsSkinPageControl1()->tabText(page));
    QCOMPARE(tabs,
             strings({"首页", "基本扫描", "白名单", "大文件扫描", "软件缓存清理", "软件升级", "扫描结果"}));
    QCOMPARE(form.bsSkinPageControl1()->currentIndex(), 0);
    QCOMPARE(form.homePage()->WebBrowser1()->objectName(), QStringLiteral("WebBrowser1"));

    QCOMPARE(headerTexts(form.ListView2()), strings({"软件名[0] 300", "资源ID 300"}));
    QCOMPARE(headerTexts(form.ListView3()), strings({"软件名 300", "资源ID 300"}));
    QCOMPARE(headerTexts(form.ListView4()),
             strings({"软件名 250", "最新版本 200", "发布日期 80", "资源ID 120"}));
    QCOMPARE(headerTexts(form.ListView1()),
             strings({"文件名 150", "文件位置 250", "文件大小 90", "文件日期 100", "状态 80"}));

    QCOMPARE(menuTexts(form.bsSkinPopupMenu1()),
             strings({"全部选择", "全部不选", "反选", "-", "加入白名单", "-", "打开目录"}));
    QCOMPARE(menuTexts(form.bsSkinPopupMenu2()),
             strings({"全部选择", "全部不选", "反选", "-", "打开文件目录"}));
    QCOMPARE(menuTexts(form.bsSkinPopupMenu3()), strings({"复制下载地址", "-", "该版本不再提醒"}));
    QCOMPARE(form.ListView2()->popupMenu(), form.bsSkinPopupMenu1());
    QCOMPARE(form.ListView1()->popupMenu(), form.bsSkinPopupMenu2());
    QCOMPARE(form.ListView4()->popupMenu(), form.bsSkinPopupMenu3());
    QCOMPARE(form.ListView3()->popupMenu(), nullptr);

    const gui::LargeFilePage* large = form.largeFilePage();
    QCOMPARE(large->ComboBox1()->count(), 12);
    QCOMPARE(large->ComboBox1()->itemText(0), QStringLiteral("10"));
    QCOMPARE(large->ComboBox1()->itemText(11), QStringLiteral("2000"));
    QCOMPARE(large->ComboBox1()->currentText(), QStringLiteral("500"));
    QCOMPARE(large->ComboBox2()->currentText(), QStringLiteral("所有文件"));
    QVERIFY(large->bsSkinCheckRadioBox1()->isChecked());
    QVERIFY(form.resultsPage()->Panel1()->isHidden());
    QCOMPARE(form.resultsPage()->Label1()->text(), QStringLiteral("准备就绪。。。。"));
    QCOMPARE(form.updatePage()->Label12()->text(), QStringLiteral("准备就绪"));
  }

  void checkCommandsOfBothLists() {
    SampleMachine machine;
    const std::string cache = machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    for (const char* id : {"1001", "1002", "1003"})
      machine.addResource(cache, id, "");
    gui::TForm1 form(machine.environment());
    gui::ListView* resources = form.ListView2();
    QCOMPARE(checks(resources), (QList<bool>{true, true, true}));

    resources->rows()->setChecked(1, false);
    form.N3()->trigger();
    QCOMPARE(checks(resources), (QList<bool>{false, true, false}));
    form.N1()->trigger();
    QCOMPARE(checks(resources), (QList<bool>{true, true, true}));
    form.N2()->trigger();
    QCOMPARE(checks(resources), (QList<bool>{false, false, false}));
    QCOMPARE(resources->rows()->caption(0), QStringLiteral("软件名[3]"));

    for (QAction* action : {form.MenuItem1(), form.MenuItem2(), form.MenuItem3()})
      action->trigger();
    form.resultsPage()->bsSkinButton4()->click();
    QCOMPARE(form.resultsModel()->count(), 0);

    gui::ListView* findings = form.ListView1();
    for (const char* name : {"a.log", "b.tmp", "c.bak"})
      addFinding(form, QLatin1String(name), QStringLiteral("/x/"));
    form.resultsModel()->setChecked(1, false);
    form.MenuItem3()->trigger();
    QCOMPARE(checks(findings), (QList<bool>{false, true, false}));
    form.resultsPage()->bsSkinButton4()->click();
    QCOMPARE(checks(findings), (QList<bool>{true, true, true}));
    form.resultsPage()->bsSkinButton5()->click();
    QCOMPARE(checks(findings), (QList<bool>{false, false, false}));
    form.MenuItem1()->trigger();
    QCOMPARE(checks(findings), (QList<bool>{true, true, true}));
    form.MenuItem2()->trigger();
    QCOMPARE(checks(findings), (QList<bool>{false, false, false}));
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void unknownRowsAreDrawnRed() {
    SampleMachine machine;
    const std::string cache = machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    machine.addNamedResource(cache, "1001", "甲");
    machine.addResource(cache, "1002", "");
    machine.writeWbLst("[White]\r\n3001=1\r\n3002=1\r\n[WhiteName]\r\n3001=未知\r\n3002=乙\r\n");
    gui::TForm1 form(machine.environment());
    form.bsSkinPageControl1()->setCurrentWidget(form.whitelistPage());
    addFinding(form, QStringLiteral("未知"), QStringLiteral("/x/"));
    addFinding(form, QStringLiteral("a.log"), QStringLiteral("/x/"));

    for (const gui::ListView* view : {form.ListView2(), form.ListView3(), form.ListView1()}) {
      const QAbstractItemModel* rows = view->model();
      const int unknown = rows->index(0, 0).data().toString() == QStringLiteral("未知") ? 0 : 1;
      QCOMPARE(rows->data(rows->index(unknown, 1), Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
      QCOMPARE(rows->data(rows->index(1 - unknown, 0), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0));
    }
  }

  void activatingTheWhitelistPageRereadsTheFileEveryTime() {
    SampleMachine machine;
    machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    gui::TForm1 form(machine.environment());
    QTabWidget* pages = form.bsSkinPageControl1();

    machine.writeWbLst("[White]\r\n1001=1\r\n[WhiteName]\r\n1001=甲\r\n");
    pages->setCurrentWidget(form.whitelistPage());
    QCOMPARE(columnTexts(form.ListView3(), 0), strings({"甲"}));

    machine.writeWbLst("[White]\r\n1001=1\r\n1002=1\r\n");
    pages->setCurrentWidget(form.largeFilePage());
    QCOMPARE(form.ListView3()->rows()->count(), 1);
    pages->setCurrentWidget(form.whitelistPage());
    QCOMPARE(columnTexts(form.ListView3(), 1), strings({"1001", "1002"}));
    QCOMPARE(form.ListView3()->rows()->caption(0), QStringLiteral("软件名[2]"));
  }

  void aFailingHandlerShowsTheErrorBoxAndTheProgramGoesOn() {
    SampleMachine machine;
    const std::string cache = machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    machine.addNamedResource(cache, "1001", "甲");
    gui::FormEnvironment environment = machine.environment();
    environment.appDir = machine.dir().path("gone/");
    gui::TForm1 form(environment);

    form.ListView2()->selectRow(0);
    form.N5()->trigger();
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown[0].kind, QStringLiteral("error"));
    QCOMPARE(m_boxes->shown[0].title, QStringLiteral("晴岚清扫助手"));
    QCOMPARE(m_boxes->shown[0].text, QStringLiteral("Unable to write to ") +
                                         QString::fromStdString(machine.dir().path("gone/wb.lst")));
    QCOMPARE(columnTexts(form.ListView2(), 1), strings({"1001"}));
    QCOMPARE(form.ListView2()->rows()->caption(0), QStringLiteral("软件名[1]"));

    form.N1()->trigger();
    QCOMPARE(m_boxes->shown.size(), 1);
  }

  void closingDuringALongCommandEndsItThenTheWindow() {
    SampleMachine machine;
    const std::string cache = machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    for (int id = 10000; id < 10300; ++id)
      machine.addResource(cache, std::to_string(id), "");
    gui::TForm1 form(machine.environment());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.ListView2()->rows()->count(), 300);

    QTimer::singleShot(0, &form, [&form] { form.close(); });
    form.bsSkinButton2()->click();
    QVERIFY(!form.isVisible());
    QVERIFY(form.ListView2()->rows()->count() < 300);
    QVERIFY(form.basicScanPage()->isEnabled());
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void showFindingInTheFileManager() {
    RecordingShell shell;
    SampleMachine machine;
    const std::string cache = machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    const QString folder = QString::fromStdString(machine.addResource(cache, "1001", "") + "/0/");
    machine.dir().writeFile("c/CloudCache/1001/0/run.log", "x");
    machine.dir().makeFolder("c/CloudCache/1001/0/temp");
    gui::TForm1 form(machine.environment());
    addFinding(form, QStringLiteral("run.log"), folder);
    addFinding(form, QStringLiteral("temp"), folder);
    addFinding(form, QStringLiteral("gone.tmp"), folder);
    addFinding(form, QStringLiteral("gone.tmp"), QStringLiteral("/no/such/folder/"));

    form.N7()->trigger();
    QVERIFY(shell.calls.isEmpty());
    for (int row = 0; row < 4; ++row) {
      form.ListView1()->selectRow(row);
      form.N7()->trigger();
    }
    QCOMPARE(shell.calls, (QStringList{QStringLiteral("show ") + folder + QStringLiteral("run.log"),
                                       QStringLiteral("show ") + folder + QStringLiteral("temp"),
                                       QStringLiteral("open ") + folder}));
  }

  void longTextsAreCutInTheMiddleOrShownWholeAsTheirToolTip() {
    SampleMachine machine;
    const std::string cache = machine.makeCache(machine.addVolume(std::string(120, 'v'), DriveKind::Fixed));
    gui::TForm1 form(machine.environment());
    const QString shown = form.Label3()->displayedText();
    QVERIFY2(shown.contains(QChar(0x2026)) && shown.startsWith(QStringLiteral("您当前选择扫描的是 ")) &&
                 shown.endsWith(QStringLiteral("/CloudCache")),
             qPrintable(shown));

    gui::ListView* results = form.ListView1();
    const QString location = QString::fromStdString(cache) + QStringLiteral("/1001/0/");
    addFinding(form, QStringLiteral("a.log"), location);
    QVERIFY(results->isCut(results->model()->index(0, 1)));
    QVERIFY(!results->isCut(results->model()->index(0, 0)));
    // The end of a path is what tells the rows apart.
    const QString cell = results->displayedText(results->model()->index(0, 1));
    QVERIFY2(cell.contains(QChar(0x2026)) && cell.startsWith(location.left(4)) &&
                 cell.endsWith(QStringLiteral("/1001/0/")),
             qPrintable(cell));
  }

  void progressPanelsKeepTheirContrastAndEnterPressesTheFocusedButton() {
    SampleMachine machine;
    machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    gui::TForm1 form(machine.environment());
    addFinding(form, QStringLiteral("a.log"), QStringLiteral("/tmp/"));
    form.resultsModel()->setChecked(0, false);
    form.bsSkinPageControl1()->setCurrentWidget(form.resultsPage());
    form.resultsPage()->Panel1()->show();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    for (QWidget* panel : {static_cast<QWidget*>(form.resultsPage()->Panel1()),
                           static_cast<QWidget*>(form.updatePage()->Label12())}) {
      const QImage enabled = panel->grab().toImage();
      form.bsSkinPageControl1()->setEnabled(false);
      const QImage disabled = panel->grab().toImage();
      form.bsSkinPageControl1()->setEnabled(true);
      QCOMPARE(disabled, enabled);
    }

    form.resultsPage()->bsSkinButton4()->setFocus();
    QTest::keyClick(form.windowHandle(), Qt::Key_Return);
    QVERIFY(form.resultsModel()->isChecked(0));
  }

  // Input reaches the window as the window system delivers it, so the application's filter sees it.
  void menusOpenOnTheRowFromTheRightButtonTheMenuKeyAndShiftF10_data() {
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("input");
    for (const int list : {1, 2, 4}) {
      for (const char* input : {"right click", "menu key", "shift f10"})
        QTest::addRow("ListView%d %s", list, input) << list << QString::fromLatin1(input);
    }
  }

  void menusOpenOnTheRowFromTheRightButtonTheMenuKeyAndShiftF10() {
    QFETCH(int, list);
    QFETCH(QString, input);
    SampleMachine machine;
    machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    gui::TForm1 form(machine.environment());
    const std::map<int, std::pair<gui::ListView*, QMenu*>> lists = {
        {1, {form.ListView1(), form.bsSkinPopupMenu2()}},
        {2, {form.ListView2(), form.bsSkinPopupMenu1()}},
        {4, {form.ListView4(), form.bsSkinPopupMenu3()}}};
    const auto [view, menu] = lists.at(list);
    const auto enabledCommands = [menu] {
      int enabled = 0;
      for (const QAction* action : menu->actions())
        enabled += !action->isSeparator() && action->isEnabled() ? 1 : 0;
      return enabled;
    };
    // On an empty list every command would do nothing, so none is offered.
    menu->popup(QPoint());
    QCOMPARE(enabledCommands(), 0);
    menu->hide();
    for (const char* name : {"甲", "乙", "丙"})
      if (view == form.ListView1())
        showFinding(form, {.name = name, .location = "1001"});
      else
        view->rows()->appendRow({.cells = {QString::fromUtf8(name), QStringLiteral("1001")}});
    form.bsSkinPageControl1()->setCurrentWidget(view->parentWidget());
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    QWindow* window = form.windowHandle();
    if (input == QStringLiteral("right click")) {
      const QPoint second =
          view->viewport()->mapTo(&form, view->visualRect(view->model()->index(1, 1)).center());
      QTest::mousePress(window, Qt::RightButton, {}, second);
      QVERIFY(!menu->isVisible());
      QTest::mouseRelease(window, Qt::RightButton, {}, second);
    } else {
      view->setFocus();
      view->setCurrentIndex(view->model()->index(1, 0));
      if (input == QStringLiteral("menu key"))
        QTest::keyClick(window, Qt::Key_Menu);
      else
        QTest::keyClick(window, Qt::Key_F10, Qt::ShiftModifier);
    }
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(view->selectedRow(), 1);
    QCOMPARE(enabledCommands(), menu->actions().size() - (list == 2 ? 2 : 1));
    menu->hide();
  }

  void f1ShowsTheManualWhoseAboutBoxNamesTheVersionAndTheRules() {
    SampleMachine machine;
    machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    const std::string db = machine.appDir() + "ccdb.db";
    writeScanItems(db, {{"0", "", "*.log"}, {"1", "", "*.bak"}});
    writeCacheRules(db, {{"Temp", "*.tmp", "临时"}});
    writeInfoNotes(db, {{".log", "日志", 1}});
    gui::TForm1 form(machine.environment());
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    QTest::keyClick(form.windowHandle(), Qt::Key_F1);
    gui::ManualWindow* manual = form.manualWindow();
    QVERIFY(manual != nullptr && manual->isVisible());
    QVERIFY(manual->browser()->toPlainText().contains(QStringLiteral("清理选定")));
    manual->aboutButton()->click();
    QCOMPARE(m_boxes->shown.size(), 1);
    const QString about = m_boxes->shown.front().text;
    QVERIFY2(about.startsWith(QStringLiteral("晴岚清扫助手 V2.")), qPrintable(about));
    QVERIFY2(about.contains(QString::fromStdString(db)) &&
                 about.contains(QStringLiteral("（2 个扫描项目，1 条缓存规则，1 条说明）")),
             qPrintable(about));
  }

 private:
  std::unique_ptr<ScriptedMessageBoxes> m_boxes;
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::frmmainTest)
#include "frmmainTest.moc"
