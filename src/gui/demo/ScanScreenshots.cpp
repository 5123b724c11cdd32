#include "gui/demo/ScanScreenshots.h"

#include <cstdio>

#include <QCoreApplication>
#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

#include "gui/MessageBoxes.h"
#include "gui/frmmain.h"

namespace qinglan::gui {

namespace {

// Prints every prompt and answers questions Yes, for as long as it lives.
class PrintedPrompts final : public MessageBoxes {
 public:
  PrintedPrompts() { setMessageBoxes(this); }
  ~PrintedPrompts() override { setMessageBoxes(nullptr); }
  PrintedPrompts(const PrintedPrompts&) = delete;
  PrintedPrompts& operator=(const PrintedPrompts&) = delete;

  void warning(QWidget*, const QString& title, const QString& text) override { print(title, text); }
  void information(QWidget*, const QString& title, const QString& text) override { print(title, text); }
  bool question(QWidget*, const QString& title, const QString& text) override {
    print(title, text + QStringLiteral(" → 是"));
    return true;
  }
  void error(QWidget*, const QString& title, const QString& text) override { print(title, text); }

 private:
  static void print(const QString& title, const QString& text) {
    std::printf("[%s] %s\n", qPrintable(title), qPrintable(text));
  }
};

}  // namespace

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

QStringList saveScanScreenshots(TForm1& form, const QString& fileName, bool clean) {
  const PrintedPrompts prompts;
  const QFileInfo info(fileName);
  const QString stem = info.path() + QLatin1Char('/') + info.completeBaseName();
  const QString suffix = info.suffix().isEmpty() ? QStringLiteral("png") : info.suffix();
  QStringList saved;
  const auto save = [&](const QString& step) {
    QCoreApplication::processEvents();
    const QString name = stem + QLatin1Char('-') + step + QLatin1Char('.') + suffix;
    if (form.grab().save(name))
      saved.append(name);
  };

  form.bsSkinButton1()->click();
  if (form.resultsModel()->count() > 0) {
    form.ListView1()->selectRow(0);
    form.guarded([&form] { form.ListView1Click(); });
  }
  save(QStringLiteral("scan"));
  if (clean) {
    form.resultsPage()->bntClean()->click();
    save(QStringLiteral("clean"));
  }
  return saved;
}

}  // namespace qinglan::gui
