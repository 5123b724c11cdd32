#include "gui/WindowScanFront.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include "gui/MessageBoxes.h"
#include "gui/frmmain.h"
#include "platform/Codepage.h"

namespace qinglan::gui {

namespace {

enum Column { kName, kLocation, kSize, kDate, kStatus, kRawName, kRawLocation };

QString text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

// Each byte as one character, so that bytes that are not UTF-8 come back unchanged.
QString rawBytes(const std::string& bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string fromRawBytes(const QString& raw) {
  return raw.toLatin1().toStdString();
}

}  // namespace

WindowScanFront::WindowScanFront(TForm1& form) : m_form(form) {}

WindowScanFront::~WindowScanFront() {
  m_form.ListView1()->rows()->flush();
  if (m_inSession)
    m_form.setSessionStop(nullptr);
}

void WindowScanFront::beginSession(SessionKind kind) {
  if (kind == SessionKind::BasicScan) {
    m_form.setBasicScanRunning(true);
    m_form.bsSkinButton1()->setText(QStringLiteral("扫描中…"));
    m_form.bsSkinButton1()->setEnabled(false);
  }
  if (kind != SessionKind::Cleaning)
    m_form.bsSkinPageControl1()->setCurrentWidget(m_form.resultsPage());
  m_form.resultsPage()->Panel1()->show();
  m_form.bsSkinPageControl1()->setEnabled(false);
  m_stop = std::stop_source();
  m_form.setSessionStop(&m_stop);
  m_inSession = true;
}

void WindowScanFront::endSession(SessionKind kind, const ScanTotals&) {
  m_form.ListView1()->rows()->flush();  // the pump shows rows in batches; the last ones show now
  if (kind == SessionKind::BasicScan) {
    m_form.setBasicScanRunning(false);
    m_form.bsSkinButton1()->setText(QStringLiteral("扫描"));
    m_form.bsSkinButton1()->setEnabled(true);
  }
  m_form.resultsPage()->Panel1()->hide();
  m_form.bsSkinPageControl1()->setEnabled(true);
  m_form.setSessionStop(nullptr);
  m_inSession = false;
}

void WindowScanFront::setSummary(const std::string& text) {
  m_form.resultsPage()->Label2()->setText(gui::text(text));
}

void WindowScanFront::setFindingOrigin(const std::string& text) {
  m_form.resultsPage()->Edit1()->setText(gui::text(text));
}

void WindowScanFront::setFindingNote(const std::string& text) {
  m_form.resultsPage()->Edit2()->setText(gui::text(text));
}

void WindowScanFront::showInformation(const std::string& text) {
  showPromptInformation(nullptr, gui::text(text));
}

bool WindowScanFront::askYesNo(const std::string& text) {
  return askPromptQuestion(nullptr, gui::text(text));
}

void WindowScanFront::pump() {
  m_form.pump();
}

void WindowScanFront::clear() {
  m_form.forgetTrashPass();
  m_form.offerJunkChart(false);
  m_form.ListView1()->rows()->clear();
}

void WindowScanFront::append(const ResultsRow& row) {
  RowListModel& rows = *m_form.ListView1()->rows();
  if (!platform::isValidUtf8(row.name) || !platform::isValidUtf8(row.location)) {
    rows.queueRow(listRowFor(row));
    return;
  }
  // The texts go to the list as they are, without a QString each on the way.
  const std::string_view cells[] = {row.name, row.location, row.sizeText, row.dateText, row.status};
  rows.queueRow(Utf8ListRow{.cells = cells,
                            .checked = row.checked,
                            .origin = &row.origin,
                            .bytes = row.isFolder ? -1 : row.size,
                            .time = row.creationTime,
                            .scanItem = row.scanItem});
}

size_t WindowScanFront::count() const {
  return static_cast<size_t>(m_form.ListView1()->rows()->count());
}

ResultsRow WindowScanFront::row(size_t index) const {
  return resultsRowOf(m_form.ListView1()->rows()->row(static_cast<int>(index)));
}

bool WindowScanFront::isChecked(size_t index) const {
  return m_form.ListView1()->rows()->isChecked(static_cast<int>(index));
}

void WindowScanFront::setStatus(size_t index, const std::string& status) {
  m_form.ListView1()->rows()->setText(static_cast<int>(index), kStatus, text(status));
}

void WindowScanFront::setCounter(const std::string& caption) {
  m_form.ListView1()->rows()->setCaption(kName, text(caption));
}

void WindowScanFront::setRange(int maximum) {
  m_form.resultsPage()->ProgressBar1()->setRange(0, maximum);
}

void WindowScanFront::setPosition(int position) {
  m_form.resultsPage()->ProgressBar1()->setValue(position);
}

void WindowScanFront::setText(const std::string& text) {
  m_form.resultsPage()->Label1()->setText(gui::text(text));
}

ListRow WindowScanFront::listRowFor(const ResultsRow& row) {
  ListRow listed;
  listed.cells = {text(row.name), text(row.location), text(row.sizeText), text(row.dateText),
                  text(row.status)};
  if (!platform::isValidUtf8(row.name) || !platform::isValidUtf8(row.location))
    listed.cells << rawBytes(row.name) << rawBytes(row.location);
  listed.checked = row.checked;
  listed.origin = row.origin;
  listed.bytes = row.isFolder ? -1 : row.size;
  listed.time = row.creationTime;
  listed.scanItem = row.scanItem;
  return listed;
}

ResultsRow WindowScanFront::resultsRowOf(const ListRow& row) {
  ResultsRow result;
  const bool raw = row.cells.size() > kRawLocation;
  result.name = raw ? fromRawBytes(row.cells.at(kRawName)) : row.cells.value(kName).toStdString();
  result.location = raw ? fromRawBytes(row.cells.at(kRawLocation)) : row.cells.value(kLocation).toStdString();
  result.sizeText = row.cells.value(kSize).toStdString();
  result.dateText = row.cells.value(kDate).toStdString();
  result.status = row.cells.value(kStatus).toStdString();
  result.checked = row.checked;
  result.origin = row.origin;
  result.isFolder = row.bytes < 0 && result.sizeText == kFolderSizeText;
  result.size = row.bytes < 0 ? 0 : row.bytes;
  result.creationTime = row.time;
  result.scanItem = row.scanItem;
  return result;
}

}  // namespace qinglan::gui
