#include "scan/CleanResults.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/NativePath.h"
#include "platform/OpenFiles.h"
#include "platform/Remover.h"
#include "scan/ResultsRow.h"
#include "scan/ScanSession.h"

namespace qinglan {

namespace {

constexpr std::string_view kEmptyListText = "当前列表为空！";
constexpr std::string_view kConfirmText = "是否确定要清理选定的项目？";
constexpr std::string_view kCleaningText = "正在清理中。。。。";
constexpr std::string_view kNothingCheckedText = "没有选中的项目！";
constexpr std::string_view kCleanFinishedText = "清理垃圾完成！";
constexpr std::string_view kCleanStoppedText = "清理已停止，其余项目未清理。";

// The pass that only deletes, recording nothing.
class DeletingRowCleaner final : public RowCleaner {
 public:
  explicit DeletingRowCleaner(platform::Remover& remover) : m_remover(remover) {}
  std::string clean(size_t, const ResultsRow& row) override { return deleteRowPath(row, m_remover); }

 private:
  platform::Remover& m_remover;
};

bool anyChecked(const ResultsList& results) {
  for (size_t i = 0; i < results.count(); ++i) {
    if (results.isChecked(i))
      return true;
  }
  return false;
}

// The first kept row is named so that the message says which program to close.
std::string closingText(bool stopped, size_t failed, const std::vector<KeptRow>& kept,
                        const ResultsList& results) {
  std::string text(stopped ? kCleanStoppedText : kCleanFinishedText);
  if (failed > 0)
    text += "其中 " + std::to_string(failed) + " 项清理失败。";
  if (!kept.empty()) {
    text += "其中 " + std::to_string(kept.size()) + " 项正在使用，未清理（" +
            results.row(kept.front().index).name + " " + kept.front().reason +
            (kept.size() > 1 ? " 等" : "") + "）。";
  }
  return text;
}

std::string inUseReason(const platform::FileHolder& holder) {
  return "被 " + (holder.program.empty() ? "PID " + std::to_string(holder.pid) : holder.program) + " 使用";
}

}  // namespace

void cleanCheckedResults(ScanFront& front) {
  cleanCheckedResults(front, platform::Remover::system());
}

std::string deleteRowPath(const ResultsRow& row, platform::Remover& remover) {
  const bool gone = remover.removeFinding(row.fullPath(), row.origin);
  return std::string(gone ? kCleanedStatus : kCleanFailedStatus);
}

void cleanCheckedResults(ScanFront& front, platform::Remover& remover) {
  DeletingRowCleaner cleaner(remover);
  cleanCheckedResults(front, cleaner);
}

std::vector<KeptRow> cleanCheckedResults(ScanFront& front, RowCleaner& cleaner,
                                         const CleanSettings& settings) {
  ResultsList& results = front.results();
  if (results.count() == 0) {
    front.showInformation(std::string(kEmptyListText));
    return {};
  }
  if (!anyChecked(results)) {
    front.showInformation(std::string(kNothingCheckedText));
    return {};
  }
  if (!front.askYesNo(std::string(kConfirmText)))
    return {};

  const std::unique_ptr<platform::OpenFiles> held =
      settings.skipInUse ? platform::OpenFiles::system() : nullptr;
  const size_t rowCount = results.count();
  std::vector<KeptRow> kept;
  size_t failed = 0;
  bool stopped = false;
  {
    ScanSession session(front, SessionKind::Cleaning);
    session.begin();
    session.progress().setRange(static_cast<int>(rowCount));
    session.progress().setPosition(0);
    session.progress().setText(std::string(kCleaningText));
    session.pump();
    for (size_t i = 0; i < rowCount; ++i) {
      if (!results.isChecked(i)) {
        session.progress().setPosition(static_cast<int>(i + 1));
        continue;
      }
      const ResultsRow row = results.row(i);
      // A stop asked for while the last row was cleaned leaves this row and the rest untouched.
      session.pump();
      if (session.stopRequested())
        break;
      session.progress().setPosition(static_cast<int>(i + 1));
      if (const auto holder = held ? held->holder(row.fullPath(), row.isFolder) : std::nullopt) {
        kept.push_back({i, inUseReason(*holder)});
        results.setStatus(i, std::string(kInUseStatus));
        continue;
      }
      const std::string status = cleaner.clean(i, row);
      failed += status == kCleanFailedStatus ? 1 : 0;
      results.setStatus(i, status);
    }
    stopped = session.finish().outcome == SessionOutcome::Stopped;
  }
  front.showInformation(closingText(stopped, failed, kept, results));
  return kept;
}

}  // namespace qinglan
