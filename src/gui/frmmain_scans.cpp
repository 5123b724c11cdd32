#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>
#include <QSpinBox>

#include "gui/JunkChartDialog.h"
#include "gui/LinkLabel.h"
#include "gui/ShellActions.h"
#include "gui/UnitScanList.h"
#include "gui/WindowScanFront.h"
#include "gui/frmmain.h"
#include "history/CleanJournal.h"
#include "history/CleaningPass.h"
#include "history/PassHistory.h"
#include "platform/Path.h"
#include "platform/Remover.h"
#include "platform/Trash.h"
#include "scan/BasicScan.h"
#include "scan/CleanResults.h"
#include "scan/FindingDetails.h"
#include "scan/JunkSummary.h"
#include "scan/LargeFileScan.h"
#include "scan/SoftwareCacheScan.h"
#include "whitelist/Whitelist.h"

namespace qinglan::gui {

namespace {

// The installed resource list as the basic scan reads it, in list order.
std::vector<ScanResourceRow> scanResourcesOf(const RowListModel& rows) {
  std::vector<ScanResourceRow> resources;
  resources.reserve(static_cast<size_t>(rows.count()));
  for (int row = 0; row < rows.count(); ++row)
    resources.push_back({rows.text(row, 0).toStdString(), resourceIdOf(rows, row), rows.isChecked(row)});
  return resources;
}

// What became of the path itself or of the nearest folder holding it, among the entries trashed so far.
std::optional<bool> nearestTrashed(const std::map<std::string, bool>& trashed, const std::string& path) {
  if (const auto found = trashed.find(path); found != trashed.end())
    return found->second;
  for (size_t end = path.rfind(platform::kSeparator); end != std::string::npos && end > 0;
       end = path.rfind(platform::kSeparator, end - 1)) {
    if (const auto found = trashed.find(path.substr(0, end)); found != trashed.end())
      return found->second;
  }
  return std::nullopt;
}

// Which records of the pass are back, given those whose own entry was put back. A row found gone
// went into the trash with an earlier row of the pass (the same file listed twice, or a folder
// holding it), and is back exactly when that row is.
std::vector<bool> recordsBack(const std::vector<PassRecord>& pass, std::vector<bool> back) {
  std::map<std::string, bool> trashed;
  for (size_t i = 0; i < pass.size(); ++i) {
    const JournalEntry& entry = pass[i].entry;
    if (entry.outcome == CleanOutcome::Trashed) {
      trashed[entry.path] = back[i];
    } else if (entry.outcome == CleanOutcome::Gone) {
      back[i] = nearestTrashed(trashed, entry.path).value_or(false);
    }
  }
  return back;
}

}  // namespace

void TForm1::bsSkinButton1Click() {
  const std::vector<ScanResourceRow> resources = scanResourcesOf(*ListView2()->rows());
  WindowScanFront view(*this);
  runBasicScan(m_settings.scanSettings(), resources, view);
  offerJunkChart(view.results().count() > 0);
}

void TForm1::offerJunkChart(bool offered) {
  m_resultsPage->Label2()->setLinkShown(offered);
}

void TForm1::Label2Click() {
  FindingsModel* rows = resultsModel();
  // A bar's rows are all checked by a click, or all unchecked when they already were.
  JunkChartDialog dialog(
      summarizeJunk(m_settings.cloudCachePath, m_findings),
      [rows](const std::vector<size_t>& indexes) {
        const bool allChecked = std::all_of(indexes.begin(), indexes.end(), [rows](size_t row) {
          return rows->isChecked(static_cast<int>(row));
        });
        for (size_t row : indexes)
          rows->setChecked(static_cast<int>(row), !allChecked);
      },
      this);
  dialog.exec();
}

void TForm1::bntCleanClick() {
  WindowScanFront view(*this);
  platform::Remover& remover = m_environment.remover ? *m_environment.remover : platform::Remover::system();
  CleanJournal journal(journalFile(m_settings.paths.stateFolder));
  CleaningPass pass(journal, m_resultsPage->bsSkinCheckRadioBox2()->isChecked(), remover,
                    platform::Trash::system());
  cleanCheckedResults(view, pass, m_settings.clean);
  journal.close();
  if (pass.records().empty())
    return;
  m_trashPass = pass.trashedAny() ? pass.records() : std::vector<PassRecord>();
  m_resultsPage->bsSkinButton12()->setVisible(!m_trashPass.empty());
}

void TForm1::bsSkinCheckRadioBox2Click() {
  whitelist().setTrashOption(m_resultsPage->bsSkinCheckRadioBox2()->isChecked());
}

void TForm1::skipInUseBoxClick() {
  m_settings.clean.skipInUse = m_resultsPage->skipInUseBox()->isChecked();
  whitelist().setSkipInUseOption(m_settings.clean.skipInUse);
}

void TForm1::olderThanChanged() {
  const OlderThanOption option{m_basicScanPage->olderThanBox()->isChecked(),
                               m_basicScanPage->olderThanDays()->value()};
  m_settings.olderThanDays = option.on ? option.days : 0;
  whitelist().setOlderThanOption(option);
}

void TForm1::bsSkinButton12Click() {
  if (m_trashPass.empty())
    return;
  std::vector<JournalEntry> entries;
  for (const PassRecord& record : m_trashPass)
    entries.push_back(record.entry);
  // The command line may have restored or purged some of the pass meanwhile: its lines say which.
  CleanJournal journal(journalFile(m_settings.paths.stateFolder));
  for (JournalEntry& entry : entriesOfPass(journal.read(), m_trashPass.front().entry.pass)) {
    if (entry.outcome == CleanOutcome::Restored || entry.outcome == CleanOutcome::Purged)
      entries.push_back(std::move(entry));
  }
  WindowScanFront view(*this);
  size_t kept = 0;
  size_t purged = 0;
  std::vector<bool> back(m_trashPass.size(), false);
  const std::vector<RestoreReport> reports = restoreEntries(entries, platform::Trash::system(), journal);
  journal.close();
  for (const RestoreReport& report : reports) {
    if (report.index >= back.size())
      continue;
    if (report.result.restored || report.earlier)
      back[report.index] = true;
    else
      ++(report.purged ? purged : kept);
  }
  back = recordsBack(m_trashPass, std::move(back));
  for (size_t i = 0; i < back.size(); ++i) {
    if (back[i])
      view.results().setStatus(m_trashPass[i].row, std::string(kRestoredStatus));
  }
  forgetTrashPass();
  if (kept > 0)
    view.showInformation("有 " + std::to_string(kept) + " 项未能恢复，仍在回收站中。");
  if (purged > 0)
    view.showInformation("有 " + std::to_string(purged) + " 项已从回收站清空，不能恢复。");
}

void TForm1::bntPurgeClick() {
  const int days = m_resultsPage->purgeDays()->value();
  WindowScanFront view(*this);
  if (!view.askYesNo("是否确定要永久删除 " + std::to_string(days) +
                     " 天前移到回收站的项目？删除后不能恢复。"))
    return;
  CleanJournal journal(journalFile(m_settings.paths.stateFolder));
  const std::vector<PurgeReport> reports =
      purgeEntries(journal.read(), passTimeDaysAgo(days), platform::Trash::system(), journal);
  journal.close();
  const auto emptied = std::ranges::count_if(
      reports, [](const PurgeReport& report) { return report.result.purged || report.result.gone; });
  const size_t stayed = reports.size() - static_cast<size_t>(emptied);
  view.showInformation("已清空 " + std::to_string(emptied) + " 项，" + std::to_string(stayed) +
                       " 项未能清空，仍在回收站中。");
}

void TForm1::forgetTrashPass() {
  m_trashPass.clear();
  m_resultsPage->bsSkinButton12()->hide();
}

void TForm1::ListView1Click() {
  const int row = ListView1()->selectedRow();
  if (row < 0)
    return;
  WindowScanFront view(*this);
  showFindingDetails(m_settings.scanSettings(), m_findings.row(static_cast<size_t>(row)), view);
}

void TForm1::N7Click() {
  const int row = ListView1()->selectedRow();
  if (row < 0)
    return;
  const ResultsRow finding = m_findings.row(static_cast<size_t>(row));
  const QString location = QString::fromStdString(finding.location);
  const QString path = QString::fromStdString(finding.fullPath());
  // A finding that still exists is shown selected; one that has gone meanwhile leaves its folder to open.
  bool opened = true;
  if (QFileInfo::exists(path))
    opened = shellActions().showInFileManager(path);
  else if (QFileInfo(location).isDir())
    opened = shellActions().openFolder(location);
  if (!opened)
    warnNoFileManager(this, location);
}

void TForm1::bsSkinButton8Click() {
  const LargeFilePage& page = *m_largeFilePage;
  LargeFileScanOptions options;
  options.minimumMegabytes = page.ComboBox1()->currentText().toLongLong();
  options.mediaOnly = page.ComboBox2()->currentText() != QStringLiteral("所有文件");
  options.filterLva = page.bsSkinCheckRadioBox1()->isChecked();
  WindowScanFront view(*this);
  runLargeFileScan(m_settings.scanSettings().cloudCachePath, options, view);
}

void TForm1::bsSkinButton10Click() {
  SoftwareCacheScanOptions options;
  options.listVolumes = [this] { return volumes(); };
  WindowScanFront view(*this);
  runSoftwareCacheScan(m_settings.scanSettings(), view, options);
}

void TForm1::bsSkinButton9Click() {
  TfrmScanList dialog(m_settings.paths.dbFileName, this);
  dialog.exec();
}

}  // namespace qinglan::gui
