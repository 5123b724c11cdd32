#include "scan/ResultsPage.h"

#include "app/unitGlobal.h"
#include "platform/DirLister.h"
#include "scan/ResultsRow.h"
#include "scan/ScanView.h"

namespace qinglan {

void openResultsPage(ScanView& view) {
  view.clearResults();
  view.setResultsCounter(resultsCounterCaption(0));
  view.showResultsPage();
  view.setProgressPanelVisible(true);
  view.setPageControlEnabled(false);
}

std::string unreadableFoldersNote(int32_t count) {
  if (count <= 0)
    return {};
  return "（" + std::to_string(count) + " 个文件夹无法读取）";
}

void showScanTotals(ScanView& view, const UnreadableFolders& unreadable) {
  globals().ScanUnreadableFolders = static_cast<int32_t>(unreadable.size());
  view.setLabel1(std::string(kScanFinishedText) + unreadableFoldersNote(globals().ScanUnreadableFolders));
  view.setLabel2(totalLine(globals().ScanTotalKB));
}

void closeResultsPage(ScanView& view) {
  view.setProgressPanelVisible(false);
  view.setPageControlEnabled(true);
}

void updateResultsCounter(ScanView& view) {
  view.setResultsCounter(resultsCounterCaption(view.resultCount()));
}

void appendFinding(ScanView& view, const TFileInformations& found, bool checked, std::string_view scanItem) {
  ResultsRow row = resultsRowFor(found, checked);
  row.scanItem = scanItem;
  view.appendResult(row);
  view.pump();
  if ((found.Attributes & platform::kAttrDirectory) == 0)
    globals().ScanTotalKB += static_cast<double>(found.Size) / 1024;
}

}  // namespace qinglan
