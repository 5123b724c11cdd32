#include "history/PassHistory.h"

#include <algorithm>
#include <iterator>

namespace qinglan {

namespace {

bool restoredEarlier(const std::vector<JournalEntry>& entries, const JournalEntry& trashed) {
  return std::ranges::any_of(entries, [&trashed](const JournalEntry& entry) {
    return entry.outcome == CleanOutcome::Restored && entry.pass == trashed.pass &&
           entry.trash == trashed.trash;
  });
}

}  // namespace

std::vector<PassSummary> summarizePasses(const std::vector<JournalEntry>& entries) {
  std::vector<PassSummary> passes;
  for (const JournalEntry& entry : entries) {
    auto found = std::ranges::find(passes, entry.pass, &PassSummary::pass);
    if (found == passes.end())
      found = passes.insert(passes.end(), PassSummary{.pass = entry.pass, .time = entry.time});
    // A restored line follows a row of the pass; it is no row of its own.
    if (entry.outcome != CleanOutcome::Restored) {
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
    }
  }
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
  std::vector<RestoreReport> reports;
  for (size_t i = entries.size(); i-- > 0;) {
    const JournalEntry& entry = entries[i];
    if (entry.outcome != CleanOutcome::Trashed)
      continue;
    if (restoredEarlier(entries, entry)) {
      reports.push_back({i, entry, {}, true});
      continue;
    }
    RestoreReport& report = reports.emplace_back(RestoreReport{i, entry, trash.restore(entry.trash), false});
    if (report.result.restored) {
      JournalEntry restored = entry;
      restored.outcome = CleanOutcome::Restored;
      restored.reason.clear();
      journal.append(restored);
    }
  }
  return reports;
}

}  // namespace qinglan
