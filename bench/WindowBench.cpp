// Times the results list of the main window with 200,000 and then 1,000,000 findings: appending
// them as a scan does, the pump running, "全选" over all of them, sorting them by size and by name as
// a header click does, and a new basic scan that clears them; and the peak resident memory. Each
// step gives its wall time and the main thread's CPU time, which other loads on the machine do not
// stretch. Runs offscreen; run by hand. The bench preset leaves the window out; build it with
//   cmake --preset bench -DQINGLAN_BUILD_GUI=ON && cmake --build build/bench --target window_bench
//   window_bench [ROWS...]
#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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

struct Timing {
  double wallMs;
  double cpuMs;
};

double threadCpuMs() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

Timing timingOf(const std::function<void()>& step) {
  QElapsedTimer timer;
  const double cpuBefore = threadCpuMs();
  timer.start();
  step();
  QCoreApplication::processEvents();  // the repaint the change asks for
  return {static_cast<double>(timer.nsecsElapsed()) / 1e6, threadCpuMs() - cpuBefore};
}

long peakResidentMb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

// VmRSS from /proc/self/status, in MB.
long residentMb() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  char line[256];
  long kb = 0;
  while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr)
    if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1)
      break;
  if (status != nullptr)
    std::fclose(status);
  return kb / 1024;
}

struct Step {
  Timing timing;
  long residentMbAfter;
};

Step stepOf(const std::function<void()>& step) {
  const Timing timing = timingOf(step);
  return {timing, residentMb()};
}

void print(const char* name, int rows, Step step) {
  std::printf("%-22s %8d rows: %8.1f ms wall %8.1f ms cpu, %4ld MB resident after\n", name, rows,
              step.timing.wallMs, step.timing.cpuMs, step.residentMbAfter);
}

void runWith(gui::TForm1& form, int rows) {
  form.resultsModel()->clear();
  const Step append = stepOf([&] {
    gui::WindowScanFront view(form);
    for (int i = 0; i < rows; ++i) {
      view.results().append(findingNumber(i));
      view.pump();
    }
  });
  const int listed = form.resultsModel()->rowCount();
  form.resultsPage()->bsSkinButton5()->click();
  QCoreApplication::processEvents();
  const Step checkAll = stepOf([&] { form.resultsPage()->bsSkinButton4()->click(); });
  const Step bySize = stepOf([&] { form.ListView1()->sortByColumn(2, Qt::DescendingOrder); });
  const Step byName = stepOf([&] { form.ListView1()->sortByColumn(0, Qt::AscendingOrder); });
  const long peakMb = peakResidentMb();
  const Step newScan = stepOf([&] { form.bsSkinButton1()->click(); });

  print("append, pump running", listed, append);
  print("全选", listed, checkAll);
  print("sort by size", listed, bySize);
  print("sort by name", listed, byName);
  print("new scan clears them", listed, newScan);
  std::printf("peak resident memory so far: %ld MB\n\n", peakMb);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i)
    sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty())
    sizes = {200000, 1000000};
  QApplication app(argc, argv);
  gui::setupApplication(app);

  BenchMachine machine;
  gui::TForm1 form(machine.environment());
  form.show();
  form.bsSkinPageControl1()->setCurrentWidget(form.resultsPage());
  QCoreApplication::processEvents();
  for (int rows : sizes)
    runWith(form, rows);
  return 0;
}
