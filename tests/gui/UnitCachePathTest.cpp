#include "gui/UnitCachePath.h"

#include <memory>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "GuiTestSupport.h"

namespace qinglan::test {

using platform::DriveKind;

class UnitCachePathTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { m_boxes = std::make_unique<ScriptedMessageBoxes>(); }
  void cleanup() { m_boxes.reset(); }

  void offersEveryLocalCacheInVolumeOrder() {
    SampleMachine machine;
    const std::string c = machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    machine.makeCache(machine.addVolume("net", DriveKind::Remote));
    machine.makeCache(machine.addVolume("cd", DriveKind::Optical));
    machine.dir().writeFile("d/CloudCache", "a file");
    machine.addVolume("d", DriveKind::Fixed);
    machine.addVolume("usb", DriveKind::Removable);
    const std::string e = machine.makeCache(machine.addVolume(std::string(80, 'e'), DriveKind::Removable));

    gui::TfrmCachePath dialog(machine.volumes());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("选择云端缓存位置"));
    QCOMPARE(dialog.size(), QSize(377, 167));
    QComboBox* list = dialog.ComboBox1();
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemText(0), QString::fromStdString(c));
    QCOMPARE(list->itemText(1), QString::fromStdString(e));
    QCOMPARE(list->currentIndex(), 0);
    QVERIFY(!list->isEditable());

    QCOMPARE(dialog.ComboBox1()->displayedText(), list->itemText(0));
    list->setCurrentIndex(1);
    // A path too long for the closed box keeps both ends in view.
    const QString shown = dialog.ComboBox1()->displayedText();
    QVERIFY2(shown.contains(QChar(0x2026)) && shown.endsWith(QStringLiteral("/CloudCache")),
             qPrintable(shown));
    dialog.bsSkinButton1()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenPath().value_or(""), e);
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void confirmingAnEmptyListIsRefusedAndTheDialogStaysOpen() {
    SampleMachine machine;
    machine.addVolume("c", DriveKind::Fixed);
    gui::TfrmCachePath dialog(machine.volumes());
    dialog.show();
    QCOMPARE(dialog.ComboBox1()->count(), 0);

    dialog.bsSkinButton1()->click();
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(m_boxes->shown[0].kind, QStringLiteral("warning"));
    QCOMPARE(m_boxes->shown[0].title, QStringLiteral("提示"));
    QCOMPARE(m_boxes->shown[0].text, QStringLiteral("没有找到云端缓存位置。"));
    QCOMPARE(m_boxes->shown[0].parent, nullptr);
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.chosenPath());
  }

  void cancelChangesNothing() {
    SampleMachine machine;
    machine.makeCache(machine.addVolume("c", DriveKind::Fixed));
    gui::TfrmCachePath dialog(machine.volumes());
    dialog.show();
    dialog.bsSkinButton2()->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.chosenPath());
  }

 private:
  std::unique_ptr<ScriptedMessageBoxes> m_boxes;
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::UnitCachePathTest)
#include "UnitCachePathTest.moc"
