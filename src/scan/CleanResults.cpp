#include "scan/CleanResults.h"

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Remover.h"
#include "scan/ResultsRow.h"
#include "scan/ScanView.h"
#include "scan/UnitClean.h"

namespace qinglan {

namespace {

constexpr std::string_view kEmptyListText = "当前列表为空！";
constexpr std::string_view kConfirmText = "是否确定要清理选定的项目？";
constexpr std::string_view kCleaningText = "正在清理中。。。。";
constexpr std::string_view kCleanFinishedText = "清理垃圾完成！";

}  // namespace

bool pathExists(const std::string& path) {
  // When the answer cannot be had (a parent refused), the path counts as still there.
  std::error_code error;
  return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found;
}

void cleanCheckedResults(ScanView& view) {
  cleanCheckedResults(view, platform::Remover::system());
}

void cleanCheckedResults(ScanView& view, platform::Remover& remover) {
  if (view.resultCount() == 0) {
    view.showInformation(std::string(kEmptyListText));
    return;
  }
  if (!view.askYesNo(std::string(kConfirmText)))
    return;

  const size_t rowCount = view.resultCount();
  view.setPageControlEnabled(false);
  view.setProgressPanelVisible(true);
  view.setProgressMaximum(static_cast<int>(rowCount));
  view.setProgressPosition(0);
  view.setLabel1(std::string(kCleaningText));
  view.pump();
  for (size_t i = 0; i < rowCount; ++i) {
    view.setProgressPosition(static_cast<int>(i + 1));
    const ResultsRow row = view.result(i);
    if (!row.checked)
      continue;
    view.pump();
    const bool gone = ShellDeletePath(row.fullPath(), row.origin, remover);
    view.setResultStatus(i, std::string(gone ? kCleanedStatus : kCleanFailedStatus));
  }
  view.setProgressPanelVisible(false);
  view.setPageControlEnabled(true);
  view.showInformation(std::string(kCleanFinishedText));
}

}  // namespace qinglan
