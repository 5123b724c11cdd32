#include <QApplication>

#include "gui/Application.h"
#include "gui/HomePage.h"
#include "gui/frmmain.h"

int main(int argc, char* argv[]) {
  if (qinglan::gui::printVersionIfAsked(argc, argv))
    return 0;
  qinglan::gui::prepareWebEngine();
  QApplication app(argc, argv);
  qinglan::gui::setupApplication(app);
  if (!qinglan::gui::prepareUserFiles())
    return 1;

  qinglan::gui::TForm1 form;
  if (form.terminationRequested())
    return 0;
  form.show();
  return app.exec();
}
