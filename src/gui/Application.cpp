#include "gui/Application.h"

#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QFont>
#include <QIcon>

#include "app/AppPaths.h"
#include "gui/HandlerGuard.h"
#include "gui/MessageBoxes.h"
#include "platform/OwnFolder.h"

#ifndef QINGLAN_VERSION
#define QINGLAN_VERSION "unknown"
#endif

namespace qinglan::gui {

void setupApplication(QApplication& app) {
  QApplication::setApplicationName(appTitle());
  // Named after the installed desktop entry and icon, so the desktop shows the program's own.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.qinglan.Qinglan"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.qinglan.Qinglan")));
  QApplication::setStyle(QStringLiteral("Fusion"));
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("Source Han Sans SC"), font.family()});
  font.setPointSize(9);
  app.setFont(font);
}

bool prepareUserFiles() {
  bool safe = true;
  runGuarded(nullptr, [&safe] {
    try {
      startUpPaths();
    } catch (const platform::UnsafeFolderError&) {
      safe = false;
      throw;
    }
  });
  return safe;
}

bool printVersionIfAsked(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("qinglan %s\n", QINGLAN_VERSION);
      return true;
    }
  }
  return false;
}

}  // namespace qinglan::gui
