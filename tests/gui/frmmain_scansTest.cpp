#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QBarCategoryAxis>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "GuiTestSupport.h"
#include "gui/JunkChartDialog.h"
#include "gui/LinkLabel.h"
#include "gui/UnitScanList.h"
#include "gui/WindowScanFront.h"
#include "gui/frmmain.h"
#include "platform/Remover.h"
#include "support/RulesDbFile.h"
#ifndef _WIN32
#include "support/ChildProcess.h"
#endif
#include "support/ScopedEnv.h"
#include "whitelist/Whitelist.h"

namespace qinglan::test {

using platform::DriveKind;

namespace {

// Message boxes that record what each one said and what the window looked like when it was shown.
class ObservedBoxes final : public gui::MessageBoxes {
 public:
  struct Shown {
    QString kind;
    QWidget* parent;
    QString title;
    QString text;
    QString window;  // the snapshot taken when the box was shown
  };

  ObservedBoxes() { gui::setMessageBoxes(this); }
  ~ObservedBoxes() override { gui::setMessageBoxes(nullptr); }

  void warning(QWidget* parent, const QString& title, const QString& text) override {
    record(QStringLiteral("warning"), parent, title, text);
  }
  void information(QWidget* parent, const QString& title, const QString& text) override {
    record(QStringLiteral("information"), parent, title, text);
  }
  bool question(QWidget* parent, const QString& title, const QString& text) override {
    record(QStringLiteral("question"), parent, title, text);
    if (answers.empty())
      return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void error(QWidget* parent, const QString& title, const QString& text) override {
    record(QStringLiteral("error"), parent, title, text);
  }

  QStringList texts() const {
    QStringList list;
    for (const Shown& box : shown)
      list.append(box.kind + QLatin1Char(' ') + box.text);
    return list;
  }

  QList<Shown> shown;
  std::deque<bool> answers;
  std::function<QString()> snapshot;

 private:
  void record(const QString& kind, QWidget* parent, const QString& title, const QString& text) {
    shown.append({kind, parent, title, text, snapshot ? snapshot() : QString()});
  }
};

// Refuses to delete entries of one name; everything else goes.
class RefusingRemover final : public platform::Remover {
 public:
  explicit RefusingRemover(std::string name) : m_suffix("/" + std::move(name)) {}
  bool remove(const std::string&) override { return false; }
  bool removeFinding(const std::string& path, const platform::FindingOrigin& origin) override {
    if (path.ends_with(m_suffix))
      return false;
    return platform::Remover::system().removeFinding(path, origin);
  }

 private:
  std::string m_suffix;
};

void sizedFile(const TempDir& dir, const std::string& relative, std::uintmax_t size) {
  std::filesystem::resize_file(dir.writeFile(relative), size);
}

// What the results page and the "扫描" button show, in one line.
QString windowState(gui::TForm1& form) {
  const gui::ResultsPage* page = form.resultsPage();
  return QStringLiteral("rows=%1 button=%2/%3 panel=%4 pages=%5 front=%6 label1=%7")
      .arg(form.resultsModel()->rowCount())
      .arg(form.bsSkinButton1()->text())
      .arg(form.bsSkinButton1()->isEnabled())
      .arg(page->Panel1()->isVisibleTo(page))
      .arg(form.bsSkinPageControl1()->isEnabled())
      .arg(form.bsSkinPageControl1()->currentWidget() == page)
      .arg(page->Label1()->text());
}

// A scan that has ended, with its rows shown.
QString idleState(int rows, const QString& closing = QStringLiteral("扫描完成！")) {
  return QStringLiteral("rows=%1 button=扫描/1 panel=0 pages=1 front=1 label1=%2").arg(rows).arg(closing);
}

// The user's stop as the window system delivers it: a click on "停止", or Esc.
void pressStop(gui::TForm1& form, const QString& how) {
  if (how == QStringLiteral("button"))
    QTest::mouseClick(form.stopButton(), Qt::LeftButton);
  else
    QTest::keyClick(form.stopButton(), Qt::Key_Escape);
}

// Where a column of the results list stands.
int column(ResultsColumn id) {
  return static_cast<int>(columnIndex(id));
}

// A finding as a scan appends it.
ResultsRow finding(const std::string& name, const std::string& location, bool checked = true) {
  ResultsRow row;
  row.name = name;
  row.location = location;
  row.checked = checked;
  return row;
}

QList<bool> checksOf(gui::TForm1& form) {
  QList<bool> checks;
  for (int row = 0; row < form.resultsModel()->count(); ++row)
    checks.append(form.resultsModel()->isChecked(row));
  return checks;
}

QStringList statuses(const gui::ListView* view) {
  return columnTexts(view, column(ResultsColumn::Status));
}

}  // namespace

// Whether the widget shows red text as a person sees it, whatever its palette says.
bool drawnInRed(QWidget* widget) {
  const QImage image = widget->grab().toImage();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor color = image.pixelColor(x, y);
      if (color.red() > 200 && color.green() < 60 && color.blue() < 60)
        return true;
    }
  }
  return false;
}

class frmmain_scansTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<SampleMachine> m_machine;
  std::string m_cache;
  std::unique_ptr<ObservedBoxes> m_boxes;

  SampleMachine& machine() const { return *m_machine; }
  std::string dbFile() const { return machine().appDir() + "ccdb.db"; }
  std::string inCache(const std::string& relative) const { return m_cache + "/" + relative; }
  std::string cacheRelative(const std::string& relative) const {
    return m_cache.substr(machine().dir().path().size() + 1) + "/" + relative;
  }
  void writeInCache(const std::string& relative, std::uintmax_t size = 0) const {
    sizedFile(machine().dir(), cacheRelative(relative), size);
  }

  void watch(gui::TForm1& form) {
    m_boxes->snapshot = [&form] { return windowState(form); };
  }

 private slots:
  void init() {
    m_machine = std::make_unique<SampleMachine>();
    m_cache = machine().makeCache(machine().addVolume("c", DriveKind::Fixed));
    m_boxes = std::make_unique<ObservedBoxes>();
  }
  void cleanup() {
    m_boxes.reset();
    m_machine.reset();
  }

  void aResourceFolderNamedInAnotherCodePageIsScanned() {
    machine().addNamedResource(m_cache, "\xC4\xE3", "你");
    writeInCache("\xC4\xE3/0/a.log");
    writeScanItems(dbFile(), {{"0", "", "*.log"}});
    gui::TForm1 form(machine().environment());
    form.bsSkinButton1()->click();
    QCOMPARE(columnTexts(form.ListView1(), column(ResultsColumn::Name)), strings({"a.log"}));
  }

  void basicScanListsEveryEnabledRuleOverEachContentFolderOfTheCheckedResources() {
    machine().addNamedResource(m_cache, "1001", "星海战记");
    writeInCache("1001/0/run.log", 512 * 1024);
    writeInCache("1001/0/cache/a.tmp", 1536 * 1024);
    writeInCache("1001/0/cache/b.log");
    writeInCache("1001/1/old.log");
    writeInCache("1001/3/after-a-gap.log");
    machine().addNamedResource(m_cache, "1002", "幻剑奇缘");
    writeInCache("1002/0/unchecked.log");
    machine().addNamedResource(m_cache, "1003", "像素农场");
    writeInCache("1003/0/logs/inner.log");
    writeScanItems(dbFile(), {{"0", "", "*.log"},
                              {"1", "", "*.*"},
                              {"NULL", "cache", "*.tmp"},
                              {"''", "", "logs"},
                              {"'1'", "", "*"}});

    gui::TForm1 form(machine().environment());
    form.ListView2()->rows()->setChecked(1, false);
    showFinding(form, finding("earlier", ""));
    form.resultsPage()->Edit1()->setText(QStringLiteral("earlier origin"));
    form.resultsPage()->Edit2()->setText(QStringLiteral("earlier note"));
    QProgressBar* progress = form.resultsPage()->ProgressBar1();
    QStringList seen;
    bool summaryRed = true;
    connect(progress, &QProgressBar::valueChanged, this, [&](int value) {
      seen.append(QString::number(value) + QLatin1Char(' ') +
                  windowState(form).section(QLatin1Char(' '), 1, 4));
      summaryRed = summaryRed && drawnInRed(form.resultsPage()->Label2());
    });

    form.bsSkinButton1()->click();

    const QString busy = QStringLiteral(" button=扫描中…/0 panel=1 pages=0 front=1");
    QCOMPARE(seen, (QStringList{QStringLiteral("0") + busy, QStringLiteral("1") + busy,
                                QStringLiteral("2") + busy}));
    QCOMPARE(progress->maximum(), 3);
    QCOMPARE(progress->value(), 2);
    QVERIFY2(summaryRed, "the summary line stays red while the rest of the window is disabled");
    QCOMPARE(windowState(form), idleState(6));

    const gui::ListView* results = form.ListView1();
    QCOMPARE(columnTexts(results, column(ResultsColumn::Name)),
             strings({"run.log", "b.log", "a.tmp", "old.log", "inner.log", "logs"}));
    const QString folder = QString::fromStdString(m_cache);
    QCOMPARE(columnTexts(results, column(ResultsColumn::Location)),
             (QStringList{folder + QStringLiteral("/1001/0/"), folder + QStringLiteral("/1001/0/cache/"),
                          folder + QStringLiteral("/1001/0/cache/"), folder + QStringLiteral("/1001/1/"),
                          folder + QStringLiteral("/1003/0/logs/"), folder + QStringLiteral("/1003/0/")}));
    QCOMPARE(columnTexts(results, column(ResultsColumn::Size)),
             strings({"512.00KB", "0B", "1.50MB", "0B", "0B", "文件夹"}));
    QCOMPARE(statuses(results), QStringList(6, QString()));
    for (int row = 0; row < 6; ++row) {
      QVERIFY(form.resultsModel()->isChecked(row));
      QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}/[1-9]\\d?/[1-9]\\d?$"))
                  .match(form.resultsModel()->text(row, column(ResultsColumn::Date)))
                  .hasMatch());
    }
    QCOMPARE(form.resultsModel()->caption(0), QStringLiteral("文件名[6]"));
    QCOMPARE(form.resultsPage()->Label2()->text(), QStringLiteral("本次共扫描到约 2.00MB 垃圾。"));
    QVERIFY(form.resultsPage()->Edit1()->text().isEmpty());
    QVERIFY(form.resultsPage()->Edit2()->text().isEmpty());
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void afterAScanTheKeyboardIsOnTheResults() {
    machine().addNamedResource(m_cache, "1001", "星海战记");
    writeInCache("1001/0/run.log");
    writeScanItems(dbFile(), {{"0", "", "*.log"}});
    gui::TForm1 form(machine().environment());
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.bsSkinButton1()->click();
    QCOMPARE(QApplication::focusWidget(), form.ListView1());
    form.largeFilePage()->bsSkinButton8()->setFocus();
    form.largeFilePage()->bsSkinButton8()->click();
    QCOMPARE(QApplication::focusWidget(), form.ListView1());
  }

  void theResourceListIsRefreshedOnlyOnceTheBasicScanHasEnded() {
    machine().addNamedResource(m_cache, "1001", "星海战记");
    writeInCache("1001/0/run.log");
    writeScanItems(dbFile(), {{"0", "", "*.log"}});
    gui::TForm1 form(machine().environment());
    connect(form.resultsPage()->ProgressBar1(), &QProgressBar::valueChanged, this, [&] {
      if (m_boxes->shown.isEmpty())
        form.guarded([&] { form.bsSkinButton2Click(); });
    });

    form.bsSkinButton1()->click();
    QCOMPARE(m_boxes->texts(), strings({"warning 此刻不能刷新软件列表!"}));
    form.guarded([&] { form.bsSkinButton2Click(); });
    QCOMPARE(m_boxes->shown.size(), 1);
    QCOMPARE(columnTexts(form.ListView2(), 1), strings({"1001"}));
  }

  void anInvalidMaskIsShownAfterTheRowsFoundBeforeItWithTheWindowIdle() {
    machine().addNamedResource(m_cache, "1001", "星海战记");
    writeInCache("1001/0/run.log", 2048);
    writeInCache("1001/0/setup.log", 1024);
    writeScanItems(dbFile(), {{"0", "", "*.log"}, {"0", "", "[abc"}, {"0", "", "*.log"}});

    gui::TForm1 form(machine().environment());
    watch(form);
    form.bsSkinButton1()->click();

    QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("error '[abc' is an invalid mask at (5)")});
    QCOMPARE(m_boxes->shown[0].title, QStringLiteral("晴岚清扫助手"));
    QCOMPARE(m_boxes->shown[0].window, idleState(2, QStringLiteral("扫描未完成！")));
    QCOMPARE(columnTexts(form.ListView1(), column(ResultsColumn::Name)), strings({"run.log", "setup.log"}));
    QCOMPARE(form.resultsPage()->Label2()->text(), QStringLiteral("本次共扫描到约 0.00MB 垃圾。"));
  }

  void aMissingRulesTableLeavesTheResultsAndShowsTheError() {
    machine().addNamedResource(m_cache, "1001", "星海战记");
    writeInfoNotes(dbFile(), {});
    gui::TForm1 form(machine().environment());
    showFinding(form, finding("earlier", ""));
    watch(form);

    form.bsSkinButton1()->click();

    QCOMPARE(m_boxes->shown.size(), 1);
    QVERIFY(m_boxes->shown[0].text.contains(QStringLiteral("no such table")));
    QCOMPARE(columnTexts(form.ListView1(), column(ResultsColumn::Name)),
             QStringList{QStringLiteral("earlier")});
    QCOMPARE(form.bsSkinButton1()->text(), QStringLiteral("扫描"));
    QVERIFY(form.bsSkinButton1()->isEnabled());
    QVERIFY(form.bsSkinPageControl1()->isEnabled());
  }

  void cleaningDeletesTheCheckedRowsAndMarksEachOutcome() {
    machine().addNamedResource(m_cache, "1001", "星海战记");
    for (const char* name : {"temp/a.tmp", "b.tmp", "keep.tmp", "locked.tmp", "\xB2\xE2.tmp"})
      writeInCache(std::string("1001/0/") + name, 100);
    writeScanItems(dbFile(), {{"0", "", "temp"}, {"0", "", "*.tmp"}});
    RefusingRemover remover("locked.tmp");
    gui::FormEnvironment environment = machine().environment();
    environment.remover = &remover;
    gui::TForm1 form(environment);
    form.bsSkinButton1()->click();

    gui::ListView* results = form.ListView1();
    QCOMPARE(form.resultsModel()->count(), 6);
    const QStringList names = columnTexts(results, column(ResultsColumn::Name));
    QVERIFY(names.indexOf(QStringLiteral("temp")) < names.indexOf(QStringLiteral("a.tmp")));
    form.resultsModel()->setChecked(names.indexOf(QStringLiteral("keep.tmp")), false);
    const QString totalLine = form.resultsPage()->Label2()->text();
    watch(form);

    for (int pass = 1; pass <= 2; ++pass) {
      m_boxes->shown.clear();
      m_boxes->answers = {true};
      form.resultsPage()->bntClean()->click();

      QCOMPARE(m_boxes->texts(),
               strings({"question 是否确定要清理选定的项目？",
                        "information 清理垃圾完成！共删除 4 项，释放 0.00 MB 空间。其中 1 项清理失败。"}));
      for (const ObservedBoxes::Shown& box : m_boxes->shown) {
        QCOMPARE(box.parent, nullptr);
        QCOMPARE(box.title, QStringLiteral("提示"));
      }
      // The pass ended before its notice: panel hidden, every page usable.
      QVERIFY(m_boxes->shown[1].window.contains(QStringLiteral("panel=0 pages=1")));
      for (int row = 0; row < 6; ++row) {
        const QString name = names[row];
        const QString expected = name == QStringLiteral("keep.tmp")     ? QString()
                                 : name == QStringLiteral("locked.tmp") ? QStringLiteral("清理失败")
                                                                        : QStringLiteral("清理成功");
        QCOMPARE(form.resultsModel()->text(row, column(ResultsColumn::Status)), expected);
        const QColor colour = expected == QStringLiteral("清理失败") ? QColor(255, 0, 0) : QColor(0, 0, 0);
        QCOMPARE(form.resultsModel()
                     ->data(results->model()->index(row, column(ResultsColumn::Location)), Qt::ForegroundRole)
                     .value<QColor>(),
                 colour);
      }
      QCOMPARE(form.resultsPage()->ProgressBar1()->maximum(), 6);
      QCOMPARE(form.resultsPage()->ProgressBar1()->value(), 6);
    }
    QVERIFY(!std::filesystem::exists(inCache("1001/0/temp")));
    QVERIFY(!std::filesystem::exists(inCache("1001/0/b.tmp")));
    // A name that is not UTF-8 is deleted byte for byte, not judged by a path that never existed.
    QVERIFY(!std::filesystem::exists(inCache("1001/0/\xB2\xE2.tmp")));
    QVERIFY(std::filesystem::exists(inCache("1001/0/keep.tmp")));
    QVERIFY(std::filesystem::exists(inCache("1001/0/locked.tmp")));
    QCOMPARE(form.resultsModel()->caption(0), QStringLiteral("文件名[6]"));
    QCOMPARE(form.resultsPage()->Label2()->text(), totalLine);
  }

  // Header clicks reach the window as the window system delivers them.
  void sortingKeepsChecksAndNotesWithTheRowsAndCleaningTakesTheRowsTheUserChecked() {
    const ScopedEnv dataHome("XDG_DATA_HOME", machine().dir().path("data"));
    machine().addNamedResource(m_cache, "1001", "示例");
    writeInCache("1001/0/a.tmp", 300);
    writeInCache("1001/0/b.tmp", 100);
    writeInCache("1001/0/c.tmp", 200);
    writeScanItems(dbFile(), {{"0", "", "*.tmp"}});
    gui::TForm1 form(machine().environment());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    gui::ListView* results = form.ListView1();
    QHeaderView* header = results->header();
    const auto clickHeader = [&](int column) {
      const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                      header->height() / 2);
      QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, header->viewport()->mapTo(&form, at));
    };

    for (int scan = 0; scan < 2; ++scan) {
      form.bsSkinButton1()->click();
      QCOMPARE(columnTexts(results, column(ResultsColumn::Name)), strings({"a.tmp", "b.tmp", "c.tmp"}));
      clickHeader(2);
      QCOMPARE(columnTexts(results, column(ResultsColumn::Name)), strings({"b.tmp", "c.tmp", "a.tmp"}));
    }
    form.resultsModel()->setChecked(0, false);
    results->selectRow(0);
    clickHeader(2);
    QCOMPARE(columnTexts(results, column(ResultsColumn::Name)), strings({"a.tmp", "c.tmp", "b.tmp"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(results->selectedRow(), 2);
    QCOMPARE(form.resultsPage()->Edit1()->text(), QStringLiteral("您当前选择的文件来自: 示例"));

    form.resultsPage()->bsSkinCheckRadioBox2()->setChecked(true);
    m_boxes->answers = {true};
    form.resultsPage()->bntClean()->click();
    const QString trashed = QStringLiteral("已移到回收站");
    QCOMPARE(statuses(results), (QStringList{trashed, trashed, QString()}));
    QVERIFY(std::filesystem::exists(inCache("1001/0/b.tmp")));
    QVERIFY(!std::filesystem::exists(inCache("1001/0/a.tmp")));

    // Undoing after another sort marks the rows the pass took, wherever they went.
    clickHeader(0);
    QCOMPARE(columnTexts(results, column(ResultsColumn::Name)), strings({"a.tmp", "b.tmp", "c.tmp"}));
    form.resultsPage()->bsSkinButton12()->click();
    const QString restored = QStringLiteral("已恢复");
    QCOMPARE(statuses(results), (QStringList{restored, QString(), restored}));
    QVERIFY(std::filesystem::exists(inCache("1001/0/a.tmp")));
  }

  // The link and the bars are clicked as the window system delivers clicks.
  void theTotalLinksToTheJunkChartWhoseBarsCheckAProgramsRows() {
    machine().addNamedResource(m_cache, "1001", "星海战记");
    machine().addNamedResource(m_cache, "1002", "幻剑奇缘");
    writeInCache("1001/0/a.log", 300);
    writeInCache("1002/0/b.log", 100);
    writeInCache("1002/0/c.log", 100);
    writeScanItems(dbFile(), {{"0", "", "*.log", "日志文件"}});
    gui::TForm1 form(machine().environment());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    gui::LinkLabel* total = form.resultsPage()->Label2();
    QVERIFY(!total->linkShown());
    form.bsSkinButton1()->click();
    QVERIFY(total->linkShown());
    form.resultsModel()->setChecked(1, false);

    QStringList captions;
    QTimer::singleShot(0, this, [&] {
      auto* dialog = qobject_cast<gui::JunkChartDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      QVERIFY(QTest::qWaitForWindowExposed(dialog));
      QChartView* view = dialog->programChart();
      auto* series = qobject_cast<QHorizontalBarSeries*>(view->chart()->series().front());
      auto* axis = qobject_cast<QBarCategoryAxis*>(view->chart()->axes(Qt::Vertical).front());
      captions = axis->categories();
      // The lower bar is 幻剑奇缘's: its rows, one of them unchecked, become checked, then unchecked.
      const QPointF inBar = view->chart()->mapToPosition(QPointF(50, 0), series);
      const QPoint at = view->viewport()->mapTo(dialog, view->mapFromScene(inBar));
      QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, at);
      QCOMPARE(checksOf(form), (QList<bool>{true, true, true}));
      QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, at);
      QCOMPARE(checksOf(form), (QList<bool>{true, false, false}));
      dialog->accept();
    });
    const QPoint onTotal = total->mapTo(&form, QPoint(10, total->height() / 2));
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, onTotal);
    QCOMPARE(captions, strings({"幻剑奇缘  200B", "星海战记  300B"}));

    // Another kind of scan leaves a plain total.
    form.largeFilePage()->bsSkinButton8()->click();
    QVERIFY(!total->linkShown());
  }

  void cleaningIntoTheTrashCanBeUndoneAndTheChoiceIsRemembered() {
    const ScopedEnv dataHome("XDG_DATA_HOME", machine().dir().path("data"));
    machine().addNamedResource(m_cache, "1001", "星海战记");
    writeInCache("1001/0/a.tmp", 100);
    writeInCache("1001/0/b.tmp", 100);
    writeInCache("1001/0/temp/c.tmp", 100);
    // a.tmp is listed twice, c.tmp again inside its folder: those rows went with an earlier one.
    writeScanItems(dbFile(), {{"0", "", "temp"}, {"0", "", "*.tmp"}, {"0", "", "a.tmp"}});
    {
      gui::TForm1 form(machine().environment());
      QVERIFY(!form.resultsPage()->bsSkinCheckRadioBox2()->isChecked());
      form.resultsPage()->bsSkinCheckRadioBox2()->click();
    }
    QVERIFY(Whitelist(machine().appDir() + "wb.lst").trashOption());
    gui::TForm1 form(machine().environment());
    QVERIFY(form.resultsPage()->bsSkinCheckRadioBox2()->isChecked());
    form.bsSkinButton1()->click();
    m_boxes->answers = {true};
    form.resultsPage()->bntClean()->click();

    const QString trashed = QStringLiteral("已移到回收站");
    const QStringList names = columnTexts(form.ListView1(), column(ResultsColumn::Name));
    QCOMPARE(names.size(), 5);
    QCOMPARE(statuses(form.ListView1()), QStringList(5, trashed));
    QVERIFY(!std::filesystem::exists(inCache("1001/0/a.tmp")));
    QPushButton* undo = form.resultsPage()->bsSkinButton12();
    QVERIFY(undo->isVisibleTo(form.resultsPage()));

    // A file that took a trashed one's name is never replaced: that one stays in the trash.
    writeInCache("1001/0/b.tmp", 1);
    m_boxes->shown.clear();
    undo->click();
    for (int row = 0; row < names.size(); ++row) {
      const QString expected = names[row] == QStringLiteral("b.tmp") ? trashed : QStringLiteral("已恢复");
      QCOMPARE(form.resultsModel()->text(row, column(ResultsColumn::Status)), expected);
    }
    QCOMPARE(std::filesystem::file_size(inCache("1001/0/a.tmp")), 100u);
    QCOMPARE(std::filesystem::file_size(inCache("1001/0/temp/c.tmp")), 100u);
    QCOMPARE(std::filesystem::file_size(inCache("1001/0/b.tmp")), 1u);
    QCOMPARE(m_boxes->texts(), strings({"information 有 1 项未能恢复，仍在回收站中。"}));
    QVERIFY(!undo->isVisibleTo(form.resultsPage()));
  }

  void thePassesTrashedEntriesAreEmptiedForGoodOnlyOnceConfirmed() {
    const ScopedEnv dataHome("XDG_DATA_HOME", machine().dir().path("data"));
    machine().addNamedResource(m_cache, "1001", "星海战记");
    writeInCache("1001/0/a.tmp", 100);
    writeScanItems(dbFile(), {{"0", "", "*.tmp"}});
    gui::TForm1 form(machine().environment());
    form.resultsPage()->bsSkinCheckRadioBox2()->setChecked(true);
    form.bsSkinButton1()->click();
    m_boxes->answers = {true};
    form.resultsPage()->bntClean()->click();
    const std::string trashed = machine().dir().path("data/Trash/files/a.tmp");
    QVERIFY(std::filesystem::exists(trashed));

    QPushButton* purge = form.resultsPage()->bntPurge();
    QSpinBox* days = form.resultsPage()->purgeDays();
    for (QWidget* other : form.resultsPage()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (other != purge && other != days)
        QVERIFY2(!other->geometry().intersects(purge->geometry()) &&
                     !other->geometry().intersects(days->geometry()),
                 qPrintable(other->objectName()));
    }
    // A pass of a moment ago is not 30 days old.
    QCOMPARE(purge->text(), QStringLiteral("清空 30 天前移到回收站的项目"));
    m_boxes->answers = {true};
    purge->click();
    QVERIFY(std::filesystem::exists(trashed));
    days->setValue(0);
    QCOMPARE(purge->text(), QStringLiteral("清空 0 天前移到回收站的项目"));
    m_boxes->answers = {false};
    purge->click();
    QVERIFY(std::filesystem::exists(trashed));

    m_boxes->shown.clear();
    m_boxes->answers = {true};
    purge->click();
    QVERIFY(!std::filesystem::exists(trashed));
    QCOMPARE(m_boxes->texts(),
             strings({"question 是否确定要永久删除 0 天前移到回收站的项目？删除后不能恢复。",
                      "information 已清空 1 项，0 项未能清空，仍在回收站中。"}));
    m_boxes->shown.clear();
    form.resultsPage()->bsSkinButton12()->click();
    QCOMPARE(m_boxes->texts(), strings({"information 有 1 项已从回收站清空，不能恢复。"}));
  }

#ifndef _WIN32
  void aFileARunningProgramHoldsIsKeptUnlessTheRememberedChoiceIncludesIt() {
    machine().addNamedResource(m_cache, "1001", "星海战记");
    writeInCache("1001/0/held.tmp", 100);
    writeScanItems(dbFile(), {{"0", "", "*.tmp"}});
    const test::HeldOpen held(inCache("1001/0/held.tmp"));
    {
      gui::TForm1 form(machine().environment());
      QCheckBox* box = form.resultsPage()->skipInUseBox();
      QVERIFY(box->isChecked());
      for (QWidget* other :
           std::vector<QWidget*>{form.resultsPage()->bsSkinCheckRadioBox2(),
                                 form.resultsPage()->bsSkinButton4(), form.resultsPage()->bntClean()})
        QVERIFY(!box->geometry().intersects(other->geometry()));
      form.bsSkinButton1()->click();
      m_boxes->answers = {true};
      form.resultsPage()->bntClean()->click();
      QCOMPARE(form.resultsModel()->text(0, column(ResultsColumn::Status)), QStringLiteral("正在使用"));
      QCOMPARE(m_boxes->texts().last(),
               QStringLiteral("information 清理垃圾完成！共删除 0 项，释放 0.00 MB 空间。其中 1 "
                              "项正在使用，未清理（held.tmp 被 sleep 使用）。"));
      box->click();
    }
    QVERIFY(!Whitelist(machine().appDir() + "wb.lst").skipInUseOption());
    gui::TForm1 form(machine().environment());
    QVERIFY(!form.resultsPage()->skipInUseBox()->isChecked());
    form.bsSkinButton1()->click();
    m_boxes->answers = {true};
    form.resultsPage()->bntClean()->click();
    QCOMPARE(form.resultsModel()->text(0, column(ResultsColumn::Status)), QStringLiteral("清理成功"));
  }
#endif

  void onlyFilesOlderThanTheRememberedDaysAreCheckedAndRecentOnesGreyed() {
    machine().addNamedResource(m_cache, "1001", "星海战记");
    writeInCache("1001/0/old.tmp", 100);
    writeInCache("1001/0/new.tmp", 100);
    writeScanItems(dbFile(), {{"0", "", "*.tmp"}});
    std::filesystem::last_write_time(inCache("1001/0/old.tmp"),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::days(8));
    {
      gui::TForm1 form(machine().environment());
      QCheckBox* box = form.basicScanPage()->olderThanBox();
      QSpinBox* days = form.basicScanPage()->olderThanDays();
      QVERIFY(!box->isChecked());
      QCOMPARE(days->value(), 30);
      for (QWidget* other : form.basicScanPage()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != box && other != days)
          QVERIFY2(!other->geometry().intersects(box->geometry()) &&
                       !other->geometry().intersects(days->geometry()),
                   qPrintable(other->objectName()));
      }
      days->setValue(7);
      box->click();
    }
    QCOMPARE(Whitelist(machine().appDir() + "wb.lst").olderThanOption(), (OlderThanOption{true, 7}));
    gui::TForm1 form(machine().environment());
    QVERIFY(form.basicScanPage()->olderThanBox()->isChecked());
    QCOMPARE(form.basicScanPage()->olderThanDays()->value(), 7);
    form.bsSkinButton1()->click();
    auto* model = form.resultsModel();
    QCOMPARE(model->count(), 2);
    for (int row = 0; row < 2; ++row) {
      const bool old = model->text(row, column(ResultsColumn::Name)) == QStringLiteral("old.tmp");
      QCOMPARE(model->isChecked(row), old);
      QCOMPARE(model->text(row, column(ResultsColumn::Status)), old ? QString() : QStringLiteral("最近修改"));
      QCOMPARE(model->data(model->index(row, 0), Qt::ForegroundRole).value<QColor>() == QColor(0, 0, 0), old);
    }
    m_boxes->answers = {true};
    form.resultsPage()->bntClean()->click();
    QVERIFY(!std::filesystem::exists(inCache("1001/0/old.tmp")));
    QVERIFY(std::filesystem::exists(inCache("1001/0/new.tmp")));
  }

  void cleaningAnEmptyListOrAnsweringNoDeletesNothing() {
    machine().addNamedResource(m_cache, "1001", "星海战记");
    gui::TForm1 form(machine().environment());
    form.resultsPage()->bntClean()->click();
    QCOMPARE(m_boxes->texts(), strings({"information 当前列表为空！"}));
    QCOMPARE(m_boxes->shown[0].title, QStringLiteral("提示"));

    machine().dir().writeFile(cacheRelative("1001/0/a.tmp"));
    showFinding(form, finding("a.tmp", inCache("1001/0/")));
    m_boxes->shown.clear();
    m_boxes->answers = {false};
    form.resultsPage()->bntClean()->click();
    QCOMPARE(m_boxes->texts(), strings({"question 是否确定要清理选定的项目？"}));
    QVERIFY(std::filesystem::exists(inCache("1001/0/a.tmp")));
    QCOMPARE(statuses(form.ListView1()), QStringList{QString()});
    QVERIFY(!form.resultsPage()->Panel1()->isVisibleTo(form.resultsPage()));
  }

  void clickingAFindingShowsItsOriginAndNote_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("location");  // below the cache, or absolute when it starts with "/"
    QTest::addColumn<QString>("origin");
    QTest::addColumn<QString>("note");
    QTest::newRow("whole name, any case") << "Thumbs.DB"
                                          << "1001/0/"
                                          << "示例"
                                          << "缩略图缓存";
    QTest::newRow("extension, deeper folder") << "other.db"
                                              << "1001/0/sub/"
                                              << "示例"
                                              << "数据库文件";
    QTest::newRow("quote in the name") << "it's.dat"
                                       << "1001/0/"
                                       << "示例"
                                       << "单引号说明";
    QTest::newRow("no dot: the empty extension") << "README"
                                                 << "1001/0/"
                                                 << "示例"
                                                 << "无扩展名文件";
    QTest::newRow("resource without a name") << "a.log"
                                             << "1002/0/"
                                             << "未知"
                                             << "日志";
    QTest::newRow("outside the cache") << "x.log"
                                       << "/elsewhere/"
                                       << "未知"
                                       << "日志";
    QTest::newRow("no note at all") << "x.bin"
                                    << "1001/0/"
                                    << "示例"
                                    << "";
  }

  void clickingAFindingShowsItsOriginAndNote() {
    QFETCH(QString, name);
    QFETCH(QString, location);
    QFETCH(QString, origin);
    QFETCH(QString, note);
    machine().addNamedResource(m_cache, "1001", "示例");
    machine().addResource(m_cache, "1002", "[Info]\r\nVersion=3\r\n");
    writeInfoNotes(dbFile(), {{"thumbs.db", "缩略图缓存", 0},
                              {".db", "数据库文件", 1},
                              {"it's.dat", "单引号说明", 0},
                              {"it's.dat", "不该显示", 1},
                              {"", "无扩展名文件", 1},
                              {".log", "日志", 1}});
    gui::TForm1 form(machine().environment());
    const std::string folder =
        location.startsWith(QLatin1Char('/')) ? location.toStdString() : inCache(location.toStdString());
    showFinding(form, finding("first.db", inCache("1001/0/")));
    showFinding(form, finding(name.toStdString(), folder));
    form.bsSkinPageControl1()->setCurrentWidget(form.resultsPage());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    gui::ListView* results = form.ListView1();
    const QRect cell = results->visualRect(results->model()->index(1, 1));
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, cell.center());

    QCOMPARE(results->selectedRow(), 1);
    QCOMPARE(form.resultsPage()->Edit1()->text(), QStringLiteral("您当前选择的文件来自: ") + origin);
    QCOMPARE(form.resultsPage()->Edit2()->text(), note);
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void clickingWithoutASelectionOrWithoutNotesTable() {
    machine().addNamedResource(m_cache, "1001", "示例");
    writeScanItems(dbFile(), {});
    gui::TForm1 form(machine().environment());
    showFinding(form, finding("a.log", inCache("1001/0/")));
    form.resultsPage()->Edit1()->setText(QStringLiteral("kept"));

    form.guarded([&form] { form.ListView1Click(); });
    QCOMPARE(form.resultsPage()->Edit1()->text(), QStringLiteral("kept"));

    // The note follows the current row, however it became current.
    form.ListView1()->selectRow(0);
    QCOMPARE(form.resultsPage()->Edit1()->text(), QStringLiteral("您当前选择的文件来自: 示例"));
    QCOMPARE(m_boxes->shown.size(), 1);
    QVERIFY(m_boxes->shown[0].text.contains(QStringLiteral("no such table")));
  }

  // Mouse and keys reach the window as the window system delivers them.
  void theNoteFollowsTheKeyboardReadsFromItsStartAndItsEditsCopy() {
    machine().addNamedResource(m_cache, "1001", "示例");
    const QString longNote = QStringLiteral("程序崩溃时生成的内存转储，只在需要向开发者报告问题时有用，") +
                             QString(40, QChar(0x6587));
    writeInfoNotes(dbFile(), {{".dmp", longNote.toStdString(), 1}, {".log", "日志", 1}});
    RecordingShell shell;
    gui::TForm1 form(machine().environment());
    for (const char* name : {"crash.dmp", "run.log"})
      showFinding(form, finding(name, inCache("1001/0/")));
    form.bsSkinPageControl1()->setCurrentWidget(form.resultsPage());
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QWindow* window = form.windowHandle();
    gui::ListView* results = form.ListView1();
    QLineEdit* edit2 = form.resultsPage()->Edit2();
    const auto at = [&](QWidget* widget, QPoint point) { return widget->mapTo(&form, point); };

    QTest::mouseClick(window, Qt::LeftButton, {},
                      at(results->viewport(), results->visualRect(results->model()->index(0, 1)).center()));
    QCOMPARE(edit2->text(), longNote);
    QCOMPARE(edit2->cursorPosition(), 0);
    QCOMPARE(edit2->toolTip(), longNote);
    // Clicking the same finding again keeps both boxes at their start.
    QTest::mouseClick(window, Qt::LeftButton, {},
                      at(results->viewport(), results->visualRect(results->model()->index(0, 0)).center()));
    QCOMPARE(edit2->cursorPosition(), 0);
    QCOMPARE(form.resultsPage()->Edit1()->cursorPosition(), 0);
    QTest::keyClick(window, Qt::Key_Down);
    QCOMPARE(results->selectedRow(), 1);
    QCOMPARE(edit2->text(), QStringLiteral("日志"));

    // A failed lookup leaves no earlier note behind, and the missing database stays missing.
    std::filesystem::remove(dbFile());
    QTest::keyClick(window, Qt::Key_Up);
    QCOMPARE(edit2->text(), QString());
    QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("error 找不到规则数据库 ccdb.db\n") +
                                           QString::fromStdString(dbFile())});
    QVERIFY(!std::filesystem::exists(dbFile()));

    QLineEdit* edit1 = form.resultsPage()->Edit1();
    const QPoint inEdit = at(edit1, edit1->rect().center());
    QTest::mousePress(window, Qt::RightButton, {}, inEdit);
    QTest::mouseRelease(window, Qt::RightButton, {}, inEdit);
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr);
    QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QCOMPARE(menu->actions().front()->text(), QStringLiteral("复制"));
    menu->actions().front()->trigger();
    menu->close();
    QCOMPARE(QGuiApplication::clipboard()->text(), edit1->text());
    // The Menu key opens the same Chinese menu, not the edit's own.
    edit1->setFocus();
    QTest::keyClick(window, Qt::Key_Menu);
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr);
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions().back()->text(), QStringLiteral("全选"));
    menu->close();

    // A double click opens the finding's folder.
    QTest::mouseDClick(window, Qt::LeftButton, {},
                       at(results->viewport(), results->visualRect(results->model()->index(1, 1)).center()));
    QCOMPARE(shell.calls, QStringList{QStringLiteral("open ") + QString::fromStdString(inCache("1001/0/"))});

    // With no file manager to start, the user is told where to look.
    shell.foldersOpen = false;
    m_boxes->shown.clear();
    form.N7()->trigger();
    QCOMPARE(m_boxes->texts(),
             QStringList{QStringLiteral("warning 没有找到可以打开文件夹的程序，请手动打开 ") +
                         QString::fromStdString(inCache("1001/0/"))});
  }

  void largeFileScanFollowsThePageOptions_data() {
    QTest::addColumn<QString>("megabytes");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("filterLva");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("total");
    QTest::newRow("all files, threshold inclusive")
        << "10"
        << "所有文件" << true
        << strings({"a.rm", "b.rmvb", "clip.mp4.part", "exact.bin", "huge.iso", "nodot", "movie.MP4"})
        << "3182.00";
    QTest::newRow("lva kept") << "10"
                              << "所有文件" << false
                              << strings({"a.rm", "b.rmvb", "backup.LVA", "clip.mp4.part", "exact.bin",
                                          "huge.iso", "nodot", "movie.MP4"})
                              << "3202.00";
    QTest::newRow("media only") << "20"
                                << "视频与歌曲文件" << true << strings({"a.rm", "b.rmvb", "movie.MP4"})
                                << "60.00";
    QTest::newRow("beyond 2 GiB") << "2000"
                                  << "所有文件" << true << strings({"huge.iso"}) << "3072.00";
  }

  void largeFileScanFollowsThePageOptions() {
    QFETCH(QString, megabytes);
    QFETCH(QString, kind);
    QFETCH(bool, filterLva);
    QFETCH(QStringList, names);
    QFETCH(QString, total);
    constexpr std::uintmax_t kMiB = 1 << 20;
    machine().addNamedResource(m_cache, "1001", "星海战记");
    writeInCache("1001/0/exact.bin", 10 * kMiB);
    writeInCache("1001/0/under.bin", 10 * kMiB - 1);
    for (const char* name : {"sub/movie.MP4", "clip.mp4.part", "a.rm", "b.rmvb", "backup.LVA", "nodot"})
      writeInCache(std::string("1001/0/") + name, 20 * kMiB);
    writeInCache("1001/0/huge.iso", 3072 * kMiB);

    gui::TForm1 form(machine().environment());
    gui::LargeFilePage* page = form.largeFilePage();
    page->ComboBox1()->setCurrentText(megabytes);
    page->ComboBox2()->setCurrentText(kind);
    page->bsSkinCheckRadioBox1()->setChecked(filterLva);
    watch(form);
    page->bsSkinButton8()->click();

    const gui::ListView* results = form.ListView1();
    QCOMPARE(columnTexts(results, column(ResultsColumn::Name)), names);
    for (int row = 0; row < form.resultsModel()->count(); ++row)
      QVERIFY(!form.resultsModel()->isChecked(row));
    if (const int hugeRow = names.indexOf(QStringLiteral("huge.iso")); hugeRow >= 0)
      QCOMPARE(form.resultsModel()->text(hugeRow, column(ResultsColumn::Size)), QStringLiteral("3.00GB"));
    QCOMPARE(form.resultsModel()->caption(0), QStringLiteral("文件名[%1]").arg(names.size()));
    QCOMPARE(form.resultsPage()->Label2()->text(), QStringLiteral("本次共扫描到约 %1MB 垃圾。").arg(total));
    QCOMPARE(windowState(form), idleState(static_cast<int>(names.size())));
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void softwareCacheScanSearchesTheLocalVolumesInOrderWithoutSubfolders() {
    machine().addNamedResource(m_cache, "1001", "星海战记");
    machine().addVolume("d", DriveKind::Optical);
    const std::string e = machine().addVolume("e", DriveKind::Removable);
    machine().addVolume("f", DriveKind::Remote);
    for (const char* file : {"c/TV/Cache/a.tmp", "c/TV/Cache/b.dat", "e/TV/Cache/y.dat", "c/Player/seg.bin"})
      sizedFile(machine().dir(), file, 256 * 1024);
    for (const char* file : {"c/TV/Cache/c.txt", "c/TV/Cache/sub/d.tmp", "d/TV/Cache/x.tmp",
                             "f/TV/Cache/z.tmp", "c/Player/parts/p.bin", "c/Player/noext"})
      machine().dir().writeFile(file, "x");
    writeCacheRules(dbFile(), {{"TV\\Cache", "*.tmp\r\n*.dat", "网络电视缓存"}, {"Player", "*.*", "播放器"}});

    gui::TForm1 form(machine().environment());
    QStringList seen;
    connect(form.resultsPage()->ProgressBar1(), &QProgressBar::valueChanged, this,
            [&](int value) { seen.append(QString::number(value)); });
    form.softwareCachePage()->bsSkinButton10()->click();

    const gui::ListView* results = form.ListView1();
    QCOMPARE(columnTexts(results, column(ResultsColumn::Name)),
             strings({"a.tmp", "b.dat", "y.dat", "parts", "seg.bin"}));
    const QString c = QString::fromStdString(machine().volumes()[0].root);
    QCOMPARE(columnTexts(results, column(ResultsColumn::Location)),
             (QStringList{c + QStringLiteral("TV/Cache/"), c + QStringLiteral("TV/Cache/"),
                          QString::fromStdString(e) + QStringLiteral("TV/Cache/"),
                          c + QStringLiteral("Player/"), c + QStringLiteral("Player/")}));
    QCOMPARE(form.resultsModel()->text(3, column(ResultsColumn::Size)), QStringLiteral("文件夹"));
    for (int row = 0; row < 5; ++row)
      QVERIFY(form.resultsModel()->isChecked(row));
    QCOMPARE(seen, strings({"1", "2"}));
    QCOMPARE(form.resultsPage()->ProgressBar1()->maximum(), 2);
    QCOMPARE(form.resultsModel()->caption(0), QStringLiteral("文件名[5]"));
    QCOMPARE(form.resultsPage()->Label2()->text(), QStringLiteral("本次共扫描到约 1.00MB 垃圾。"));
    QCOMPARE(windowState(form), idleState(5));
    QVERIFY(m_boxes->shown.isEmpty());
  }

  void scanOptionsOpensTheScanListDialogModally() {
    machine().addNamedResource(m_cache, "1001", "星海战记");
    writeScanItems(dbFile(), {{"0", "", "*.log", "日志文件"}});
    gui::TForm1 form(machine().environment());
    form.show();
    QStringList listed;
    QTimer::singleShot(0, this, [&listed] {
      auto* dialog = qobject_cast<gui::TfrmScanList*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      listed = columnTexts(dialog->ListView1(), 1);
      dialog->bsSkinButton2()->click();
    });
    form.basicScanPage()->bsSkinButton9()->click();
    QCOMPARE(listed, strings({"日志文件"}));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  void stoppingKeepsTheRowsFoundAndTheyCanBeCleaned_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("停止") << QStringLiteral("button");
    QTest::newRow("Esc") << QStringLiteral("Esc");
  }

  void stoppingKeepsTheRowsFoundAndTheyCanBeCleaned() {
    QFETCH(QString, how);
    for (int id = 1000; id < 1020; ++id) {
      machine().addResource(m_cache, std::to_string(id), "");
      writeInCache(std::to_string(id) + "/0/a.log", 1024 * 1024);
    }
    writeScanItems(dbFile(), {{"0", "", "*.log"}});
    gui::TForm1 form(machine().environment());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.stopButton()->isHidden());
    // Stopped as the sixth resource comes up: the five before it were scanned.
    QString during;
    connect(form.resultsPage()->ProgressBar1(), &QProgressBar::valueChanged, this, [&](int value) {
      if (value != 5)
        return;
      during = QStringLiteral("stop=%1 pages=%2")
                   .arg(form.stopButton()->isVisible() && form.stopButton()->isEnabled())
                   .arg(form.bsSkinPageControl1()->isEnabled());
      pressStop(form, how);
    });
    form.bsSkinButton1()->click();
    disconnect(form.resultsPage()->ProgressBar1(), nullptr, this, nullptr);

    QCOMPARE(during, QStringLiteral("stop=1 pages=0"));
    QCOMPARE(windowState(form), idleState(5, QStringLiteral("扫描已停止。")));
    QCOMPARE(checksOf(form), QList<bool>(5, true));
    QCOMPARE(form.resultsPage()->Label2()->text(), QStringLiteral("扫描已停止，已找到约 5.00 MB 垃圾。"));
    QVERIFY(form.stopButton()->isHidden());

    // A pass stopped before its first row cleans nothing; the next one cleans the rows kept.
    m_boxes->answers = {true, true};
    QTimer::singleShot(0, this, [&] { pressStop(form, how); });
    form.resultsPage()->bntClean()->click();
    QCOMPARE(statuses(form.ListView1()), QStringList(5, QString()));
    form.resultsPage()->bntClean()->click();
    QCOMPARE(statuses(form.ListView1()), QStringList(5, QStringLiteral("清理成功")));
    QCOMPARE(m_boxes->texts(),
             strings({"question 是否确定要清理选定的项目？",
                      "information 清理已停止，其余项目未清理。共删除 0 项，释放 0.00 MB 空间。",
                      "question 是否确定要清理选定的项目？",
                      "information 清理垃圾完成！共删除 5 项，释放 0.00 MB 空间。"}));
    QVERIFY(!std::filesystem::exists(inCache("1004/0/a.log")));
    QVERIFY(std::filesystem::exists(inCache("1005/0/a.log")));
  }

  void closingTheWindowDuringAScanEndsTheScanThenTheWindow() {
    for (int id = 10000; id < 10300; ++id) {
      machine().addResource(m_cache, std::to_string(id), "");
      writeInCache(std::to_string(id) + "/0/a.log");
    }
    writeScanItems(dbFile(), {{"0", "", "*.log"}});
    gui::TForm1 form(machine().environment());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QTimer::singleShot(0, &form, [&form] { form.close(); });
    form.bsSkinButton1()->click();

    QVERIFY(!form.isVisible());
    QVERIFY(form.resultsModel()->count() < 300);
    QCOMPARE(form.bsSkinButton1()->text(), QStringLiteral("扫描"));
    QVERIFY(form.bsSkinButton1()->isEnabled());
    QVERIFY(form.bsSkinPageControl1()->isEnabled());
    QVERIFY(!form.resultsPage()->Panel1()->isVisibleTo(form.resultsPage()));
    QVERIFY(m_boxes->shown.isEmpty());
  }
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::frmmain_scansTest)
#include "frmmain_scansTest.moc"
