#include "history/PassHistory.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_map>

namespace qinglan {

namespace {

// The trash places of the entries with a line of the outcome, by pass, so each trashed entry is
// looked up once instead of against the whole journal.
class SettledBefore {
 public:
  SettledBefore(const std::vector<JournalEntry>& entries, CleanOutcome outcome) {
    for (const JournalEntry& entry : entries) {
      if (entry.outcome == outcome)
        m_places.emplace(key(entry), &entry.trash);
    }
  }

  bool contains(const JournalEntry& trashed) const {
    const auto [first, last] = m_places.equal_range(key(trashed));
    return std::any_of(first, last, [&trashed](const auto& place) { return *place.second == trashed.trash; });
  }

 private:
  static std::string key(const JournalEntry& entry) {
    return entry.pass + '\0' + entry.trash.folder + '\0' + entry.trash.name;
  }

  std::unordered_multimap<std::string, const platform::TrashLocation*> m_places;
};

}  // namespace

std::vector<PassSummary> summarizePasses(const std::vector<JournalEntry>& entries) {
  std::vector<PassSummary> passes;
  for (const JournalEntry& entry : entries) {
    auto found = std::ranges::find(passes, entry.pass, &PassSummary::pass);
    if (found == passes.end())
      found = passes.insert(passes.end(), PassSummary{.pass = entry.pass, .time = entry.time});
    // Restored, purged and freed lines follow rows of the pass; they are no rows of their own.
    const bool isRow = entry.outcome != CleanOutcome::Restored && entry.outcome != CleanOutcome::Purged &&
                       entry.outcome != CleanOutcome::Freed;
    if (isRow) {
      ++found->rows;
      found->bytes += entry.size;
    }
    switch (entry.outcome) {
      case CleanOutcome::Deleted:
        ++found->deleted;
        break;
      case CleanOutcome::Trashed:
        ++found->trashed;
        break;
      case CleanOutcome::Failed:
        ++found->failed;
        break;
      case CleanOutcome::Gone:
        ++found->gone;
        break;
      case CleanOutcome::Restored:
        ++found->restored;
        break;
      case CleanOutcome::Purged:
        ++found->purged;
        break;
      case CleanOutcome::Freed:
        found->freed += entry.size;
        break;
    }
  }
  // Volumes the pass gained on may be offset by one something else filled meanwhile; the sum is
  // what the pass gave back, and a pass takes no space.
  for (PassSummary& pass : passes)
    pass.freed = std::max<int64_t>(pass.freed, 0);
  return passes;
}

std::vector<JournalEntry> entriesOfPass(const std::vector<JournalEntry>& entries, std::string_view pass) {
  std::vector<JournalEntry> found;
  std::ranges::copy_if(entries, std::back_inserter(found),
                       [pass](const JournalEntry& entry) { return entry.pass == pass; });
  return found;
}

std::vector<RestoreReport> restoreEntries(const std::vector<JournalEntry>& entries, platform::Trash& trash,
                                          CleanJournal& journal) {
  journal.open();
  const SettledBefore restoredBefore(entries, CleanOutcome::Restored);
  const SettledBefore purgedBefore(entries, CleanOutcome::Purged);
  std::vector<RestoreReport> reports;
  for (size_t i = entries.size(); i-- > 0;) {
    const JournalEntry& entry = entries[i];
    if (entry.outcome != CleanOutcome::Trashed)
      continue;
    if (restoredBefore.contains(entry) || purgedBefore.contains(entry)) {
      reports.push_back({i, entry, {}, !purgedBefore.contains(entry), purgedBefore.contains(entry)});
      continue;
    }
    RestoreReport& report =
        reports.emplace_back(RestoreReport{i, entry, trash.restore(entry.trash), false, false});
    if (report.result.restored) {
      JournalEntry restored = entry;
      restored.outcome = CleanOutcome::Restored;
      restored.reason.clear();
      journal.append(restored);
    }
  }
  return reports;
}

std::vector<PurgeReport> purgeEntries(const std::vector<JournalEntry>& entries, std::string_view cutoff,
                                      platform::Trash& trash, CleanJournal& journal) {
  journal.open();
  const SettledBefore restoredBefore(entries, CleanOutcome::Restored);
  const SettledBefore purgedBefore(entries, CleanOutcome::Purged);
  std::vector<PurgeReport> reports;
  for (size_t i = entries.size(); i-- > 0;) {
    const JournalEntry& entry = entries[i];
    if (entry.outcome != CleanOutcome::Trashed || entry.time > cutoff || restoredBefore.contains(entry) ||
        purgedBefore.contains(entry))
      continue;
    PurgeReport& report = reports.emplace_back(PurgeReport{entry, trash.purge(entry.trash)});
    if (report.result.purged || report.result.gone) {
      JournalEntry purged = entry;
      purged.outcome = CleanOutcome::Purged;
      purged.reason.clear();
      journal.append(purged);
    }
  }
  return reports;
}

}  // namespace qinglan
