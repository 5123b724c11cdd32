#include "scan/ScanSession.h"

#include "platform/DirLister.h"
#include "platform/SystemTime.h"
#include "scan/ResultsRow.h"

namespace qinglan {

std::string unreadableFoldersNote(int32_t count) {
  if (count <= 0)
    return {};
  return "（" + std::to_string(count) + " 个文件夹无法读取）";
}

std::string stoppedTotalLine(double totalKB) {
  return "扫描已停止，已找到约 " + totalMegabytesText(totalKB) + " MB 垃圾。";
}

ScanSession::ScanSession(ScanFront& front, SessionKind kind) : m_front(front), m_kind(kind) {}

ScanSession::~ScanSession() {
  if (m_ended)
    return;
  // Only reached while an error unwinds the scan: the front must still come back to idle, and
  // nothing may escape a destructor.
  try {
    end(SessionOutcome::Failed);
  } catch (...) {
  }
}

void ScanSession::begin() {
  if (m_kind != SessionKind::Cleaning) {
    results().clear();
    results().setCounter(resultsCounterCaption(0));
  }
  m_front.beginSession(m_kind);
  m_begun = true;
  m_stop = m_front.stopToken();
}

void ScanSession::addFinding(const TFileInformations& found, bool checked, const ListingRule& rule) {
  ResultsRow row = resultsRowFor(found, checked);
  // The last write, not the creation date the row shows: a file made long ago may be in use today.
  if (m_recentSince && platform::toDateTime(found.LastWriteTime) > *m_recentSince) {
    row.checked = false;
    row.status = kRecentStatus;
  }
  row.scanItem = rule.scanItem;
  row.ruleNote = rule.note;
  row.ruleNoteKey = rule.noteKey;
  results().append(row);
  // Counted before the pump, which may raise: the total then still matches the rows listed.
  if ((found.Attributes & platform::kAttrDirectory) == 0)
    m_totalKB += static_cast<double>(found.Size) / 1024;
  m_front.pump();
}

void ScanSession::keepRecentFindings(int days) {
  m_recentSince.reset();
  if (days > 0)
    m_recentSince = platform::now() - days;
}

void ScanSession::updateCounter() {
  results().setCounter(resultsCounterCaption(results().count()));
}

ScanTotals ScanSession::finish() {
  return end(stopRequested() ? SessionOutcome::Stopped : SessionOutcome::Finished);
}

ScanTotals ScanSession::end(SessionOutcome outcome) {
  m_ended = true;
  const ScanTotals totals{outcome, m_totalKB, static_cast<int32_t>(m_unreadable.size())};
  // A session that failed before it began has shown nothing to close.
  if (m_begun && m_kind != SessionKind::Cleaning)
    showClosingTexts(totals);
  m_front.endSession(m_kind, totals);
  return totals;
}

void ScanSession::showClosingTexts(const ScanTotals& totals) {
  const std::string note = unreadableFoldersNote(totals.unreadableFolders);
  switch (totals.outcome) {
    case SessionOutcome::Finished:
      progress().setText(std::string(kScanFinishedText) + note);
      m_front.setSummary(totalLine(totals.totalKB));
      break;
    case SessionOutcome::Stopped:
      progress().setText(std::string(kScanStoppedText) + note);
      m_front.setSummary(stoppedTotalLine(totals.totalKB));
      break;
    case SessionOutcome::Failed:
      progress().setText(std::string(kScanFailedText) + note);
      m_front.setSummary(totalLine(totals.totalKB));
      break;
  }
}

}  // namespace qinglan
