#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "history/CleanJournal.h"
#include "scan/CleanResults.h"

namespace qinglan {

namespace platform {
class Remover;
class Trash;
}  // namespace platform

// A journal entry and the results row it was written for.
struct PassRecord {
  size_t row = 0;
  JournalEntry entry;
};

// One cleaning pass that deletes each checked row permanently or moves it into the trash, and
// writes the row's line to the journal before its status is shown. A row that cannot be trashed
// stays where it is and reads "清理失败": nothing is deleted in its place.
class CleaningPass final : public RowCleaner {
 public:
  CleaningPass(CleanJournal& journal, bool toTrash, platform::Remover& remover, platform::Trash& trash);

  std::string clean(size_t index, const ResultsRow& row) override;
  int64_t trashedBytes() const override;
  // Journals each volume's gain after the pass's rows.
  void passEnded(const std::vector<VolumeGain>& gains) override;

  const std::string& id() const { return m_id; }
  const std::vector<PassRecord>& records() const { return m_records; }
  bool trashedAny() const;
  const std::vector<VolumeGain>& gains() const { return m_gains; }

 private:
  JournalEntry trashRow(const ResultsRow& row);
  JournalEntry deleteRow(const ResultsRow& row);
  bool trashedByThisPass(const std::string& path) const;

  CleanJournal& m_journal;
  const bool m_toTrash;
  platform::Remover& m_remover;
  platform::Trash& m_trash;
  std::string m_id;
  std::string m_time;
  std::vector<PassRecord> m_records;
  std::unordered_set<std::string> m_trashedPaths;  // of the rows this pass trashed
  std::vector<VolumeGain> m_gains;
};

// A new pass's id and local start time: "20261208-053655-123" and "2026-12-08 05:36:55".
struct PassStamp {
  std::string id;
  std::string time;
};
PassStamp newPassStamp();

// The local time `days` whole days before now, as a pass's time is written: the passes at or
// before it are older than that.
std::string passTimeDaysAgo(int days);

}  // namespace qinglan
