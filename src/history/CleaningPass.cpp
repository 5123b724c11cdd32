#include "history/CleaningPass.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/NativePath.h"
#include "platform/Path.h"
#include "platform/Remover.h"
#include "platform/SystemTime.h"
#include "platform/Trash.h"
#include "scan/ResultsRow.h"

namespace qinglan {

namespace {

platform::SystemTime localTimeOf(std::chrono::system_clock::duration sinceEpoch) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
  const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch - seconds);
  return platform::toLocalSystemTime(
      {static_cast<time_t>(seconds.count()), static_cast<long>(nanoseconds.count())});
}

std::string passTimeText(const platform::SystemTime& local) {
  char time[48];
  std::snprintf(time, sizeof time, "%04u-%02u-%02u %02u:%02u:%02u", local.year, local.month, local.day,
                local.hour, local.minute, local.second);
  return time;
}

}  // namespace

PassStamp newPassStamp() {
  const platform::SystemTime local = localTimeOf(std::chrono::system_clock::now().time_since_epoch());
  char id[48];
  std::snprintf(id, sizeof id, "%04u%02u%02u-%02u%02u%02u-%03u", local.year, local.month, local.day,
                local.hour, local.minute, local.second, local.milliseconds);
  return {id, passTimeText(local)};
}

std::string passTimeDaysAgo(int days) {
  // No pass is a century old; beyond that the clock's range would end first.
  constexpr int kMaxDays = 36500;
  const auto then = std::chrono::system_clock::now() - std::chrono::hours(24) * std::min(days, kMaxDays);
  return passTimeText(localTimeOf(then.time_since_epoch()));
}

CleaningPass::CleaningPass(CleanJournal& journal, bool toTrash, platform::Remover& remover,
                           platform::Trash& trash)
    : m_journal(journal), m_toTrash(toTrash), m_remover(remover), m_trash(trash) {
  PassStamp stamp = newPassStamp();
  m_id = std::move(stamp.id);
  m_time = std::move(stamp.time);
}

std::string CleaningPass::clean(size_t index, const ResultsRow& row) {
  // A journal that cannot be written stops the pass before anything unrecorded happens.
  m_journal.open();
  JournalEntry entry = m_toTrash ? trashRow(row) : deleteRow(row);
  entry.pass = m_id;
  entry.time = m_time;
  entry.path = row.fullPath();
  entry.size = row.size;
  m_journal.append(entry);
  m_records.push_back({index, entry});
  switch (entry.outcome) {
    case CleanOutcome::Failed:
      return std::string(kCleanFailedStatus);
    case CleanOutcome::Trashed:
      m_trashedPaths.insert(entry.path);
      return std::string(kTrashedStatus);
    case CleanOutcome::Gone:
      // In the trash only when this pass trashed it from an earlier row, or a folder holding it;
      // gone by other means, it reads as any row that was already gone.
      return std::string(trashedByThisPass(entry.path) ? kTrashedStatus : kCleanedStatus);
    case CleanOutcome::Deleted:
    case CleanOutcome::Restored:
    case CleanOutcome::Purged:
    case CleanOutcome::Freed:
      break;
  }
  return std::string(kCleanedStatus);
}

bool CleaningPass::trashedByThisPass(const std::string& path) const {
  if (m_trashedPaths.contains(path))
    return true;
  for (size_t end = path.rfind(platform::kSeparator); end != std::string::npos && end > 0;
       end = path.rfind(platform::kSeparator, end - 1)) {
    if (m_trashedPaths.contains(path.substr(0, end)))
      return true;
  }
  return false;
}

bool CleaningPass::trashedAny() const {
  return std::ranges::any_of(
      m_records, [](const PassRecord& record) { return record.entry.outcome == CleanOutcome::Trashed; });
}

int64_t CleaningPass::trashedBytes() const {
  int64_t bytes = 0;
  for (const PassRecord& record : m_records)
    bytes += record.entry.outcome == CleanOutcome::Trashed ? record.entry.size : 0;
  return bytes;
}

void CleaningPass::passEnded(const std::vector<VolumeGain>& gains) {
  m_gains = gains;
  // A pass that cleaned nothing wrote no line, and gets none for its volumes.
  if (m_records.empty())
    return;
  for (const VolumeGain& gain : gains) {
    JournalEntry entry;
    entry.pass = m_id;
    entry.time = m_time;
    entry.path = gain.root;
    entry.size = gain.bytes;
    entry.outcome = CleanOutcome::Freed;
    m_journal.append(entry);
  }
}

JournalEntry CleaningPass::trashRow(const ResultsRow& row) {
  const platform::TrashResult result = m_trash.moveFinding(row.fullPath(), row.origin);
  JournalEntry entry;
  if (result.moved) {
    entry.outcome = CleanOutcome::Trashed;
    entry.trash = result.location;
  } else if (result.absent) {
    // Already gone, often with a folder trashed earlier in the pass.
    entry.outcome = CleanOutcome::Gone;
  } else {
    entry.outcome = CleanOutcome::Failed;
    entry.reason = result.reason;
  }
  return entry;
}

JournalEntry CleaningPass::deleteRow(const ResultsRow& row) {
  JournalEntry entry;
  if (!platform::entryExists(row.fullPath())) {
    // Already gone, often with a folder deleted earlier in the pass.
    entry.outcome = CleanOutcome::Gone;
  } else if (m_remover.removeFinding(row.fullPath(), row.origin)) {
    entry.outcome = CleanOutcome::Deleted;
  } else {
    entry.outcome = CleanOutcome::Failed;
    entry.reason = "could not be deleted, or no longer the entry that was listed";
  }
  return entry;
}

}  // namespace qinglan
