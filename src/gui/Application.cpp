#include "gui/Application.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QPixmap>
#include <QStringList>
#include <QTabWidget>

#include "gui/MessageBoxes.h"
#include "gui/frmmain.h"

namespace qinglan::gui {

void setupApplication(QApplication& app) {
  QApplication::setApplicationName(appTitle());
  QApplication::setStyle(QStringLiteral("Fusion"));
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("Source Han Sans SC"), font.family()});
  font.setPointSize(9);
  app.setFont(font);
}

QStringList saveScreenshots(TForm1& form, const QString& fileName) {
  QStringList saved;
  const auto save = [&](const QString& name) {
    QCoreApplication::processEvents();
    if (form.grab().save(name))
      saved.append(name);
  };
  save(fileName);

  const QFileInfo info(fileName);
  const QString stem = info.path() + QLatin1Char('/') + info.completeBaseName();
  const QString suffix = info.suffix().isEmpty() ? QStringLiteral("png") : info.suffix();
  QTabWidget* pages = form.bsSkinPageControl1();
  const int shown = pages->currentIndex();
  for (int page = 0; page < pages->count(); ++page) {
    pages->setCurrentIndex(page);
    save(stem + QStringLiteral("-page") + QString::number(page + 1) + QLatin1Char('.') + suffix);
  }
  pages->setCurrentIndex(shown);
  return saved;
}

}  // namespace qinglan::gui
