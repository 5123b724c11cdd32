#include <string>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>

#include "gui/ApplicationEvents.h"
#include "gui/MessageBoxes.h"
#include "gui/ScopedDisable.h"
#include "gui/ShellActions.h"
#include "gui/frmmain.h"
#include "web/SiteHosts.h"
#include "web/UpdateCheck.h"
#include "whitelist/Whitelist.h"

namespace qinglan::gui {

namespace {

// Every row of the resource list takes part, checked or not.
std::vector<ListedResource> listedResources(const RowListModel& rows) {
  std::vector<ListedResource> resources;
  resources.reserve(static_cast<std::size_t>(rows.count()));
  for (int row = 0; row < rows.count(); ++row)
    resources.push_back({rows.text(row, 0).toStdString(), resourceIdOf(rows, row), rows.row(row).imageIndex});
  return resources;
}

}  // namespace

void TForm1::connectWebHandlers() {
  m_applicationEvents1 = new ApplicationEvents(this);
  m_applicationEvents1->OnMessage = [this](QEvent* event) { return ApplicationEvents1Message(event); };
  connect(m_homePage, &HomePage::documentComplete, this,
          [this] { guarded([this] { WebBrowser1DocumentComplete(); }); });
}

void TForm1::bsSkinButton11Click() {
  ScopedDisable pages(m_pageControl);
  ScopedDisable button(m_updatePage->bsSkinButton11());
  const UpdateCheckInput input{listedResources(*ListView2()->rows()), m_settings.cloudCachePath,
                               whitelist().fileName(), updateSiteHost()};
  UpdateListSink sink(*m_updatePage);
  try {
    checkForUpdates(input, IdHTTP1, sink, [this] { pump(); });
  } catch (const FetchError& error) {
    m_updatePage->Label12()->setText(QStringLiteral("检查更新失败"));
    // The client's own words stay behind "详细信息"; the box says what happened in Chinese.
    QString sentence = error.timedOut()   ? QStringLiteral("读取更新数据超时")
                       : error.answered() ? QStringLiteral("更新服务器没有给出更新数据")
                                          : QStringLiteral("无法连接更新服务器");
    if (!error.timedOut())
      sentence += QStringLiteral("：") + QString::fromStdString(fetchFailureReason(error));
    messageBoxes().detailedError(this, appTitle(), sentence, QString::fromUtf8(error.what()));
  }
}

void TForm1::MenuItem4Click() {
  const int row = ListView4()->selectedRow();
  if (row < 0)
    return;
  const RowListModel* rows = ListView4()->rows();
  const std::string link = downloadLink(rows->text(row, kUpdateResourceIdColumn).toStdString(),
                                        rows->text(row, kLatestVersionColumn).toStdString());
  QGuiApplication::clipboard()->setText(QString::fromStdString(link));
  showPromptInformation(nullptr, QString::fromUtf8(kLinkCopiedMessage));
}

void TForm1::N11Click() {
  const int row = ListView4()->selectedRow();
  if (row < 0)
    return;
  RowListModel* rows = ListView4()->rows();
  silenceVersion(whitelist().fileName(), rows->text(row, kUpdateResourceIdColumn).toStdString(),
                 rows->text(row, kLatestVersionColumn).toStdString());
  // The count follows the rows; a failed check's text stays, since that count was never complete.
  QLabel* status = m_updatePage->Label12();
  const bool counted = status->text() == QString::fromStdString(updateCountStatus(rows->count()));
  rows->deleteRow(row);
  if (counted)
    status->setText(QString::fromStdString(updateCountStatus(rows->count())));
}

void TForm1::Label13Click() {
  const QString address = QString::fromStdString(homePageAddress());
  if (!shellActions().openUrl(QUrl(address)))
    showPromptWarning(this, QStringLiteral("没有找到可以打开网页的浏览器，请手动访问 ") + address);
}

void TForm1::WebBrowser1DocumentComplete() {
  m_homePage->setDocumentProperties();
}

bool TForm1::ApplicationEvents1Message(QEvent* event) {
  // Pop-up menus keep their own handling of the mouse, so a right press still closes an open one.
  return isRightButtonPress(*event) && QApplication::activePopupWidget() == nullptr;
}

}  // namespace qinglan::gui
