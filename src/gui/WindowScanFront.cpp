#include "gui/WindowScanFront.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include "gui/MessageBoxes.h"
#include "gui/frmmain.h"

namespace qinglan::gui {

namespace {

QString text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

}  // namespace

WindowScanFront::WindowScanFront(TForm1& form) : m_form(form) {}

WindowScanFront::~WindowScanFront() {
  m_form.resultsModel()->flush();
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
  m_form.resultsModel()->flush();  // the pump shows rows in batches; the last ones show now
  if (kind == SessionKind::BasicScan) {
    m_form.setBasicScanRunning(false);
    m_form.bsSkinButton1()->setText(QStringLiteral("扫描"));
    m_form.bsSkinButton1()->setEnabled(true);
  }
  m_form.resultsPage()->Panel1()->hide();
  m_form.bsSkinPageControl1()->setEnabled(true);
  m_form.setSessionStop(nullptr);
  m_inSession = false;
  // The stop button held the keyboard; after a scan it goes to the rows the scan listed.
  if (kind != SessionKind::Cleaning)
    m_form.ListView1()->setFocus();
}

void WindowScanFront::setSummary(const std::string& text) {
  m_form.resultsPage()->Label2()->setText(gui::text(text));
}

void WindowScanFront::setFindingOrigin(const std::string& text) {
  m_form.resultsPage()->Edit1()->showText(gui::text(text));
}

void WindowScanFront::setFindingNote(const std::string& text) {
  m_form.resultsPage()->Edit2()->showText(gui::text(text));
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
  m_form.resultsModel()->clear();
}

void WindowScanFront::append(const ResultsRow& row) {
  // Shown at the next flush.
  m_form.findings().append(row);
}

size_t WindowScanFront::count() const {
  return m_form.findings().count();
}

ResultsRow WindowScanFront::row(size_t index) const {
  return m_form.findings().row(index);
}

bool WindowScanFront::isChecked(size_t index) const {
  return m_form.findings().isChecked(index);
}

void WindowScanFront::setStatus(size_t index, const std::string& status) {
  m_form.resultsModel()->setStatus(static_cast<int>(index), status);
}

void WindowScanFront::setCounter(const std::string& caption) {
  m_form.resultsModel()->setCaption(static_cast<int>(columnIndex(ResultsColumn::Name)), text(caption));
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

platform::VolumeSpace* WindowScanFront::volumeSpace() {
  return m_form.volumeSpace();
}

}  // namespace qinglan::gui
