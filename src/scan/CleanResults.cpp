#include "scan/CleanResults.h"

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/NativePath.h"
#include "platform/Remover.h"
#include "scan/ResultsRow.h"
#include "scan/ScanView.h"
#include "scan/UnitClean.h"

namespace qinglan {

namespace {

constexpr std::string_view kEmptyListText = "当前列表为空！";
constexpr std::string_view kConfirmText = "是否确定要清理选定的项目？";
constexpr std::string_view kCleaningText = "正在清理中。。。。";
constexpr std::string_view kNothingCheckedText = "没有选中的项目！";
constexpr std::string_view kCleanFinishedText = "清理垃圾完成！";

// The pass that only deletes, recording nothing.
class DeletingRowCleaner final : public RowCleaner {
 public:
  explicit DeletingRowCleaner(platform::Remover& remover) : m_remover(remover) {}
  std::string clean(size_t, const ResultsRow& row) override { return deleteRowPath(row, m_remover); }

 private:
  platform::Remover& m_remover;
};

bool anyChecked(const ScanView& view) {
  for (size_t i = 0; i < view.resultCount(); ++i) {
    if (view.result(i).checked)
      return true;
  }
  return false;
}

std::string finishedText(size_t failed) {
  std::string text(kCleanFinishedText);
  if (failed > 0)
    text += "其中 " + std::to_string(failed) + " 项清理失败。";
  return text;
}

}  // namespace

bool pathExists(const std::string& path) {
  // When the answer cannot be had (a parent refused), the path counts as still there.
  std::error_code error;
  return std::filesystem::symlink_status(platform::fsPath(path), error).type() !=
         std::filesystem::file_type::not_found;
}

void cleanCheckedResults(ScanView& view) {
  cleanCheckedResults(view, platform::Remover::system());
}

std::string deleteRowPath(const ResultsRow& row, platform::Remover& remover) {
  const bool gone = ShellDeletePath(row.fullPath(), row.origin, remover);
  return std::string(gone ? kCleanedStatus : kCleanFailedStatus);
}

void cleanCheckedResults(ScanView& view, platform::Remover& remover) {
  DeletingRowCleaner cleaner(remover);
  cleanCheckedResults(view, cleaner);
}

void cleanCheckedResults(ScanView& view, RowCleaner& cleaner) {
  if (view.resultCount() == 0) {
    view.showInformation(std::string(kEmptyListText));
    return;
  }
  if (!anyChecked(view)) {
    view.showInformation(std::string(kNothingCheckedText));
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
  size_t failed = 0;
  for (size_t i = 0; i < rowCount; ++i) {
    view.setProgressPosition(static_cast<int>(i + 1));
    const ResultsRow row = view.result(i);
    if (!row.checked)
      continue;
    view.pump();
    const std::string status = cleaner.clean(i, row);
    failed += status == kCleanFailedStatus ? 1 : 0;
    view.setResultStatus(i, status);
  }
  view.setProgressPanelVisible(false);
  view.setPageControlEnabled(true);
  view.showInformation(finishedText(failed));
}

}  // namespace qinglan
