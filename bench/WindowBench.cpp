// Times the results list of the main window with 200,000 findings: appending them as a scan does,
// "全选" over all of them, sorting them by size and by name as a header click does, and a new basic
// scan that clears them. Runs offscreen; run by hand.
//   window_bench [ROWS]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>

#include "gui/Application.h"
#include "gui/WindowScanFront.h"
#include "gui/frmmain.h"
#include "rules/SQLiteTable3.h"
#include "scan/FormatFileSize.h"

namespace {

using namespace qinglan;

// A volume with a one-resource cache, and a program folder whose rules find one file there.
struct BenchMachine {
  std::filesystem::path root;

  BenchMachine() {
    char pattern[] = "/tmp/qinglan-window-bench.XXXXXX";
    root = ::mkdtemp(pattern);
    std::filesystem::create_directories(root / "c/CloudCache/1001/0");
    std::filesystem::create_directories(root / "app");
    std::FILE* file = std::fopen((root / "c/CloudCache/1001/0/run.log").c_str(), "w");
    std::fclose(file);
    TSQLiteDatabase db((root / "app/ccdb.db").string(), TSQLiteDatabase::OpenMode::Create);
    db.Query("CREATE TABLE ccdb (Id INTEGER, Name TEXT, UnScan INTEGER, Folder TEXT, File TEXT)");
    db.Query("INSERT INTO ccdb VALUES (1, 'logs', 0, '', '*.log')");
  }
  ~BenchMachine() { std::filesystem::remove_all(root); }

  gui::FormEnvironment environment() const {
    const std::string volume = (root / "c").string() + "/";
    return {(root / "app").string() + "/", [volume] {
              return std::vector<platform::Volume>{{volume, platform::DriveKind::Fixed}};
            }};
  }
};

ResultsRow findingNumber(int i) {
  ResultsRow row;
  row.name = "file" + std::to_string(i) + ".tmp";
  row.location = "/media/data/CloudCache/1001/0/cache/" + std::to_string(i % 97) + "/";
  row.size = 1024 + i;
  row.sizeText = FormatFileSize(row.size);
  row.dateText = "2013/5/7";
  row.checked = true;
  return row;
}

double millisecondsOf(const std::function<void()>& step) {
  QElapsedTimer timer;
  timer.start();
  step();
  QCoreApplication::processEvents();  // the repaint the change asks for
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  const int rows = argc > 1 ? std::atoi(argv[1]) : 200000;
  QApplication app(argc, argv);
  gui::setupApplication(app);

  BenchMachine machine;
  gui::TForm1 form(machine.environment());
  form.show();
  form.bsSkinPageControl1()->setCurrentWidget(form.resultsPage());
  QCoreApplication::processEvents();

  const double append = millisecondsOf([&] {
    gui::WindowScanFront view(form);
    for (int i = 0; i < rows; ++i) {
      view.results().append(findingNumber(i));
      view.pump();
    }
  });
  const int listed = form.ListView1()->rows()->rowCount();
  form.resultsPage()->bsSkinButton5()->click();
  QCoreApplication::processEvents();
  const double checkAll = millisecondsOf([&] { form.resultsPage()->bsSkinButton4()->click(); });
  const double bySize = millisecondsOf([&] { form.ListView1()->sortByColumn(2, Qt::DescendingOrder); });
  const double byName = millisecondsOf([&] { form.ListView1()->sortByColumn(0, Qt::AscendingOrder); });
  const double newScan = millisecondsOf([&] { form.bsSkinButton1()->click(); });

  std::printf("append %d findings (list then shows %d): %8.1f ms\n", rows, listed, append);
  std::printf("全选 over %d rows:                          %8.1f ms\n", listed, checkAll);
  std::printf("sort %d rows by size:                        %8.1f ms\n", listed, bySize);
  std::printf("sort %d rows by name:                        %8.1f ms\n", listed, byName);
  std::printf("new basic scan, clearing them (lists %d):     %8.1f ms\n",
              form.ListView1()->rows()->rowCount(), newScan);
  return 0;
}
