#include <cstdio>

#include <QApplication>
#include <QTimer>

#include "gui/Application.h"
#include "gui/HomePage.h"
#include "gui/ScanScreenshots.h"
#include "gui/frmmain.h"

int main(int argc, char* argv[]) {
  qinglan::gui::prepareWebEngine();
  QApplication app(argc, argv);
  qinglan::gui::setupApplication(app);

  qinglan::gui::TForm1 form;
  if (form.terminationRequested())
    return 0;
  form.show();

  // QINGLAN_SCREENSHOT=FILE.png renders the window after start-up to PNG files and quits.
  const QString screenshot = qEnvironmentVariable("QINGLAN_SCREENSHOT");
  if (!screenshot.isEmpty()) {
    // The home page loads in the background: the shot waits until its document is ready, or gives
    // up waiting after a while.
    auto* shot = new QTimer(&form);
    shot->setSingleShot(true);
    QObject::connect(shot, &QTimer::timeout, &form, [&form, screenshot] {
      for (const QString& saved : qinglan::gui::saveScreenshots(form, screenshot))
        std::printf("%s\n", qPrintable(saved));
      // QINGLAN_SCREENSHOT_SCAN=1 adds the results of a basic scan; =clean, then of a cleaning pass.
      const QString scan = qEnvironmentVariable("QINGLAN_SCREENSHOT_SCAN");
      if (!scan.isEmpty()) {
        for (const QString& saved :
             qinglan::gui::saveScanScreenshots(form, screenshot, scan == QStringLiteral("clean")))
          std::printf("%s\n", qPrintable(saved));
      }
      QCoreApplication::quit();
    });
    QObject::connect(form.homePage(), &qinglan::gui::HomePage::documentPropertiesSet, shot,
                     [shot] { shot->start(300); });
    shot->start(10'000);
  }
  return app.exec();
}
