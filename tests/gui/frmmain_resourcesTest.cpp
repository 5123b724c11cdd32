#include <filesystem>
#include <memory>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "gui/UnitCachePath.h"
#include "gui/frmmain.h"

namespace qinglan::test {

using platform::DriveKind;

class frmmain_resourcesTest : public QObject {
  Q_OBJECT

 private:
  // Answers the cache dialog once it is open: picks the entry, then confirms or cancels.
  void answerCacheDialog(int entry, bool confirm) {
    QTimer::singleShot(0, this, [this, entry, confirm] {
      auto* dialog = qobject_cast<gui::TfrmCachePath*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      for (int i = 0; i < dialog->ComboBox1()->count(); ++i)
        m_offered.append(dialog->ComboBox1()->itemText(i));
      m_preselected = dialog->ComboBox1()->currentIndex();
      dialog->ComboBox1()->setCurrentIndex(entry);
      (confirm ? dialog->bsSkinButton1() : dialog->bsSkinButton2())->click();
    });
  }

 private slots:
  void init() {
    m_boxes = std::make_unique<ScriptedMessageBoxes>();
    m_offered.clear();
    m_preselected = -1;
  }
  void cleanup() { m_boxes.reset(); }

  void listsEveryUndottedResourceFolderThatIsNotWhitelisted() {
    SampleMachine machine;
    const std::string cache = machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    machine.addNamedResource(cache, "1001", "星海战记");
    machine.addNamedResource(cache, "1002", "幻剑奇缘");
    machine.addResource(cache, "1003", "[info]\r\nresourcename=\r\n");
    machine.addResource(cache, "1004", "");
    machine.addNamedResource(cache, "1005", "像素农场");
    machine.addNamedResource(cache, "abc.old", "旧版本");
    machine.dir().writeFile("c/CloudCache/2000", "a plain file");
    machine.writeWbLst("[WHITE]\r\n1002=1\r\n1003=0\r\n1005=yes\r\n");

    gui::TForm1 form(machine.environment());
    const gui::ListView* list = form.ListView2();
    QCOMPARE(columnTexts(list, 1), strings({"1001", "1003", "1004", "1005"}));
    QCOMPARE(columnTexts(list, 0), strings({"星海战记", "", "未知", "像素农场"}));
    for (int row = 0; row < list->rows()->count(); ++row)
      QVERIFY(list->rows()->isChecked(row));
    QCOMPARE(list->rows()->caption(0), QStringLiteral("软件名[4]"));
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void iconsComeFromTheIconCacheOrTheDefault() {
    SampleMachine machine;
    const std::string cache = machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    machine.writeIcon(machine.addNamedResource(cache, "1001", "甲"));
    machine.dir().writeFile("c/CloudCache/1002/IconCache/0.ico", "not an icon");
    machine.addNamedResource(cache, "1002", "乙");
    machine.addNamedResource(cache, "1003", "丙");
    machine.writeIcon(machine.addNamedResource(cache, "1004", "丁"));

    gui::TForm1 form(machine.environment());
    const auto imageIndices = [&] {
      QList<int> indices;
      for (int row = 0; row < form.ListView2()->rows()->count(); ++row)
        indices.append(form.ListView2()->rows()->row(row).imageIndex);
      return indices;
    };
    QCOMPARE(imageIndices(), (QList<int>{1, 0, 0, 2}));
    QCOMPARE(form.ImageList1().count(), 3);

    form.bsSkinButton2()->click();
    QCOMPARE(imageIndices(), (QList<int>{1, 0, 0, 2}));
    QCOMPARE(form.ImageList1().count(), 3);
    QCOMPARE(columnTexts(form.ListView2(), 1), strings({"1001", "1002", "1003", "1004"}));
  }

  void refreshIsRefusedWhileTheBasicScanRuns() {
    SampleMachine machine;
    const std::string cache = machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    machine.addNamedResource(cache, "1001", "甲");
    gui::TForm1 form(machine.environment());
    machine.addNamedResource(cache, "1002", "乙");

    form.setBasicScanRunning(true);
    form.bsSkinButton2()->click();
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown[0].kind, QStringLiteral("warning"));
    QCOMPARE(m_boxes->shown[0].title, QStringLiteral("提示"));
    QCOMPARE(m_boxes->shown[0].text, QStringLiteral("此刻不能刷新软件列表!"));
    QCOMPARE(m_boxes->shown[0].parent, &form);
    QCOMPARE(columnTexts(form.ListView2(), 1), strings({"1001"}));

    // Nor is the cache switched: the list would keep the old cache's rows under the new path.
    form.show();
    const std::string before = form.settings().cloudCachePath;
    QTimer::singleShot(0, this, [] {
      if (QWidget* dialog = QApplication::activeModalWidget())
        dialog->close();
    });
    QTest::mouseClick(form.basicScanPage()->Label5(), Qt::LeftButton);
    QCOMPARE(m_boxes->shown.size(), 2);
    QCOMPARE(m_boxes->shown[1].text, QStringLiteral("此刻不能刷新软件列表!"));
    QCOMPARE(form.settings().cloudCachePath, before);

    form.setBasicScanRunning(false);
    form.bsSkinButton2()->click();
    QCOMPARE(columnTexts(form.ListView2(), 1), strings({"1001", "1002"}));
  }

  void confirmingAnotherCacheRelistsIt() {
    SampleMachine machine;
    const std::string c = machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    const std::string e = machine.makeCache(machine.addVolume("e", DriveKind::Removable));
    machine.addNamedResource(c, "1001", "甲");
    machine.addNamedResource(e, "2001", "乙");
    machine.addNamedResource(e, "2002", "丙");
    gui::TForm1 form(machine.environment());
    form.show();

    answerCacheDialog(1, true);
    QTest::mouseClick(form.basicScanPage()->Label5(), Qt::LeftButton);
    QCOMPARE(m_offered, (QStringList{QString::fromStdString(c), QString::fromStdString(e)}));
    QCOMPARE(m_preselected, 0);
    QCOMPARE(form.settings().cloudCachePath, e);
    QCOMPARE(form.Label3()->text(), QStringLiteral("您当前选择扫描的是 ") + QString::fromStdString(e));
    QCOMPARE(columnTexts(form.ListView2(), 1), strings({"2001", "2002"}));
    QCOMPARE(form.ListView2()->rows()->caption(0), QStringLiteral("软件名[2]"));
  }

  void cancellingTheCacheDialogKeepsEverything() {
    SampleMachine machine;
    const std::string c = machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    const std::string e = machine.makeCache(machine.addVolume("e", DriveKind::Fixed));
    machine.addNamedResource(c, "1001", "甲");
    machine.addNamedResource(e, "2001", "乙");
    gui::TForm1 form(machine.environment());
    form.show();

    answerCacheDialog(1, false);
    QTest::mouseClick(form.basicScanPage()->Label5(), Qt::LeftButton);
    QCOMPARE(form.settings().cloudCachePath, c);
    QCOMPARE(form.Label3()->text(), QStringLiteral("您当前选择扫描的是 ") + QString::fromStdString(c));
    QCOMPARE(columnTexts(form.ListView2(), 1), strings({"1001"}));
  }

  void openFolderOpensTheSelectedResourceWhileItExists() {
    RecordingShell shell;
    SampleMachine machine;
    const std::string cache = machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    machine.addNamedResource(cache, "1001", "甲");
    const std::string gone = machine.addNamedResource(cache, "1002", "乙");
    gui::TForm1 form(machine.environment());

    form.N9()->trigger();
    QVERIFY(shell.calls.isEmpty());
    form.ListView2()->selectRow(0);
    form.N9()->trigger();
    QCOMPARE(shell.calls,
             QStringList{QStringLiteral("open ") + QString::fromStdString(cache) + QStringLiteral("/1001")});

    std::filesystem::remove_all(gone);
    form.ListView2()->selectRow(1);
    form.N9()->trigger();
    QCOMPARE(shell.calls.size(), 1);

    // A folder name that is not UTF-8 is reached through its bytes.
    machine.addNamedResource(cache, "\xC4\xE3", "你");
    form.bsSkinButton2()->click();
    form.ListView2()->selectRow(1);
    form.N9()->trigger();
    QCOMPARE(shell.calls.size(), 2);
    QCOMPARE(shell.calls[1],
             QStringLiteral("url file://") + QString::fromStdString(cache) + QStringLiteral("/%C4%E3"));

    // With no file manager to start, the user is told where to look.
    QVERIFY(m_boxes->shown.isEmpty());
    shell.foldersOpen = shell.urlsOpen = false;
    for (int row : {0, 1}) {
      form.ListView2()->selectRow(row);
      form.N9()->trigger();
    }
    QCOMPARE(m_boxes->shown.size(), 2);
    QCOMPARE(m_boxes->shown[0].kind, QStringLiteral("warning"));
    QCOMPARE(m_boxes->shown[0].text, QStringLiteral("没有找到可以打开文件夹的程序，请手动打开 ") +
                                         QString::fromStdString(cache) + QStringLiteral("/1001"));
  }

 private:
  std::unique_ptr<ScriptedMessageBoxes> m_boxes;
  QStringList m_offered;
  int m_preselected = -1;
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::frmmain_resourcesTest)
#include "frmmain_resourcesTest.moc"
