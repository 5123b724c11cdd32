#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "gui/ResultsPage.h"
#include "gui/frmmain.h"
#include "platform/IniFile.h"
#include "platform/IniFileIo.h"

namespace qinglan::test {

using platform::DriveKind;

class frmmain_whitelistTest : public QObject {
  Q_OBJECT

 private:
  struct Fixture {
    SampleMachine machine;
    std::string cache;
  };
  static std::unique_ptr<Fixture> cacheWith(
      std::initializer_list<std::pair<const char*, const char*>> resources) {
    auto fixture = std::make_unique<Fixture>();
    fixture->cache = fixture->machine.makeCache(fixture->machine.addVolume("c", DriveKind::Fixed));
    for (const auto& [id, name] : resources) {
      if (name == nullptr)
        fixture->machine.addResource(fixture->cache, id, "");
      else
        fixture->machine.addNamedResource(fixture->cache, id, name);
    }
    return fixture;
  }
  static int rowOf(const gui::ListView* view, const char* id) {
    return static_cast<int>(columnTexts(view, 1).indexOf(QLatin1String(id)));
  }
  static void showWhitelistPage(gui::TForm1& form) {
    form.bsSkinPageControl1()->setCurrentWidget(form.basicScanPage());
    form.bsSkinPageControl1()->setCurrentWidget(form.whitelistPage());
  }

 private slots:
  void init() { m_boxes = std::make_unique<ScriptedMessageBoxes>(); }
  void cleanup() { m_boxes.reset(); }

  void addingMovesTheRowAndDeletingBringsItBackAtTheNextRefresh() {
    auto fixture = cacheWith({{"1001", "甲"}, {"1002", "示例"}, {"1003", "丙"}});
    const platform::IniFile wbLst(fixture->machine.wbLst());
    gui::TForm1 form(fixture->machine.environment());

    form.ListView2()->rows()->setChecked(1, false);
    form.ListView2()->selectRow(rowOf(form.ListView2(), "1002"));
    form.N5()->trigger();
    QCOMPARE(wbLst.readString("White", "1002", ""), "1");
    QCOMPARE(wbLst.readString("WhiteName", "1002", ""), "示例");
    QCOMPARE(columnTexts(form.ListView2(), 1), strings({"1001", "1003"}));
    QCOMPARE(form.ListView2()->rows()->caption(0), QStringLiteral("软件名[2]"));
    form.bsSkinButton2()->click();
    QCOMPARE(columnTexts(form.ListView2(), 1), strings({"1001", "1003"}));

    showWhitelistPage(form);
    QCOMPARE(columnTexts(form.ListView3(), 0), strings({"示例"}));
    QCOMPARE(columnTexts(form.ListView3(), 1), strings({"1002"}));
    QCOMPARE(form.ListView3()->rows()->caption(0), QStringLiteral("软件名[1]"));

    form.ListView3()->selectRow(0);
    form.whitelistPage()->bsSkinButton3()->click();
    QVERIFY(wbLst.readSection("White").empty());
    QVERIFY(wbLst.readSection("WhiteName").empty());
    QCOMPARE(form.ListView3()->rows()->count(), 0);
    QCOMPARE(form.ListView3()->rows()->caption(0), QStringLiteral("软件名[0]"));
    form.bsSkinButton2()->click();
    QCOMPARE(columnTexts(form.ListView2(), 1), strings({"1001", "1002", "1003"}));
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void commandsWithoutASelectedRowDoNothing() {
    auto fixture = cacheWith({{"1001", "甲"}});
    gui::TForm1 form(fixture->machine.environment());
    form.N5()->trigger();
    showWhitelistPage(form);
    form.whitelistPage()->bsSkinButton3()->click();
    QVERIFY(!std::filesystem::exists(fixture->machine.wbLst()));
    QCOMPARE(form.ListView2()->rows()->count(), 1);
    QVERIFY(m_boxes->shown.isEmpty());
  }

  // The click reaches the window as the window system delivers it, so the application's filter sees it.
  void aRightClickSelectsTheRowAndDeletingLeavesNoneSelected() {
    auto fixture = cacheWith({});
    fixture->machine.writeWbLst("[White]\n1001=1\n1002=1\n1003=1\n");
    gui::TForm1 form(fixture->machine.environment());
    showWhitelistPage(form);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    gui::ListView* view = form.ListView3();
    const QPoint second =
        view->viewport()->mapTo(&form, view->visualRect(view->model()->index(1, 1)).center());
    QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, second);
    QCOMPARE(view->selectedRow(), 1);

    for (int press = 0; press < 2; ++press)
      form.whitelistPage()->bsSkinButton3()->click();
    QCOMPARE(columnTexts(view, 1), strings({"1001", "1003"}));
    QCOMPARE(view->selectedRow(), -1);
  }

  void entriesOtherThanOneAreListedWithoutHidingTheResource() {
    auto fixture = cacheWith({{"1001", "甲"}, {"1003", "丙"}});
    fixture->machine.writeWbLst("[White]\r\n1003=0\r\n1009=1\r\n[WhiteName]\r\n1003=丙\r\n");
    gui::TForm1 form(fixture->machine.environment());
    QCOMPARE(columnTexts(form.ListView2(), 1), strings({"1001", "1003"}));
    form.whitelistPage()->bsSkinButton7()->click();
    QCOMPARE(columnTexts(form.ListView3(), 1), strings({"1003", "1009"}));
    QCOMPARE(columnTexts(form.ListView3(), 0), strings({"丙", ""}));
  }

  // The trash setting shares the file: emptying the whitelist must not switch it off for the next run.
  void emptyingRemovesEntriesAndSilencedVersionsAndKeepsTheTrashSetting() {
    auto fixture = cacheWith({{"1001", "甲"}});
    fixture->machine.writeWbLst(
        "[White]\r\n1002=1\r\n[option]\r\nTrash=1\r\n[WhiteName]\r\n1002=乙\r\n[unvercheck]\r\n1001=2.0\r\n");
    gui::TForm1 form(fixture->machine.environment());
    showWhitelistPage(form);
    QCOMPARE(form.ListView3()->rows()->count(), 1);

    form.whitelistPage()->bsSkinButton6()->click();
    const platform::IniFile wbLst(fixture->machine.wbLst());
    for (const char* section : {"White", "WhiteName", "unvercheck"})
      QVERIFY2(wbLst.readSection(section).empty(), section);
    QCOMPARE(wbLst.readString("option", "Trash", ""), "1");
    QVERIFY(gui::TForm1(fixture->machine.environment()).resultsPage()->bsSkinCheckRadioBox2()->isChecked());
    QCOMPARE(form.ListView3()->rows()->count(), 0);
    QCOMPARE(form.ListView3()->rows()->caption(0), QStringLiteral("软件名[0]"));

    form.whitelistPage()->bsSkinButton6()->click();
    QCOMPARE(form.ListView3()->rows()->caption(0), QStringLiteral("软件名[0]"));
    QVERIFY(m_boxes->shown.isEmpty());
  }

  // A refused write leaves every entry in force: the page says so and shows them again.
  void anEmptyingThatCannotWriteTheFileWarnsAndRereads() {
    auto fixture = cacheWith({{"1001", "甲"}});
    const std::string before = "[White]\r\n1002=1\r\n[WhiteName]\r\n1002=乙\r\n";
    fixture->machine.writeWbLst(before);
    gui::TForm1 form(fixture->machine.environment());
    showWhitelistPage(form);
    form.ListView3()->rows()->clear();

    const platform::detail::IniFileIo saved = platform::detail::iniFileIo;
    platform::detail::iniFileIo.rename = [](int, const char*, const char*) { return -1; };
    form.whitelistPage()->bsSkinButton6()->click();
    platform::detail::iniFileIo = saved;
    QCOMPARE(platform::IniFile(fixture->machine.wbLst()).readSection("White"),
             std::vector<std::string>{"1002"});
    QCOMPARE(columnTexts(form.ListView3(), 1), strings({"1002"}));
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown[0].title, QStringLiteral("提示"));
  }

  // An ID that wb.lst cannot give back would hide nothing: the row stays, with a warning.
  void anIdThatCannotBeStoredStaysListed() {
    auto fixture = cacheWith({{"a=b", "甲"}, {"\xC4\xE3", "乙"}});
    gui::TForm1 form(fixture->machine.environment());
    for (int row : {0, 1}) {
      form.ListView2()->selectRow(row);
      form.N5()->trigger();
    }
    QCOMPARE(form.ListView2()->rows()->count(), 2);
    QCOMPARE(m_boxes->shown.size(), 2);
    QVERIFY(platform::IniFile(fixture->machine.wbLst()).readSection("White").empty());
  }

  void aResourceWhitelistedAsUnknownKeepsThatName() {
    auto fixture = cacheWith({{"1004", nullptr}});
    gui::TForm1 form(fixture->machine.environment());
    form.ListView2()->selectRow(0);
    form.N5()->trigger();
    fixture->machine.addNamedResource(fixture->cache, "1004", "有名字了");

    showWhitelistPage(form);
    QCOMPARE(columnTexts(form.ListView3(), 0), strings({"未知"}));
    const gui::RowListModel* rows = form.ListView3()->rows();
    QCOMPARE(rows->data(rows->index(0, 0), Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  }

 private:
  std::unique_ptr<ScriptedMessageBoxes> m_boxes;
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::frmmain_whitelistTest)
#include "frmmain_whitelistTest.moc"
