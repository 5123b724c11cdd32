#include <optional>

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "app/unitGlobal.h"
#include "gui/FlagScope.h"
#include "gui/MessageBoxes.h"
#include "gui/ShellActions.h"
#include "gui/UnitCachePath.h"
#include "gui/frmmain.h"
#include "platform/Path.h"
#include "scan/ResourceList.h"
#include "whitelist/Whitelist.h"

namespace qinglan::gui {

void TForm1::bsSkinButton2Click() {
  // A refresh started while the list is being built would re-enter the running search.
  if (bsSkinButton1()->text() != QStringLiteral("扫描") || m_listingResources) {
    showPromptWarning(this, QStringLiteral("此刻不能刷新软件列表!"));
    return;
  }
  FlagScope listing(m_listingResources);
  m_imageList1.reset();
  ListView2()->rows()->clear();
  setResourceCounter();
  EasyFileSearch2.setRootPath(globals().CloudCachePath);
  EasyFileSearch2.Execute();
}

void TForm1::EasyFileSearch2FileFound(const TFileInformations& fileFound) {
  const std::optional<InstalledResource> resource = installedResourceFor(fileFound, whitelist());
  if (!resource)
    return;

  ListRow row;
  row.cells = {QString::fromStdString(resource->name), QString::fromStdString(resource->id)};
  row.checked = true;
  const QIcon icon = loadIconFile(QString::fromStdString(resource->iconFile));
  row.imageIndex = icon.isNull() ? 0 : m_imageList1.add(icon);
  ListView2()->rows()->appendRow(std::move(row));
  setResourceCounter();
  pump();
}

void TForm1::N9Click() {
  const int row = ListView2()->selectedRow();
  if (row < 0)
    return;
  const QString folder = QString::fromStdString(globals().CloudCachePath) +
                         QLatin1Char(platform::kSeparator) + ListView2()->rows()->text(row, 1);
  if (QFileInfo(folder).isDir())
    shellActions().openFolder(folder);
}

void TForm1::LinkLabel1Click() {
  globals().CachePathConfirmed = 0;
  {
    TfrmCachePath dialog(volumes(), this);
    dialog.exec();
  }
  if (globals().CachePathConfirmed != 1)
    return;
  Label3()->setText(QStringLiteral("您当前选择扫描的是 ") + QString::fromStdString(globals().CloudCachePath));
  bsSkinButton2Click();
}

}  // namespace qinglan::gui
