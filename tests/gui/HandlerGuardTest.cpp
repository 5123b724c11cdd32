#include "gui/HandlerGuard.h"

#include <stdexcept>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "GuiTestSupport.h"
#include "platform/OwnFolder.h"

namespace qinglan::test {

class HandlerGuardTest : public QObject {
  Q_OBJECT

 private slots:
  void errorTextEndsWithADotWhenItsLastCharacterSortsAfterOne_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << QStringLiteral("Unable to write") << QStringLiteral("Unable to write.");
    QTest::newRow("path") << QStringLiteral("Unable to write to /a/wb.lst")
                          << QStringLiteral("Unable to write to /a/wb.lst");
    QTest::newRow("path on its own line")
        << QStringLiteral("找不到规则数据库 ccdb.db\n/h/.local/share/qinglan/ccdb.db")
        << QStringLiteral("找不到规则数据库 ccdb.db\n/h/.local/share/qinglan/ccdb.db");
    QTest::newRow("windows path") << QStringLiteral("无法写入 C:\\a\\wb.lst")
                                  << QStringLiteral("无法写入 C:\\a\\wb.lst");
    QTest::newRow("dot") << QStringLiteral("done.") << QStringLiteral("done.");
    QTest::newRow("exclamation") << QStringLiteral("stop!") << QStringLiteral("stop!");
    QTest::newRow("hyphen") << QStringLiteral("a-") << QStringLiteral("a-");
    QTest::newRow("space") << QStringLiteral("a ") << QStringLiteral("a ");
    QTest::newRow("slash") << QStringLiteral("a/") << QStringLiteral("a/");
    QTest::newRow("digit") << QStringLiteral("code 7") << QStringLiteral("code 7.");
    QTest::newRow("chinese") << QStringLiteral("写入失败") << QStringLiteral("写入失败.");
    QTest::newRow("full-width stop") << QStringLiteral("失败。") << QStringLiteral("失败。.");
    QTest::newRow("astral") << QStringLiteral("𠀀") << QStringLiteral("𠀀.");
    QTest::newRow("empty") << QString() << QString();
  }
  void errorTextEndsWithADotWhenItsLastCharacterSortsAfterOne() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(gui::errorBoxText(message), shown);
  }

  void escapingExceptionBecomesTheStandardErrorBox() {
    ScriptedMessageBoxes boxes;
    QWidget owner;
    bool after = false;
    QVERIFY(!gui::runGuarded(&owner, [&] {
      throw std::runtime_error("no such table: ccdb");
      after = true;
    }));
    QVERIFY(!after);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].kind, QStringLiteral("error"));
    QCOMPARE(boxes.shown[0].title, QStringLiteral("晴岚清扫助手"));
    QCOMPARE(boxes.shown[0].text, QStringLiteral("no such table: ccdb."));
    QCOMPARE(boxes.shown[0].parent, &owner);
  }

  void anUnsafeProgramFolderIsNamedWithItsReason() {
    ScriptedMessageBoxes boxes;
    QVERIFY(!gui::runGuarded(nullptr, [] {
      throw platform::UnsafeFolderError("/home/u/.config/qinglan/", "it is a symbolic link");
    }));
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text,
             QStringLiteral("程序文件夹不安全：/home/u/.config/qinglan/（it is a symbolic link）."));
  }

  void exceptionsOfAnyKindAreCaught() {
    ScriptedMessageBoxes boxes;
    QVERIFY(!gui::runGuarded(nullptr, [] { throw 42; }));
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].kind, QStringLiteral("error"));
  }

  void cancellationEndsTheHandlerSilently() {
    ScriptedMessageBoxes boxes;
    QVERIFY(!gui::runGuarded(nullptr, [] { throw gui::CommandCancelled(); }));
    QVERIFY(boxes.shown.isEmpty());
    QVERIFY(gui::runGuarded(nullptr, [] {}));
    QVERIFY(boxes.shown.isEmpty());
  }
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::HandlerGuardTest)
#include "HandlerGuardTest.moc"
