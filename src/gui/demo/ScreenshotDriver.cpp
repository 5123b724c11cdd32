// Demo-only entry: starts the window as the shipped program does, saves it and each page to PNG
// files, optionally runs a basic scan (--scan) and a cleaning pass (--clean) answered Yes, prints
// the files saved and quits. Usage: qinglan-screenshots FILE.png [--scan | --clean]
#include <cstdio>

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include "gui/Application.h"
#include "gui/HomePage.h"
#include "gui/demo/ScanScreenshots.h"
#include "gui/frmmain.h"

int main(int argc, char* argv[]) {
  qinglan::gui::prepareWebEngine();
  QApplication app(argc, argv);
  qinglan::gui::setupApplication(app);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() < 2) {
    std::fprintf(stderr, "usage: qinglan-screenshots FILE.png [--scan | --clean]\n");
    return 2;
  }
  const QString screenshot = arguments.at(1);
  const bool clean = arguments.contains(QStringLiteral("--clean"));
  const bool scan = clean || arguments.contains(QStringLiteral("--scan"));
  if (!qinglan::gui::prepareUserFiles())
    return 1;

  qinglan::gui::TForm1 form;
  if (form.terminationRequested())
    return 0;
  form.show();

  // The home page loads in the background: the shot waits until its document is ready, or gives up
  // waiting after a while.
  auto* shot = new QTimer(&form);
  shot->setSingleShot(true);
  QObject::connect(shot, &QTimer::timeout, &form, [&form, screenshot, scan, clean] {
    QStringList saved = qinglan::gui::saveScreenshots(form, screenshot);
    if (scan)
      saved += qinglan::gui::saveScanScreenshots(form, screenshot, clean);
    for (const QString& name : saved)
      std::printf("%s\n", qPrintable(name));
    QCoreApplication::quit();
  });
  QObject::connect(form.homePage(), &qinglan::gui::HomePage::documentPropertiesSet, shot,
                   [shot] { shot->start(300); });
  shot->start(10'000);
  return app.exec();
}
