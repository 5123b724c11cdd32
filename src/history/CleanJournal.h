#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/OwnFolder.h"
#include "platform/Trash.h"

namespace qinglan {

inline constexpr std::string_view kJournalFileName = "clean-log.jsonl";
inline constexpr uintmax_t kJournalLimitBytes = 10 * 1024 * 1024;

// Restored and Purged are no rows of their own: lines appended when a trashed row of the pass is put
// back, or emptied from the trash for good. Nor is Freed: written as the pass ends, one per volume,
// its path the volume's root and its size the free bytes the volume gained (negative when it lost).
enum class CleanOutcome { Deleted, Trashed, Failed, Gone, Restored, Purged, Freed };

std::string_view outcomeName(CleanOutcome outcome);
std::optional<CleanOutcome> outcomeFromName(std::string_view name);

// One row of a cleaning pass as the journal keeps it.
struct JournalEntry {
  std::string pass;  // the pass's id
  std::string time;  // the pass's local start time, "2026-12-08 05:36:55"
  std::string path;  // the row's full path, raw bytes
  int64_t size = 0;
  CleanOutcome outcome = CleanOutcome::Failed;
  std::string reason;             // why a failed row stayed
  platform::TrashLocation trash;  // where a trashed, restored or purged row went

  friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

// Raised when the journal cannot be written: "Unable to write to <file>".
class JournalWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The journal in the program's state folder (which ends with the separator).
std::string journalFile(const std::string& stateFolder);

// clean-log.jsonl: one JSON object per line for every row of every cleaning pass, paths escaped as
// the command line prints them. Each line is flushed as it is appended, so a pass that ends midway
// leaves every line before it whole. The file is kept under its limit by dropping the oldest
// passes; the newest pass stays whole. It lives in a folder of the program's own (OwnFolder): a
// folder or file there that is unsafe raises platform::UnsafeFolderError.
class CleanJournal {
 public:
  explicit CleanJournal(std::string fileName, uintmax_t limitBytes = kJournalLimitBytes);
  ~CleanJournal();
  CleanJournal(const CleanJournal&) = delete;
  CleanJournal& operator=(const CleanJournal&) = delete;

  const std::string& fileName() const { return m_fileName; }

  // Opens the file for appending unless it is open, making its folder as needed; raises
  // JournalWriteError when it cannot be.
  void open();
  // Opens the file as needed; raises JournalWriteError when the line cannot be written.
  void append(const JournalEntry& entry);
  // Closes the file and drops the oldest passes while it is over the limit.
  void close();

  // Every line that reads as an entry, in file order; a missing file has none.
  std::vector<JournalEntry> read() const;

 private:
  void trim(const platform::OwnFolder& folder) const;
  std::string name() const;

  std::string m_fileName;
  uintmax_t m_limitBytes;
  std::optional<platform::OwnFolder> m_folder;
  std::optional<platform::AppendedFile> m_file;
};

std::string journalLine(const JournalEntry& entry);
std::optional<JournalEntry> entryFromLine(std::string_view line);

}  // namespace qinglan
