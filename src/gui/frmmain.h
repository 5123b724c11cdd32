#pragma once

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QWidget>

#include "app/AppSettings.h"
#include "gui/BasicScanPage.h"
#include "gui/HomePage.h"
#include "gui/IconList.h"
#include "gui/LargeFilePage.h"
#include "gui/ResultsPage.h"
#include "gui/SoftwareCachePage.h"
#include "gui/UpdatePage.h"
#include "gui/WhitelistPage.h"
#include "history/CleaningPass.h"
#include "platform/Volumes.h"
#include "scan/ResourceList.h"
#include "web/PageFetcher.h"

class QAbstractButton;
class QAction;
class QEvent;
class QKeyEvent;
class QMenu;
class QTabWidget;

namespace qinglan {
class Whitelist;
struct OlderThanOption;
namespace platform {
class Remover;
class VolumeSpace;
}  // namespace platform
}  // namespace qinglan

namespace qinglan::gui {

class ApplicationEvents;
class ManualWindow;

// Where the window finds its files (wb.lst, ccdb.db) and the machine's volumes.
struct FormEnvironment {
  std::string appDir;                                      // empty: the running program's layout
  std::function<std::vector<platform::Volume>()> volumes;  // empty: the machine's volumes
  platform::Remover* remover = nullptr;                    // null: the system's; cleaning deletes with it
  platform::VolumeSpace* volumeSpace = nullptr;            // null: the system's; cleaning measures with it
  bool homePageBrowser = true;                             // false: a blank first page without a browser
};

// The resource ID of a row of the resource list: the folder name's bytes, which the ID column
// can show only as text.
std::string resourceIdOf(const RowListModel& rows, int row);

// The main window. It routes every control to its handler; each handler runs guarded, reads its
// controls, calls the core and writes the results back. Closing the window while a command runs
// ends that command at its next pump (a scan or a cleaning pass stops as by its stop button), and
// the window closes once the command has returned.
class TForm1 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm1(FormEnvironment environment = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  // Start-up found no cache directory: the program is to end without showing the window.
  bool terminationRequested() const { return m_terminationRequested; }

  QTabWidget* bsSkinPageControl1() const { return m_pageControl; }
  HomePage* homePage() const { return m_homePage; }
  BasicScanPage* basicScanPage() const { return m_basicScanPage; }
  WhitelistPage* whitelistPage() const { return m_whitelistPage; }
  LargeFilePage* largeFilePage() const { return m_largeFilePage; }
  SoftwareCachePage* softwareCachePage() const { return m_softwareCachePage; }
  UpdatePage* updatePage() const { return m_updatePage; }
  ResultsPage* resultsPage() const { return m_resultsPage; }
  // The findings of the last scan, which the results list draws and cleaning reads.
  Findings& findings() { return m_findings; }
  platform::VolumeSpace* volumeSpace() const { return m_environment.volumeSpace; }
  FindingsModel* resultsModel() const { return m_resultsPage->results(); }
  // "停止": over the progress panel while a scan or a cleaning pass runs, usable while the page
  // control is not.
  QPushButton* stopButton() const { return m_stopButton; }
  // The manual F1 shows; null until it was first asked for.
  ManualWindow* manualWindow() const { return m_manualWindow; }

  ListView* ListView1() const { return m_resultsPage->ListView1(); }
  ListView* ListView2() const { return m_basicScanPage->ListView2(); }
  ListView* ListView3() const { return m_whitelistPage->ListView3(); }
  ListView* ListView4() const { return m_updatePage->ListView4(); }
  ElidedLabel* Label3() const { return m_basicScanPage->Label3(); }
  QPushButton* bsSkinButton1() const { return m_basicScanPage->bsSkinButton1(); }
  QPushButton* bsSkinButton2() const { return m_basicScanPage->bsSkinButton2(); }
  const IconList& ImageList1() const { return m_imageList1; }

  QMenu* bsSkinPopupMenu1() const { return m_popupMenu1; }
  QMenu* bsSkinPopupMenu2() const { return m_popupMenu2; }
  QMenu* bsSkinPopupMenu3() const { return m_popupMenu3; }
  QAction* N1() const { return m_n1; }
  QAction* N2() const { return m_n2; }
  QAction* N3() const { return m_n3; }
  QAction* N5() const { return m_n5; }
  QAction* N9() const { return m_n9; }
  QAction* MenuItem1() const { return m_menuItem1; }
  QAction* MenuItem2() const { return m_menuItem2; }
  QAction* MenuItem3() const { return m_menuItem3; }
  QAction* N7() const { return m_n7; }
  QAction* MenuItem4() const { return m_menuItem4; }
  QAction* N11() const { return m_n11; }

  // Where start-up put the program's files, and the cache directory in use.
  const AppSettings& settings() const { return m_settings; }
  // A basic scan runs: the resource list may be neither refreshed nor switched to another cache.
  void setBasicScanRunning(bool running) { m_basicScanRunning = running; }

  // The volumes start-up and the cache dialog search.
  std::vector<platform::Volume> volumes() const;
  // wb.lst where start-up put it.
  Whitelist whitelist() const;

  // Lets pending events run, at most every ~15 ms unless forced. When the window was asked to
  // close meanwhile, raises CommandCancelled to end the running command.
  void pump(bool force = false);

  // The results list was refilled: the last pass into the trash can no longer be undone from it.
  void forgetTrashPass();
  // Shows the total line as the link to "垃圾分布", or plain.
  void offerJunkChart(bool offered);
  // The stop of the running scan or cleaning pass, null while none runs: the stop button, Esc and
  // closing the window request it.
  void setSessionStop(std::stop_source* stop);
  void requestSessionStop();
  void showManual();

  // Runs a handler through the guard; the window closes afterwards if that was asked meanwhile.
  void guarded(const std::function<void()>& handler);

  // Start-up and list commands.
  void FormCreate();
  void showOlderThanOption(const OlderThanOption& option);
  void N1Click();                            // 基本扫描 › list menu › 全部选择
  void N2Click();                            // 基本扫描 › list menu › 全部不选
  void N3Click();                            // 基本扫描 › list menu › 反选
  void MenuItem1Click();                     // 扫描结果 › list menu › 全部选择
  void MenuItem2Click();                     // 扫描结果 › list menu › 全部不选
  void MenuItem3Click();                     // 扫描结果 › list menu › 反选
  void bsSkinButton4Click();                 // 扫描结果 › 全选
  void bsSkinButton5Click();                 // 扫描结果 › 不选
  void bsSkinPageControl1Change(int index);  // every page › the page tabs

  // Installed resources and the cache location.
  void bsSkinButton2Click();  // 基本扫描 › 刷新列表
  // 基本扫描 › 刷新列表: each installed resource found.
  void EasyFileSearch2FileFound(const InstalledResource& resource);
  void N9Click();          // 基本扫描 › list menu › 打开目录 (and a double click)
  void LinkLabel1Click();  // 基本扫描 › 点此设置

  // Whitelist.
  void N5Click();             // 基本扫描 › list menu › 加入白名单
  void bsSkinButton7Click();  // 白名单 › 刷新
  void bsSkinButton3Click();  // 白名单 › 删除
  void bsSkinButton6Click();  // 白名单 › 清空

  // Scans and cleaning.
  void bsSkinButton1Click();         // 基本扫描 › 扫描
  void bntCleanClick();              // 扫描结果 › 清理选定
  void bsSkinCheckRadioBox2Click();  // 扫描结果 › 移到回收站
  void skipInUseBoxClick();          // 扫描结果 › 跳过正在使用的文件
  void olderThanChanged();           // 基本扫描 › 只清理 N 天前的文件, its box or its days
  void bsSkinButton12Click();        // 扫描结果 › 撤销本次清理
  void bntPurgeClick();              // 扫描结果 › 清空 N 天前移到回收站的项目
  void ListView1Click();             // 扫描结果 › a row clicked or made current: its note
  void N7Click();                    // 扫描结果 › list menu › 打开文件目录 (and a double click)
  void bsSkinButton8Click();         // 大文件扫描 › 开始扫描
  void bsSkinButton10Click();        // 软件缓存清理 › 开始扫描
  void bsSkinButton9Click();         // 基本扫描 › 扫描选项
  void Label2Click();                // 扫描结果 › the total line: "垃圾分布"

  // Update check and home page.
  void bsSkinButton11Click();          // 软件升级 › 检查更新
  void MenuItem4Click();               // 软件升级 › list menu › 复制下载地址
  void N11Click();                     // 软件升级 › list menu › 该版本不再提醒
  void Label13Click();                 // 基本扫描 › 访问主页检查更新
  void WebBrowser1DocumentComplete();  // 首页 › the home page has loaded
  // every page › right-button presses: true for the events that reach no object of the program.
  bool ApplicationEvents1Message(QEvent* event);

  // The one HTTP client; its cookies last as long as the window.
  PageFetcher IdHTTP1;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildPages();
  void buildMenus();
  void connectHandlers();
  void connectWebHandlers();
  void route(QAction* action, void (TForm1::*handler)());
  void route(QAbstractButton* button, void (TForm1::*handler)());
  void setResourceCounter();
  void setWhitelistCounter();
  // Warns "此刻不能刷新软件列表!" and is true while a scan or the resource listing runs.
  bool refusedWhileBusy();

  FormEnvironment m_environment;
  AppSettings m_settings;
  Findings m_findings;
  IconList m_imageList1;
  QTabWidget* m_pageControl = nullptr;
  HomePage* m_homePage = nullptr;
  BasicScanPage* m_basicScanPage = nullptr;
  WhitelistPage* m_whitelistPage = nullptr;
  LargeFilePage* m_largeFilePage = nullptr;
  SoftwareCachePage* m_softwareCachePage = nullptr;
  UpdatePage* m_updatePage = nullptr;
  ResultsPage* m_resultsPage = nullptr;
  QPushButton* m_stopButton = nullptr;
  ManualWindow* m_manualWindow = nullptr;
  std::stop_source* m_sessionStop = nullptr;
  ApplicationEvents* m_applicationEvents1 = nullptr;

  QMenu* m_popupMenu1 = nullptr;
  QMenu* m_popupMenu2 = nullptr;
  QMenu* m_popupMenu3 = nullptr;
  QAction* m_n1 = nullptr;
  QAction* m_n2 = nullptr;
  QAction* m_n3 = nullptr;
  QAction* m_n5 = nullptr;
  QAction* m_n9 = nullptr;
  QAction* m_menuItem1 = nullptr;
  QAction* m_menuItem2 = nullptr;
  QAction* m_menuItem3 = nullptr;
  QAction* m_n7 = nullptr;
  QAction* m_menuItem4 = nullptr;
  QAction* m_n11 = nullptr;

  int m_handlerDepth = 0;
  bool m_closeRequested = false;
  bool m_terminationRequested = false;
  bool m_listingResources = false;
  bool m_basicScanRunning = false;
  std::vector<PassRecord> m_trashPass;  // the rows of the last pass into the trash, for "撤销本次清理"
  bool m_refreshingWhitelist = false;
  QElapsedTimer m_sinceLastPump;
};

}  // namespace qinglan::gui
