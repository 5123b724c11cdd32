#include "GuiTestSupport.h"

#include <QColor>
#include <QImage>

#include "platform/Codepage.h"
#include "platform/Path.h"

namespace qinglan::test {

SampleMachine::SampleMachine() {
  m_dir.makeFolder("app");
}

std::string SampleMachine::appDir() const {
  return m_dir.path("app/");
}

std::string SampleMachine::wbLst() const {
  return m_dir.path("app/wb.lst");
}

std::string SampleMachine::addVolume(const std::string& name, platform::DriveKind kind) {
  const std::string root = platform::withTrailingSeparator(m_dir.makeFolder(name));
  m_volumes.push_back({root, kind});
  return root;
}

std::string SampleMachine::makeCache(const std::string& volumeRoot) const {
  const std::string cache = volumeRoot + "CloudCache";
  m_dir.makeFolder(cache.substr(m_dir.path().size() + 1));
  return cache;
}

std::string SampleMachine::addResource(const std::string& cache, const std::string& id,
                                       std::string_view resourceIni) const {
  const std::string relative = cache.substr(m_dir.path().size() + 1) + "/" + id;
  const std::string folder = m_dir.makeFolder(relative + "/0");
  if (!resourceIni.empty())
    m_dir.writeFile(relative + "/Resource.ini", platform::utf8ToGbk(resourceIni));
  return m_dir.path(relative);
}

std::string SampleMachine::addNamedResource(const std::string& cache, const std::string& id,
                                            std::string_view name) const {
  return addResource(cache, id, "[Info]\r\nResourceName=" + std::string(name) + "\r\n");
}

void SampleMachine::writeIcon(const std::string& resourceFolder) const {
  m_dir.makeFolder(resourceFolder.substr(m_dir.path().size() + 1) + "/IconCache");
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(QColor(30, 120, 200));
  image.save(QString::fromStdString(resourceFolder + "/IconCache/0.ico"), "ICO");
}

void SampleMachine::writeWbLst(std::string_view utf8) const {
  m_dir.writeFile("app/wb.lst", platform::utf8ToGbk(utf8));
}

gui::FormEnvironment SampleMachine::environment() const {
  // The home page's browser only where a test looks at it: it starts a browser engine.
  return {.appDir = appDir(),
          .volumes = [volumes = m_volumes] { return volumes; },
          .volumeSpace = &m_space,
          .homePageBrowser = false};
}

QStringList strings(std::initializer_list<const char*> utf8) {
  QStringList list;
  for (const char* text : utf8)
    list.append(QString::fromUtf8(text));
  return list;
}

QStringList columnTexts(const gui::ListView* view, int column) {
  const QAbstractItemModel* model = view->model();
  QStringList texts;
  for (int row = 0; row < model->rowCount(); ++row)
    texts.append(model->index(row, column).data().toString());
  return texts;
}

void showFinding(gui::TForm1& form, const ResultsRow& row) {
  form.findings().append(row);
  form.resultsModel()->flush();
}

}  // namespace qinglan::test
