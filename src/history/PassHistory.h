#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/CleanJournal.h"
#include "platform/Trash.h"

namespace qinglan {

// What one pass of the journal did.
struct PassSummary {
  std::string pass;
  std::string time;
  size_t rows = 0;
  int64_t bytes = 0;
  size_t deleted = 0;
  size_t trashed = 0;
  size_t failed = 0;
  size_t gone = 0;      // already gone when the pass came to them
  size_t restored = 0;  // of the trashed rows, put back since
  size_t purged = 0;    // of the trashed rows, emptied from the trash since
  int64_t freed = 0;    // free bytes the volumes gained, never below zero; 0 for passes before it was kept

  friend bool operator==(const PassSummary&, const PassSummary&) = default;
};

// The passes of the entries in order of their first line.
std::vector<PassSummary> summarizePasses(const std::vector<JournalEntry>& entries);

// The entries of one pass, in journal order.
std::vector<JournalEntry> entriesOfPass(const std::vector<JournalEntry>& entries, std::string_view pass);

struct RestoreReport {
  size_t index = 0;  // of the entry in the entries given
  JournalEntry entry;
  platform::RestoreResult result;
  bool earlier = false;  // put back by an earlier restore, and left alone now
  bool purged = false;   // emptied from the trash before, and left alone now
};

// Puts back every trashed entry of a pass's entries that no "restored" line among them names, the
// last trashed first, so that a folder is back before anything trashed from inside it earlier;
// each one put back gets its "restored" line in the journal, so no entry goes back twice; one a
// "purged" line names is reported as such and left alone. Raises
// JournalWriteError before anything moves when the journal cannot be written. Entries that were
// not trashed are left out of the reports.
std::vector<RestoreReport> restoreEntries(const std::vector<JournalEntry>& entries, platform::Trash& trash,
                                          CleanJournal& journal);

struct PurgeReport {
  JournalEntry entry;
  platform::PurgeResult result;
};

// Empties from the trash for good every trashed entry of the passes that started at or before
// `cutoff` (a local time as the journal writes it) and that no "restored" or "purged" line names,
// the last trashed first. Each one purged, or found gone from the trash already, gets its
// "purged" line, so a later restore leaves it and a later purge skips it. Raises JournalWriteError
// before anything is deleted when the journal cannot be written.
std::vector<PurgeReport> purgeEntries(const std::vector<JournalEntry>& entries, std::string_view cutoff,
                                      platform::Trash& trash, CleanJournal& journal);

}  // namespace qinglan
