#include <memory>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "gui/ApplicationEvents.h"
#include "gui/frmmain.h"

namespace qinglan::test {

using platform::DriveKind;

namespace {

// Records the input events that reach it.
class EventRecorder : public QWidget {
 public:
  int received = 0;

 protected:
  bool event(QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::ContextMenu:
      case QEvent::KeyPress:
        ++received;
        break;
      default:
        break;
    }
    return QWidget::event(event);
  }
};

std::unique_ptr<QEvent> makeEvent(QEvent::Type type, Qt::MouseButton button,
                                  QContextMenuEvent::Reason reason) {
  const QPointF at(5, 5);
  switch (type) {
    case QEvent::ContextMenu:
      return std::make_unique<QContextMenuEvent>(reason, at.toPoint());
    case QEvent::KeyPress:
      return std::make_unique<QKeyEvent>(type, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    default:
      return std::make_unique<QMouseEvent>(
          type, at, at, button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
  }
}

}  // namespace

class ApplicationEventsTest : public QObject {
  Q_OBJECT

 private:
  // A shown window over a cache of two resources; null when it could not be shown.
  std::unique_ptr<gui::TForm1> makeForm() {
    const std::string cache = m_machine->makeCache(m_machine->addVolume("c", DriveKind::Fixed));
    for (const char* id : {"1001", "1002"})
      m_machine->addNamedResource(cache, id, "星海战记");
    auto form = std::make_unique<gui::TForm1>(m_machine->environment());
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
      return nullptr;
    return form;
  }

 private slots:
  void init() { m_machine = std::make_unique<SampleMachine>(); }
  void cleanup() { m_machine.reset(); }

  void onlyRightButtonPressesAreConsumed_data() {
    QTest::addColumn<QEvent::Type>("type");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QContextMenuEvent::Reason>("reason");
    QTest::addColumn<bool>("delivered");
    const auto mouse = QContextMenuEvent::Mouse;
    QTest::newRow("right press") << QEvent::MouseButtonPress << Qt::RightButton << mouse << false;
    QTest::newRow("right double click") << QEvent::MouseButtonDblClick << Qt::RightButton << mouse << false;
    QTest::newRow("menu request of a right press") << QEvent::ContextMenu << Qt::NoButton << mouse << false;
    QTest::newRow("right release") << QEvent::MouseButtonRelease << Qt::RightButton << mouse << true;
    QTest::newRow("left press") << QEvent::MouseButtonPress << Qt::LeftButton << mouse << true;
    QTest::newRow("middle press") << QEvent::MouseButtonPress << Qt::MiddleButton << mouse << true;
    QTest::newRow("menu key") << QEvent::ContextMenu << Qt::NoButton << QContextMenuEvent::Keyboard << true;
    QTest::newRow("key press") << QEvent::KeyPress << Qt::NoButton << mouse << true;
  }

  void onlyRightButtonPressesAreConsumed() {
    QFETCH(QEvent::Type, type);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QContextMenuEvent::Reason, reason);
    QFETCH(bool, delivered);
    const auto form = makeForm();
    QVERIFY(form != nullptr);
    // Any widget of the program: one inside the window, one of its own.
    auto* inside = new EventRecorder;
    inside->setParent(form->basicScanPage());
    EventRecorder elsewhere;

    for (EventRecorder* receiver : {inside, &elsewhere}) {
      const auto event = makeEvent(type, button, reason);
      QCoreApplication::sendEvent(receiver, event.get());
      QCOMPARE(receiver->received, delivered ? 1 : 0);
    }
  }

  void aRightClickOnAListStillOpensItsMenu() {
    const auto form = makeForm();
    QVERIFY(form != nullptr);
    form->ListView4()->rows()->appendRow({.cells = {QStringLiteral("甲"), QStringLiteral("2.0"),
                                                    QStringLiteral("已失效"), QStringLiteral("1001")}});
    form->ListView4()->rows()->appendRow({.cells = {QStringLiteral("乙"), QStringLiteral("3.0"),
                                                    QStringLiteral("已失效"), QStringLiteral("1002")}});
    const std::pair<gui::ListView*, QMenu*> lists[] = {{form->ListView2(), form->bsSkinPopupMenu1()},
                                                       {form->ListView4(), form->bsSkinPopupMenu3()}};
    for (const auto& [view, menu] : lists) {
      form->bsSkinPageControl1()->setCurrentWidget(view->parentWidget());
      // Through the window, as the platform delivers it, so that the filter sees the press.
      const QPoint second =
          view->viewport()->mapTo(form.get(), view->visualRect(view->rows()->index(1, 0)).center());
      QTest::mouseClick(form->windowHandle(), Qt::RightButton, {}, second);
      QVERIFY(menu->isVisible());
      QCOMPARE(view->selectedRow(), 1);

      // The open menu still sees a right press, and closes as it does for any press outside it.
      const QPoint outside = second + QPoint(0, 200);
      QTest::mousePress(form->windowHandle(), Qt::RightButton, {}, outside);
      QVERIFY(!menu->isVisible());
      QTest::mouseRelease(form->windowHandle(), Qt::RightButton, {}, outside);
      menu->hide();
    }
  }

  void rightPressesPassAgainOnceTheWindowIsGone() {
    EventRecorder recorder;
    makeForm().reset();
    const auto press = makeEvent(QEvent::MouseButtonPress, Qt::RightButton, QContextMenuEvent::Mouse);
    QCoreApplication::sendEvent(&recorder, press.get());
    QCOMPARE(recorder.received, 1);
  }

 private:
  std::unique_ptr<SampleMachine> m_machine;
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::ApplicationEventsTest)
#include "ApplicationEventsTest.moc"
