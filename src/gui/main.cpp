#include <QApplication>

#include "app/ExitCode.h"
#include "gui/Application.h"
#include "gui/HomePage.h"
#include "gui/frmmain.h"

int main(int argc, char* argv[]) {
  if (qinglan::gui::printVersionIfAsked(argc, argv))
    return qinglan::exitStatus(qinglan::ExitCode::Success);
  qinglan::gui::prepareWebEngine();
  QApplication app(argc, argv);
  qinglan::gui::setupApplication(app);
  if (!qinglan::gui::prepareUserFiles())
    return qinglan::exitStatus(qinglan::ExitCode::Failure);

  qinglan::gui::TForm1 form;
  if (form.terminationRequested())
    return qinglan::exitStatus(qinglan::ExitCode::Success);
  form.show();
  return app.exec();
}
