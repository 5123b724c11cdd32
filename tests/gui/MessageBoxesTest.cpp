#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "gui/MessageBoxes.h"

namespace qinglan::test {

// The program's own boxes, answered by pressing their first button once they are shown.
class MessageBoxesTest : public QObject {
  Q_OBJECT

 private:
  struct Seen {
    QStringList buttons;
    QWidget* parent = nullptr;
    QPoint centre;
    QString detail;
  };

  static Seen showAndAnswer(const std::function<void()>& show) {
    Seen seen;
    QTimer::singleShot(0, [&seen] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr)
        return;
      for (QAbstractButton* button : box->buttons())
        seen.buttons.append(button->text());
      seen.parent = box->parentWidget();
      seen.centre = box->geometry().center();
      // The detail is there only for whoever opens it.
      seen.detail = box->informativeText().isEmpty() ? box->detailedText() : QStringLiteral("in the text");
      for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) != QMessageBox::ActionRole) {
          button->click();
          break;
        }
      }
    });
    show();
    seen.buttons.sort();
    return seen;
  }

 private slots:
  void buttonsReadChineseAndBoxesSitOverTheShownWindow_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("detail");
    const QStringList ok{QStringLiteral("确定")};
    QTest::newRow("warning") << "warning" << ok << QString();
    QTest::newRow("information") << "information" << ok << QString();
    QTest::newRow("error") << "error" << ok << QString();
    QTest::newRow("error with detail")
        << "detail" << QStringList{QStringLiteral("确定"), QStringLiteral("详细信息…")}
        << QStringLiteral("Could not connect");
    QTest::newRow("question") << "question" << QStringList{QStringLiteral("否"), QStringLiteral("是")}
                              << QString();
  }

  void buttonsReadChineseAndBoxesSitOverTheShownWindow() {
    QFETCH(QString, kind);
    QFETCH(QStringList, buttons);
    QFETCH(QString, detail);
    QWidget window;
    window.setGeometry(300, 200, 740, 524);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // A window not yet shown, as a dialog is while it builds itself.
    QWidget hidden;

    gui::MessageBoxes& boxes = gui::messageBoxes();
    const Seen seen = showAndAnswer([&] {
      const QString text = QStringLiteral("文本");
      if (kind == QStringLiteral("warning"))
        boxes.warning(nullptr, gui::appTitle(), text);
      else if (kind == QStringLiteral("information"))
        boxes.information(&hidden, gui::appTitle(), text);
      else if (kind == QStringLiteral("error"))
        boxes.error(&hidden, gui::appTitle(), text);
      else if (kind == QStringLiteral("detail"))
        boxes.detailedError(&window, gui::appTitle(), text, detail);
      else
        boxes.question(nullptr, gui::appTitle(), text);
    });
    QCOMPARE(seen.buttons, buttons);
    QCOMPARE(seen.parent, &window);
    QVERIFY2((seen.centre - window.geometry().center()).manhattanLength() < 40,
             qPrintable(QStringLiteral("box centred at %1,%2").arg(seen.centre.x()).arg(seen.centre.y())));
    QCOMPARE(seen.detail, detail);
  }
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::MessageBoxesTest)
#include "MessageBoxesTest.moc"
