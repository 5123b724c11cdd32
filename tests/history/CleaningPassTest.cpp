#include "history/CleaningPass.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include "history/PassHistory.h"
#include "platform/Remover.h"
#include "platform/Trash_posix.h"
#include "support/RecordingScanFront.h"
#include "support/TempDir.h"
#endif

namespace qinglan {
namespace {

#ifdef _WIN32
TEST(CleaningPassTest, RunsOverTheXdgTrash) {
  GTEST_SKIP() << "the passes are tested over the XDG trash, which Windows has not";
}
#else
using ::testing::ElementsAre;
using ::testing::HasSubstr;

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// Renames through the system but refuses to move any entry named b.log.
class RefusingCalls final : public platform::TrashCalls {
 public:
  int renameNoReplace(int fromFd, const char* from, int toFd, const char* to) override {
    if (std::strcmp(from, "b.log") == 0) {
      errno = EPERM;
      return -1;
    }
    return TrashCalls::renameNoReplace(fromFd, from, toFd, to);
  }
};

class CleaningPassTest : public ::testing::Test {
 protected:
  void row(const std::string& relative, bool folder = false) {
    const std::string full = folder ? m_dir.makeFolder(relative) : m_dir.writeFile(relative, "x");
    const size_t slash = full.rfind('/');
    ResultsRow& added = m_view.rows.emplace_back();
    added.name = full.substr(slash + 1);
    added.location = full.substr(0, slash + 1);
    added.checked = true;
    added.size = folder ? 0 : 1;
    added.isFolder = folder;
    added.origin = m_dir.origin(relative);
  }

  std::vector<CleanOutcome> journalOutcomes() const {
    std::vector<CleanOutcome> outcomes;
    for (const JournalEntry& entry : CleanJournal(m_dir.path("log.jsonl")).read())
      outcomes.push_back(entry.outcome);
    return outcomes;
  }

  std::vector<std::string> statuses() const {
    std::vector<std::string> found;
    for (const ResultsRow& row : m_view.rows)
      found.push_back(row.status);
    return found;
  }

  test::TempDir m_dir;
  test::RecordingScanFront m_view;
  RefusingCalls m_calls;
  platform::PosixTrash m_trash{m_calls, m_dir.path("home/Trash")};
  CleanJournal m_journal{m_dir.path("log.jsonl")};
};

TEST_F(CleaningPassTest, ATrashPassMovesRowsRecordsEachAndDeletesNothingItCannotTrash) {
  row("c/d", true);
  row("c/d/x.log");
  row("c/b.log");
  row("m/away.log");  // moved away by someone else before the pass: not in the trash
  ASSERT_EQ(std::rename(m_dir.path("m").c_str(), m_dir.path("elsewhere").c_str()), 0);
  row("c/twice.log");  // listed twice, by two rules
  m_view.rows.push_back(m_view.rows.back());
  // Counted once, though its second row finds it gone into the trash.
  m_view.rows.back().size = m_view.rows[4].size = 3 * 1048576;
  CleaningPass pass(m_journal, true, platform::Remover::system(), m_trash);
  cleanCheckedResults(m_view, pass);

  EXPECT_THAT(statuses(), ElementsAre("已移到回收站", "已移到回收站", "清理失败", "清理成功", "已移到回收站",
                                      "已移到回收站"));
  EXPECT_THAT(journalOutcomes(),
              ElementsAre(CleanOutcome::Trashed, CleanOutcome::Gone, CleanOutcome::Failed, CleanOutcome::Gone,
                          CleanOutcome::Trashed, CleanOutcome::Gone, CleanOutcome::Freed));
  EXPECT_EQ(
      m_view.events.back(),
      "info=清理垃圾完成！共删除 5 项，释放 0.00 MB 空间，已移到回收站 3.00 MB（清空回收站后释放）。其中 1 "
      "项清理失败。");
  EXPECT_THAT(pass.records()[2].entry.reason, HasSubstr("refused"));
  EXPECT_TRUE(exists(m_dir.path("c/b.log")));
  EXPECT_TRUE(exists(m_dir.path("home/Trash/files/d/x.log")));
}

TEST_F(CleaningPassTest, ADeletingPassRecordsWhatItDeletedAndWhatWasAlreadyGone) {
  row("c/d", true);
  row("c/d/x.log");
  m_view.space.readings = {5 * 1048576, 5 * 1048576 + 2621440};
  CleaningPass pass(m_journal, false, platform::Remover::system(), m_trash);
  cleanCheckedResults(m_view, pass);

  EXPECT_THAT(statuses(), ElementsAre("清理成功", "清理成功"));
  EXPECT_THAT(journalOutcomes(), ElementsAre(CleanOutcome::Deleted, CleanOutcome::Gone, CleanOutcome::Freed));
  const std::vector<JournalEntry> lines = m_journal.read();
  EXPECT_EQ(lines.back().path, "/vol/");
  EXPECT_EQ(lines.back().size, 2621440);
  const std::vector<PassSummary> passes = summarizePasses(lines);
  ASSERT_EQ(passes.size(), 1u);
  EXPECT_EQ(passes[0].rows, 2u);
  EXPECT_EQ(passes[0].freed, 2621440);
  EXPECT_EQ(m_view.events.back(), "info=清理垃圾完成！共删除 2 项，释放 2.50 MB 空间。");
  EXPECT_FALSE(pass.trashedAny());
}

TEST_F(CleaningPassTest, AJournalThatCannotBeWrittenStopsThePassBeforeItDeletes) {
  row("c/a.log");
  m_dir.writeFile("blocked", "a file where the journal's folder would go");
  CleanJournal journal(m_dir.path("blocked/log.jsonl"));
  CleaningPass pass(journal, false, platform::Remover::system(), m_trash);
  EXPECT_THROW(cleanCheckedResults(m_view, pass), JournalWriteError);
  EXPECT_TRUE(exists(m_dir.path("c/a.log")));
}

TEST_F(CleaningPassTest, RestoringAPassPutsFoldersBackFirstAndLeavesTakenNamesInTheTrash) {
  row("c/d/x.log");  // trashed before its folder
  row("c/d", true);
  row("c/a.log");
  CleaningPass pass(m_journal, true, platform::Remover::system(), m_trash);
  cleanCheckedResults(m_view, pass);
  m_dir.writeFile("c/a.log", "new");

  const std::vector<RestoreReport> reports = restoreEntries(m_journal.read(), m_trash, m_journal);
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_FALSE(reports[0].result.restored);
  EXPECT_EQ(reports[0].entry.path, m_dir.path("c/a.log"));
  EXPECT_TRUE(reports[1].result.restored);
  EXPECT_TRUE(reports[2].result.restored) << reports[2].result.reason;
  EXPECT_TRUE(exists(m_dir.path("c/d/x.log")));
  EXPECT_TRUE(exists(m_dir.path("home/Trash/files/a.log")));

  const std::vector<PassSummary> passes = summarizePasses(m_journal.read());
  ASSERT_EQ(passes.size(), 1u);
  EXPECT_EQ(passes[0].pass, pass.id());
  EXPECT_EQ(passes[0].rows, 3u);
  EXPECT_EQ(passes[0].bytes, 2);
  EXPECT_EQ(passes[0].trashed, 3u);
  EXPECT_EQ(passes[0].restored, 2u);

  // Again, after a later pass trashed an entry of the same name: what went back stays put, and only
  // the entry still waiting is tried.
  m_view.rows.clear();
  row("c/d/x.log");
  std::this_thread::sleep_for(std::chrono::milliseconds(2));  // a pass's id counts milliseconds
  CleaningPass later(m_journal, true, platform::Remover::system(), m_trash);
  ASSERT_NE(later.id(), pass.id());
  cleanCheckedResults(m_view, later);
  const std::vector<RestoreReport> again =
      restoreEntries(entriesOfPass(m_journal.read(), pass.id()), m_trash, m_journal);
  ASSERT_EQ(again.size(), 3u);
  EXPECT_FALSE(again[0].earlier);
  EXPECT_FALSE(again[0].result.restored);
  EXPECT_TRUE(again[1].earlier);
  EXPECT_TRUE(again[2].earlier);
  EXPECT_FALSE(exists(m_dir.path("c/d/x.log")));
  EXPECT_TRUE(exists(m_dir.path("home/Trash/files/x.log")));
}

// Purging empties the old passes' entries the trash still holds as they were moved, and only those:
// not a newer pass's, not one restored since, not one swapped in the trash meanwhile.
TEST_F(CleaningPassTest, PurgingEmptiesOnlyTheOldPassesOwnEntriesAndRestoreThenLeavesThem) {
  m_dir.writeFile("c/d/x.log", "x");
  row("c/d", true);
  row("c/a.log");
  row("c/r.log");
  row("c/s.log");
  CleaningPass old(m_journal, true, platform::Remover::system(), m_trash);
  cleanCheckedResults(m_view, old);
  // r.log is put back and another entry of its name trashed outside any pass; s.log is swapped.
  const std::vector<JournalEntry> oldEntries = m_journal.read();
  ASSERT_TRUE(m_trash.restore(oldEntries[2].trash).restored);
  JournalEntry restored = oldEntries[2];
  restored.outcome = CleanOutcome::Restored;
  m_journal.append(restored);
  ASSERT_TRUE(m_trash.moveToTrash(m_dir.writeFile("other/r.log", "not the pass's")).moved);
  ::unlink(m_dir.path("home/Trash/files/s.log").c_str());
  m_dir.writeFile("home/Trash/files/s.log", "swapped");

  m_view.rows.clear();
  row("c/n.log");
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  CleaningPass newer(m_journal, true, platform::Remover::system(), m_trash);
  cleanCheckedResults(m_view, newer);
  const auto journalWithNewerLater = [&] {
    std::vector<JournalEntry> entries = m_journal.read();
    for (JournalEntry& entry : entries) {
      if (entry.pass == newer.id())
        entry.time = "2999-01-01 00:00:00";
    }
    return entries;
  };

  const std::vector<PurgeReport> reports =
      purgeEntries(journalWithNewerLater(), "2998-12-31 00:00:00", m_trash, m_journal);
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0].entry.path, m_dir.path("c/s.log"));
  EXPECT_FALSE(reports[0].result.purged);
  EXPECT_FALSE(reports[0].result.gone);
  EXPECT_THAT(reports[0].result.reason, HasSubstr("another one"));
  EXPECT_TRUE(reports[1].result.purged) << reports[1].result.reason;
  EXPECT_TRUE(reports[2].result.purged) << reports[2].result.reason;
  for (const char* gone : {"files/a.log", "info/a.log.trashinfo", "files/d", "info/d.trashinfo"})
    EXPECT_FALSE(exists(m_dir.path("home/Trash/") + gone)) << gone;
  for (const char* kept : {"files/s.log", "files/r.log", "info/r.log.trashinfo", "files/n.log"})
    EXPECT_TRUE(exists(m_dir.path("home/Trash/") + kept)) << kept;
  EXPECT_TRUE(exists(m_dir.path("c/r.log")));
  EXPECT_EQ(summarizePasses(m_journal.read())[0].purged, 2u);

  // A second purge tries only what stayed; a restore leaves what was purged.
  EXPECT_EQ(purgeEntries(journalWithNewerLater(), "2998-12-31 00:00:00", m_trash, m_journal).size(), 1u);
  const std::vector<RestoreReport> back =
      restoreEntries(entriesOfPass(m_journal.read(), old.id()), m_trash, m_journal);
  ASSERT_EQ(back.size(), 4u);
  EXPECT_FALSE(back[0].purged);
  EXPECT_TRUE(back[1].earlier);
  EXPECT_TRUE(back[2].purged);
  EXPECT_TRUE(back[3].purged);
  EXPECT_FALSE(back[2].result.restored || back[3].result.restored);
}

#endif

}  // namespace
}  // namespace qinglan
