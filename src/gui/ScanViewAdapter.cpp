#include "gui/ScanViewAdapter.h"

#include <exception>

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

ScanViewAdapter::ScanViewAdapter(TForm1& form)
    : m_form(form), m_exceptionsOnEntry(std::uncaught_exceptions()) {}

ScanViewAdapter::~ScanViewAdapter() {
  m_form.ListView1()->rows()->flush();
  if (std::uncaught_exceptions() > m_exceptionsOnEntry) {
    m_form.resultsPage()->Panel1()->hide();
    m_form.bsSkinPageControl1()->setEnabled(true);
  }
}

void ScanViewAdapter::setScanButton(const std::string& caption, bool enabled) {
  m_form.bsSkinButton1()->setText(text(caption));
  m_form.bsSkinButton1()->setEnabled(enabled);
}

void ScanViewAdapter::setProgressMinimum(int minimum) {
  m_form.resultsPage()->ProgressBar1()->setMinimum(minimum);
}

void ScanViewAdapter::setProgressMaximum(int maximum) {
  m_form.resultsPage()->ProgressBar1()->setMaximum(maximum);
}

void ScanViewAdapter::setProgressPosition(int position) {
  m_form.resultsPage()->ProgressBar1()->setValue(position);
}

void ScanViewAdapter::setLabel1(const std::string& text) {
  m_form.resultsPage()->Label1()->setText(gui::text(text));
}

void ScanViewAdapter::setProgressPanelVisible(bool visible) {
  m_form.resultsPage()->Panel1()->setVisible(visible);
}

void ScanViewAdapter::setLabel2(const std::string& text) {
  m_form.resultsPage()->Label2()->setText(gui::text(text));
}

void ScanViewAdapter::clearResults() {
  m_form.forgetTrashPass();
  m_form.offerJunkChart(false);
  m_form.ListView1()->rows()->clear();
}

void ScanViewAdapter::appendResult(const ResultsRow& row) {
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

size_t ScanViewAdapter::resultCount() const {
  return static_cast<size_t>(m_form.ListView1()->rows()->count());
}

ResultsRow ScanViewAdapter::result(size_t index) const {
  return resultsRowOf(m_form.ListView1()->rows()->row(static_cast<int>(index)));
}

void ScanViewAdapter::setResultStatus(size_t index, const std::string& status) {
  m_form.ListView1()->rows()->setText(static_cast<int>(index), kStatus, text(status));
}

void ScanViewAdapter::setResultsCounter(const std::string& caption) {
  m_form.ListView1()->rows()->setCaption(kName, text(caption));
}

void ScanViewAdapter::setEdit1(const std::string& text) {
  m_form.resultsPage()->Edit1()->setText(gui::text(text));
}

void ScanViewAdapter::setEdit2(const std::string& text) {
  m_form.resultsPage()->Edit2()->setText(gui::text(text));
}

void ScanViewAdapter::showResultsPage() {
  m_form.bsSkinPageControl1()->setCurrentWidget(m_form.resultsPage());
}

void ScanViewAdapter::setPageControlEnabled(bool enabled) {
  m_form.bsSkinPageControl1()->setEnabled(enabled);
}

void ScanViewAdapter::showInformation(const std::string& text) {
  showPromptInformation(nullptr, gui::text(text));
}

bool ScanViewAdapter::askYesNo(const std::string& text) {
  return askPromptQuestion(nullptr, gui::text(text));
}

void ScanViewAdapter::pump() {
  m_form.pump();
}

ListRow ScanViewAdapter::listRowFor(const ResultsRow& row) {
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

ResultsRow ScanViewAdapter::resultsRowOf(const ListRow& row) {
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
