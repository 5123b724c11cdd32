#include <filesystem>
#include <optional>
#include <system_error>

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "gui/FlagScope.h"
#include "gui/MessageBoxes.h"
#include "gui/ShellActions.h"
#include "gui/UnitCachePath.h"
#include "gui/frmmain.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "scan/ResourceList.h"
#include "whitelist/Whitelist.h"

namespace qinglan::gui {

void TForm1::bsSkinButton2Click() {
  // A refresh started while the list is being built would re-enter the running search.
  if (refusedWhileBusy())
    return;
  FlagScope listing(m_listingResources);
  m_imageList1.reset();
  ListView2()->rows()->clear();
  setResourceCounter();
  listInstalledResources(
      m_settings.cloudCachePath, whitelist(),
      [this](const InstalledResource& resource) { EasyFileSearch2FileFound(resource); }, [this] { pump(); });
}

void TForm1::EasyFileSearch2FileFound(const InstalledResource& resource) {
  ListRow row;
  row.cells = {QString::fromStdString(resource.name), QString::fromStdString(resource.id)};
  row.key = resource.id;
  row.checked = true;
  const QIcon icon = loadIconFile(QString::fromStdString(resource.iconFile));
  row.imageIndex = icon.isNull() ? 0 : m_imageList1.add(icon);
  ListView2()->rows()->appendRow(std::move(row));
  setResourceCounter();
  pump();
}

void TForm1::N9Click() {
  const int row = ListView2()->selectedRow();
  if (row < 0)
    return;
  const std::string folder =
      m_settings.cloudCachePath + platform::kSeparator + resourceIdOf(*ListView2()->rows(), row);
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error))
    return;
  // A name that is not UTF-8 has no QString form that leads back to it: its address is built from the bytes.
  const QString shown = QString::fromStdString(folder);
  const bool opened = platform::isValidUtf8(folder)
                          ? shellActions().openFolder(shown)
                          : shellActions().openUrl(QUrl::fromEncoded(
                                "file://" + QByteArray::fromStdString(folder).toPercentEncoding("/")));
  if (!opened)
    warnNoFileManager(this, shown);
}

std::string resourceIdOf(const RowListModel& rows, int row) {
  const ListRow& listed = rows.row(row);
  return listed.key.empty() ? listed.cells.value(1).toStdString() : listed.key;
}

bool TForm1::refusedWhileBusy() {
  // A refresh started while the list is being built would re-enter the running search, and a cache
  // switched then would leave the old cache's rows under the new path.
  if (!m_basicScanRunning && !m_listingResources)
    return false;
  showPromptWarning(this, QStringLiteral("此刻不能刷新软件列表!"));
  return true;
}

void TForm1::LinkLabel1Click() {
  if (refusedWhileBusy())
    return;
  std::optional<std::string> chosen;
  {
    TfrmCachePath dialog(volumes(), this);
    dialog.exec();
    chosen = dialog.chosenPath();
  }
  if (!chosen)
    return;
  m_settings.cloudCachePath = *chosen;
  Label3()->setText(QStringLiteral("您当前选择扫描的是 ") +
                    QString::fromStdString(m_settings.cloudCachePath));
  bsSkinButton2Click();
}

}  // namespace qinglan::gui
