#include "gui/frmmain.h"

#include <utility>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>

#include "app/AppPaths.h"
#include "app/ExitCode.h"
#include "gui/AboutBox.h"
#include "gui/HandlerGuard.h"
#include "gui/ManualWindow.h"
#include "gui/MessageBoxes.h"
#include "scan/CloudCachePath.h"
#include "scan/ResourceList.h"
#include "web/SiteHosts.h"
#include "whitelist/Whitelist.h"

namespace qinglan::gui {

namespace {

constexpr int kPumpIntervalMs = 15;
constexpr int kStopButtonWidth = 72;
constexpr int kStopButtonHeight = 26;

QAction* addMenuItem(QMenu* menu, const char* name, const QString& text) {
  QAction* action = menu->addAction(text);
  action->setObjectName(QLatin1String(name));
  return action;
}

// Commands that would do nothing are offered disabled: a row's while no row is selected, the
// whole list's while the list is empty.
void enableWhenOpened(QMenu* menu, const ListView* view, const QList<QAction*>& listCommands,
                      const QList<QAction*>& rowCommands) {
  QObject::connect(menu, &QMenu::aboutToShow, menu, [view, listCommands, rowCommands] {
    for (QAction* command : listCommands)
      command->setEnabled(view->model()->rowCount() > 0);
    for (QAction* command : rowCommands)
      command->setEnabled(view->selectedRow() >= 0);
  });
}

}  // namespace

TForm1::TForm1(FormEnvironment environment, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_environment(std::move(environment)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("晴岚清扫助手 V2.0.0"));
  setFixedSize(740, 524);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  buildPages();
  buildMenus();
  connectHandlers();
  connectWebHandlers();
  guarded([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

void TForm1::buildPages() {
  m_pageControl = new QTabWidget(this);
  m_pageControl->setObjectName(QStringLiteral("bsSkinPageControl1"));
  m_pageControl->setGeometry(8, 8, 724, 513);

  m_homePage = new HomePage(m_environment.homePageBrowser);
  m_basicScanPage = new BasicScanPage(m_imageList1);
  m_whitelistPage = new WhitelistPage;
  m_largeFilePage = new LargeFilePage;
  m_softwareCachePage = new SoftwareCachePage;
  m_updatePage = new UpdatePage(m_imageList1);
  m_resultsPage = new ResultsPage(m_findings);
  m_pageControl->addTab(m_homePage, QStringLiteral("首页"));
  m_pageControl->addTab(m_basicScanPage, QStringLiteral("基本扫描"));
  m_pageControl->addTab(m_whitelistPage, QStringLiteral("白名单"));
  m_pageControl->addTab(m_largeFilePage, QStringLiteral("大文件扫描"));
  m_pageControl->addTab(m_softwareCachePage, QStringLiteral("软件缓存清理"));
  m_pageControl->addTab(m_updatePage, QStringLiteral("软件升级"));
  m_pageControl->addTab(m_resultsPage, QStringLiteral("扫描结果"));
  m_pageControl->setCurrentIndex(0);

  // A child of the window, not of the page control that a session disables.
  m_stopButton = new QPushButton(QStringLiteral("停止"), this);
  m_stopButton->setObjectName(QStringLiteral("StopButton"));
  m_stopButton->resize(kStopButtonWidth, kStopButtonHeight);
  m_stopButton->hide();
  connect(m_stopButton, &QPushButton::clicked, this, [this] { requestSessionStop(); });

  // F1 works on every page, during a scan too.
  auto* help = new QShortcut(QKeySequence::HelpContents, this);
  connect(help, &QShortcut::activated, this, [this] { showManual(); });
}

void TForm1::showManual() {
  if (m_manualWindow == nullptr)
    m_manualWindow =
        new ManualWindow([this](QWidget* parent) { showAboutBox(parent, m_settings.scanSettings()); }, this);
  m_manualWindow->show();
  m_manualWindow->raise();
  m_manualWindow->activateWindow();
}

void TForm1::buildMenus() {
  m_popupMenu1 = new QMenu(this);
  m_popupMenu1->setObjectName(QStringLiteral("bsSkinPopupMenu1"));
  m_n1 = addMenuItem(m_popupMenu1, "N1", QStringLiteral("全部选择"));
  m_n2 = addMenuItem(m_popupMenu1, "N2", QStringLiteral("全部不选"));
  m_n3 = addMenuItem(m_popupMenu1, "N3", QStringLiteral("反选"));
  m_popupMenu1->addSeparator();
  m_n5 = addMenuItem(m_popupMenu1, "N5", QStringLiteral("加入白名单"));
  m_popupMenu1->addSeparator();
  m_n9 = addMenuItem(m_popupMenu1, "N9", QStringLiteral("打开目录"));
  ListView2()->setPopupMenu(m_popupMenu1);
  enableWhenOpened(m_popupMenu1, ListView2(), {m_n1, m_n2, m_n3}, {m_n5, m_n9});

  m_popupMenu2 = new QMenu(this);
  m_popupMenu2->setObjectName(QStringLiteral("bsSkinPopupMenu2"));
  m_menuItem1 = addMenuItem(m_popupMenu2, "MenuItem1", QStringLiteral("全部选择"));
  m_menuItem2 = addMenuItem(m_popupMenu2, "MenuItem2", QStringLiteral("全部不选"));
  m_menuItem3 = addMenuItem(m_popupMenu2, "MenuItem3", QStringLiteral("反选"));
  m_popupMenu2->addSeparator();
  m_n7 = addMenuItem(m_popupMenu2, "N7", QStringLiteral("打开文件目录"));
  ListView1()->setPopupMenu(m_popupMenu2);
  enableWhenOpened(m_popupMenu2, ListView1(), {m_menuItem1, m_menuItem2, m_menuItem3}, {m_n7});

  m_popupMenu3 = new QMenu(this);
  m_popupMenu3->setObjectName(QStringLiteral("bsSkinPopupMenu3"));
  m_menuItem4 = addMenuItem(m_popupMenu3, "MenuItem4", QStringLiteral("复制下载地址"));
  m_popupMenu3->addSeparator();
  m_n11 = addMenuItem(m_popupMenu3, "N11", QStringLiteral("该版本不再提醒"));
  ListView4()->setPopupMenu(m_popupMenu3);
  enableWhenOpened(m_popupMenu3, ListView4(), {}, {m_menuItem4, m_n11});
}

void TForm1::route(QAction* action, void (TForm1::*handler)()) {
  connect(action, &QAction::triggered, this,
          [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
}

void TForm1::route(QAbstractButton* button, void (TForm1::*handler)()) {
  connect(button, &QAbstractButton::clicked, this,
          [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
}

void TForm1::connectHandlers() {
  route(m_n1, &TForm1::N1Click);
  route(m_n2, &TForm1::N2Click);
  route(m_n3, &TForm1::N3Click);
  route(m_n5, &TForm1::N5Click);
  route(m_n9, &TForm1::N9Click);
  route(m_menuItem1, &TForm1::MenuItem1Click);
  route(m_menuItem2, &TForm1::MenuItem2Click);
  route(m_menuItem3, &TForm1::MenuItem3Click);
  route(m_n7, &TForm1::N7Click);
  route(m_menuItem4, &TForm1::MenuItem4Click);
  route(m_n11, &TForm1::N11Click);

  route(m_basicScanPage->bsSkinButton1(), &TForm1::bsSkinButton1Click);
  route(m_basicScanPage->bsSkinButton2(), &TForm1::bsSkinButton2Click);
  route(m_basicScanPage->bsSkinButton9(), &TForm1::bsSkinButton9Click);
  route(m_whitelistPage->bsSkinButton3(), &TForm1::bsSkinButton3Click);
  route(m_whitelistPage->bsSkinButton6(), &TForm1::bsSkinButton6Click);
  route(m_whitelistPage->bsSkinButton7(), &TForm1::bsSkinButton7Click);
  route(m_largeFilePage->bsSkinButton8(), &TForm1::bsSkinButton8Click);
  route(m_softwareCachePage->bsSkinButton10(), &TForm1::bsSkinButton10Click);
  route(m_updatePage->bsSkinButton11(), &TForm1::bsSkinButton11Click);
  route(m_resultsPage->bsSkinButton4(), &TForm1::bsSkinButton4Click);
  route(m_resultsPage->bsSkinButton5(), &TForm1::bsSkinButton5Click);
  route(m_resultsPage->bntClean(), &TForm1::bntCleanClick);
  route(m_resultsPage->bsSkinCheckRadioBox2(), &TForm1::bsSkinCheckRadioBox2Click);
  route(m_resultsPage->skipInUseBox(), &TForm1::skipInUseBoxClick);
  route(m_basicScanPage->olderThanBox(), &TForm1::olderThanChanged);
  connect(m_basicScanPage->olderThanDays(), &QSpinBox::valueChanged, this,
          [this] { guarded([this] { olderThanChanged(); }); });
  route(m_resultsPage->bsSkinButton12(), &TForm1::bsSkinButton12Click);
  route(m_resultsPage->bntPurge(), &TForm1::bntPurgeClick);

  connect(m_basicScanPage->Label5(), &LinkLabel::clicked, this,
          [this] { guarded([this] { LinkLabel1Click(); }); });
  connect(m_basicScanPage->Label13(), &LinkLabel::clicked, this,
          [this] { guarded([this] { Label13Click(); }); });
  connect(m_resultsPage->Label2(), &LinkLabel::clicked, this, [this] { guarded([this] { Label2Click(); }); });
  connect(ListView1(), &QAbstractItemView::clicked, this, [this] { guarded([this] { ListView1Click(); }); });
  // The note follows the current row however it got there, the arrow keys included.
  connect(ListView1()->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { guarded([this] { ListView1Click(); }); });
  // The rows a pass moved into the trash are found again after a sort.
  connect(resultsModel(), &FindingsModel::rowsReordered, this, [this](const std::vector<int>& newRowOf) {
    for (PassRecord& record : m_trashPass)
      record.row = static_cast<size_t>(newRowOf.at(record.row));
  });
  // A double click opens the row's folder, as the menu's command does.
  connect(ListView1(), &QAbstractItemView::doubleClicked, this, [this] { guarded([this] { N7Click(); }); });
  connect(ListView2(), &QAbstractItemView::doubleClicked, this, [this] { guarded([this] { N9Click(); }); });
  connect(m_pageControl, &QTabWidget::currentChanged, this,
          [this](int index) { guarded([this, index] { bsSkinPageControl1Change(index); }); });
}

std::vector<platform::Volume> TForm1::volumes() const {
  return m_environment.volumes ? m_environment.volumes() : platform::listVolumes();
}

Whitelist TForm1::whitelist() const {
  return Whitelist(m_settings.paths.whiteListFile);
}

void TForm1::pump(bool force) {
  if (force || !m_sinceLastPump.isValid() || m_sinceLastPump.hasExpired(kPumpIntervalMs)) {
    resultsModel()->flushSoon();
    QCoreApplication::processEvents();
    m_sinceLastPump.start();
  }
  // A scan or cleaning pass was asked to stop instead, and returns on its own.
  if (m_closeRequested && m_sessionStop == nullptr)
    throw CommandCancelled();
}

void TForm1::setSessionStop(std::stop_source* stop) {
  m_sessionStop = stop;
  if (stop == nullptr) {
    m_stopButton->hide();
    return;
  }
  // Beside the bar at the foot of the progress panel.
  const QFrame* panel = m_resultsPage->Panel1();
  m_stopButton->move(panel->mapTo(
      this, QPoint(panel->width() - kStopButtonWidth - 12, panel->height() - kStopButtonHeight - 10)));
  m_stopButton->show();
  m_stopButton->raise();
  m_stopButton->setFocus();
  if (m_closeRequested)
    stop->request_stop();
}

void TForm1::requestSessionStop() {
  if (m_sessionStop != nullptr)
    m_sessionStop->request_stop();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && m_sessionStop != nullptr) {
    requestSessionStop();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TForm1::guarded(const std::function<void()>& handler) {
  // The first pump of a command always lets events run, so a close asked before it is seen at once.
  if (m_handlerDepth == 0)
    m_sinceLastPump.invalidate();
  ++m_handlerDepth;
  runGuarded(this, handler);
  --m_handlerDepth;
  if (m_handlerDepth == 0 && m_closeRequested) {
    m_closeRequested = false;
    close();
  }
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (m_handlerDepth > 0) {
    m_closeRequested = true;
    requestSessionStop();
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

// Shown as wb.lst has it, without writing it back.
void TForm1::showOlderThanOption(const OlderThanOption& option) {
  const QSignalBlocker daysBlocker(m_basicScanPage->olderThanDays());
  m_basicScanPage->olderThanBox()->setChecked(option.on);
  m_basicScanPage->olderThanDays()->setValue(option.days);
  m_settings.olderThanDays = option.on ? option.days : 0;
}

void TForm1::FormCreate() {
  m_homePage->Navigate(QString::fromStdString(advertisementPageAddress()));
  m_settings = {appPaths(m_environment.appDir), {}, {}};
  m_resultsPage->bsSkinCheckRadioBox2()->setChecked(whitelist().trashOption());
  m_settings.clean.skipInUse = whitelist().skipInUseOption();
  m_resultsPage->skipInUseBox()->setChecked(m_settings.clean.skipInUse);
  showOlderThanOption(whitelist().olderThanOption());
  m_settings.cloudCachePath = FindCloudCachePath(volumes());
  if (m_settings.cloudCachePath.empty()) {
    showPromptWarning(nullptr, QStringLiteral("没有找到云端缓存目录，程序将退出！"));
    m_terminationRequested = true;
    QCoreApplication::exit(exitStatus(ExitCode::Success));
    return;
  }
  Label3()->setText(QStringLiteral("您当前选择扫描的是 ") +
                    QString::fromStdString(m_settings.cloudCachePath));
  bsSkinButton2Click();
  pump(true);
}

void TForm1::N1Click() {
  ListView2()->rows()->checkAll();
}

void TForm1::N2Click() {
  ListView2()->rows()->uncheckAll();
}

void TForm1::N3Click() {
  ListView2()->rows()->invertChecks();
}

void TForm1::MenuItem1Click() {
  resultsModel()->checkAll();
}

void TForm1::MenuItem2Click() {
  resultsModel()->uncheckAll();
}

void TForm1::MenuItem3Click() {
  resultsModel()->invertChecks();
}

void TForm1::bsSkinButton4Click() {
  MenuItem1Click();
}

void TForm1::bsSkinButton5Click() {
  MenuItem2Click();
}

void TForm1::bsSkinPageControl1Change(int index) {
  if (m_pageControl->widget(index) == m_whitelistPage)
    bsSkinButton7Click();
}

void TForm1::setResourceCounter() {
  RowListModel* rows = ListView2()->rows();
  rows->setCaption(0, counterCaption(QStringLiteral("软件名"), rows->count()));
}

void TForm1::setWhitelistCounter() {
  RowListModel* rows = ListView3()->rows();
  rows->setCaption(0, counterCaption(QStringLiteral("软件名"), rows->count()));
}

}  // namespace qinglan::gui
