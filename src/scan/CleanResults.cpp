#include "scan/CleanResults.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

#include "platform/NativePath.h"
#include "platform/OpenFiles.h"
#include "platform/Remover.h"
#include "platform/VolumeSpace.h"
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

// The free space of every volume holding a checked row, read from each row's folder: the folder
// outlives the row, and many rows share one.
class SpaceBefore {
 public:
  explicit SpaceBefore(platform::VolumeSpace& space) : m_space(space) {}

  void add(const ResultsRow& row) {
    if (!m_readFolders.insert(row.location).second)
      return;
    if (const std::optional<platform::SpaceReading> reading = m_space.read(row.location))
      m_free.emplace(reading->root, reading->freeBytes);
  }

  // Volumes that cannot be read again are left out rather than counted as lost.
  std::vector<VolumeGain> gains() const {
    std::vector<VolumeGain> gains;
    for (const auto& [root, before] : m_free) {
      if (const std::optional<platform::SpaceReading> after = m_space.read(root))
        gains.push_back({root, static_cast<int64_t>(after->freeBytes) - static_cast<int64_t>(before)});
    }
    return gains;
  }

 private:
  platform::VolumeSpace& m_space;
  std::unordered_set<std::string> m_readFolders;
  std::map<std::string, uint64_t> m_free;
};

// Megabytes with two decimals, as the results page's total reads: "2.00".
std::string megabytesText(int64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

struct PassCounts {
  size_t cleaned = 0;
  size_t failed = 0;
  int64_t freed = 0;
  int64_t trashed = 0;
};

// The first kept row is named so that the message says which program to close.
std::string closingText(bool stopped, const PassCounts& counts, const std::vector<KeptRow>& kept,
                        const ResultsList& results) {
  std::string text(stopped ? kCleanStoppedText : kCleanFinishedText);
  text +=
      "共删除 " + std::to_string(counts.cleaned) + " 项，释放 " + megabytesText(counts.freed) + " MB 空间";
  if (counts.trashed > 0)
    text += "，已移到回收站 " + megabytesText(counts.trashed) + " MB（清空回收站后释放）";
  text += "。";
  const size_t failed = counts.failed;
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

int64_t freedBytes(const std::vector<VolumeGain>& gains) {
  int64_t sum = 0;
  for (const VolumeGain& gain : gains)
    sum += gain.bytes;
  return std::max<int64_t>(sum, 0);
}

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
  platform::VolumeSpace* space = front.volumeSpace();
  const std::unique_ptr<platform::VolumeSpace> systemSpace =
      space ? nullptr : platform::VolumeSpace::system();
  SpaceBefore spaceBefore(space ? *space : *systemSpace);
  const size_t rowCount = results.count();
  for (size_t i = 0; i < rowCount; ++i) {
    if (results.isChecked(i))
      spaceBefore.add(results.row(i));
  }
  std::vector<KeptRow> kept;
  PassCounts counts;
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
      counts.failed += status == kCleanFailedStatus ? 1 : 0;
      counts.cleaned += status == kCleanedStatus || status == kTrashedStatus ? 1 : 0;
      results.setStatus(i, status);
    }
    stopped = session.finish().outcome == SessionOutcome::Stopped;
  }
  const std::vector<VolumeGain> gains = spaceBefore.gains();
  cleaner.passEnded(gains);
  counts.freed = freedBytes(gains);
  counts.trashed = cleaner.trashedBytes();
  front.showInformation(closingText(stopped, counts, kept, results));
  return kept;
}

}  // namespace qinglan
