#include "history/PassHistory.h"

#include <algorithm>
#include <iterator>

namespace qinglan {

std::vector<PassSummary> summarizePasses(const std::vector<JournalEntry>& entries) {
  std::vector<PassSummary> passes;
  for (const JournalEntry& entry : entries) {
    auto found = std::ranges::find(passes, entry.pass, &PassSummary::pass);
    if (found == passes.end())
      found = passes.insert(passes.end(), PassSummary{.pass = entry.pass, .time = entry.time});
    ++found->rows;
    found->bytes += entry.size;
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

std::vector<RestoreReport> restoreEntries(const std::vector<JournalEntry>& entries, platform::Trash& trash) {
  std::vector<RestoreReport> reports;
  for (size_t i = entries.size(); i-- > 0;) {
    if (entries[i].outcome == CleanOutcome::Trashed)
      reports.push_back({i, entries[i], trash.restore(entries[i].trash)});
  }
  return reports;
}

}  // namespace qinglan
