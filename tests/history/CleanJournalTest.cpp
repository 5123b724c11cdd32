#include "history/CleanJournal.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "history/CleaningPass.h"
#include "platform/Remover.h"
#include "platform/Trash.h"
#include "support/RecordingScanFront.h"
#include "support/TempDir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qinglan {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;

JournalEntry entry(std::string pass, std::string path, CleanOutcome outcome) {
  JournalEntry made;
  made.pass = std::move(pass);
  made.time = "2026-12-08 05:36:55";
  made.path = std::move(path);
  made.size = 42;
  made.outcome = outcome;
  return made;
}

// Deletes through the system, and ends the process abruptly at the given call, or instead hands
// that call to `atCrash`, which then fails.
class CrashingRemover final : public platform::Remover {
 public:
  explicit CrashingRemover(int crashAt, std::function<void()> atCrash = {})
      : m_crashAt(crashAt), m_atCrash(std::move(atCrash)) {}
  bool remove(const std::string& path) override { return platform::Remover::system().remove(path); }
  bool removeFinding(const std::string& path, const platform::FindingOrigin& origin) override {
    if (++m_calls == m_crashAt) {
      if (!m_atCrash)
        std::abort();
      m_atCrash();
      return false;
    }
    return platform::Remover::system().removeFinding(path, origin);
  }

 private:
  int m_crashAt;
  std::function<void()> m_atCrash;
  int m_calls = 0;
};

class CleanJournalTest : public ::testing::Test {
 protected:
  test::TempDir m_dir;
  std::string m_file = m_dir.path("clean-log.jsonl");
};

TEST_F(CleanJournalTest, EntriesReadBackAsWrittenWhateverTheirBytes) {
  JournalEntry trashed = entry("p1", "/c/a\xC4\\b.log", CleanOutcome::Trashed);
  trashed.trash = {"/home/u/.local/share/Trash",
                   "a\xC4\\b.log.2",
                   "/real/c/a\xC4\\b.log",
                   {2049, 18446744073709551615u, 0100000},
                   {2049, 7, 040000, 18446744073709551614u},
                   {2049, 12, 040000},
                   1796787423895694401};
  JournalEntry restored = trashed;
  restored.outcome = CleanOutcome::Restored;
  JournalEntry purged = trashed;
  purged.outcome = CleanOutcome::Purged;
  JournalEntry failed = entry("p1", "/c/\"quoted\"\n.log", CleanOutcome::Failed);
  failed.reason = "the move into /t was refused: Permission denied";
  CleanJournal journal(m_file);
  journal.append(trashed);
  journal.append(failed);
  journal.append(restored);
  journal.append(purged);
  journal.close();

  EXPECT_THAT(CleanJournal(m_file).read(), ElementsAre(trashed, failed, restored, purged));
  // A 64-bit id keeps the three numbers older readers know.
  std::ifstream written(m_file, std::ios::binary);
  const std::string lines{std::istreambuf_iterator<char>(written), {}};
  EXPECT_THAT(lines, ::testing::HasSubstr("[2049,12,16384]"));
}

// Lines written before identities were kept still read, with none; a malformed one is no entry.
TEST_F(CleanJournalTest, TrashedLinesWithoutIdentitiesReadAndMalformedOnesDoNot) {
  const std::string old =
      R"({"pass":"p","time":"t","path":"/c/a","size":1,"outcome":"trashed","trash":"/t","trash_name":"a",)"
      R"("origin":"/c/a")";
  const std::optional<JournalEntry> read = entryFromLine(old + "}");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->trash.folder, "/t");
  EXPECT_FALSE(read->trash.entry.known());
  EXPECT_FALSE(read->trash.originFolder.known());
  for (const char* id : {R"("entry_id":[1,2])", R"("trash_id":"1:2:3")", R"("origin_folder_id":[1,-2,3])",
                         R"("entry_id":[1,2,3,4,5])"})
    EXPECT_FALSE(entryFromLine(old + "," + id + "}")) << id;
}

TEST_F(CleanJournalTest, TheLinesBeforeACrashStayReadable) {
  test::RecordingScanFront view;
  for (const char* name : {"a.log", "b.log", "c.log"}) {
    m_dir.writeFile(std::string("c/") + name, "x");
    ResultsRow& row = view.rows.emplace_back();
    row.name = name;
    row.location = m_dir.path("c/");
    row.checked = true;
    row.origin = m_dir.origin(std::string("c/") + name);
  }
#ifdef _WIN32
  // A death test would run this test again in a new process, whose fixture makes a folder of its
  // own. A crash leaves what the file holds at that moment: the file is put back to that after the
  // pass.
  std::string leftByCrash;
  {
    CleanJournal journal(m_file);
    CrashingRemover remover(3, [&] {
      std::ifstream written(m_file, std::ios::binary);
      std::ostringstream held;
      held << written.rdbuf();
      leftByCrash = held.str();
    });
    CleaningPass pass(journal, false, remover, platform::Trash::system());
    cleanCheckedResults(view, pass);
  }
  std::ofstream(m_file, std::ios::binary | std::ios::trunc) << leftByCrash;
#else
  EXPECT_DEATH(
      {
        CleanJournal journal(m_file);
        CrashingRemover remover(3);
        CleaningPass pass(journal, false, remover, platform::Trash::system());
        cleanCheckedResults(view, pass);
      },
      "");
#endif
  // A line cut midway by a crash must not swallow the next pass's first line either.
  std::ofstream(m_file, std::ios::app) << "{\"pass\":\"cut";
  CleanJournal journal(m_file);
  journal.append(entry("p2", "/next", CleanOutcome::Deleted));

  const std::vector<JournalEntry> entries = journal.read();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].path, m_dir.path("c/a.log"));
  EXPECT_EQ(entries[1].outcome, CleanOutcome::Deleted);
  EXPECT_EQ(entries[2].pass, "p2");
}

TEST_F(CleanJournalTest, TheOldestPassesDropOutAndTheNewestStaysWhole) {
  const uintmax_t lineSize = journalLine(entry("p0", "/c/a.log", CleanOutcome::Deleted)).size() + 1;
  CleanJournal journal(m_file, 3 * lineSize);
  for (const char* pass : {"p0", "p1", "p2"}) {
    journal.append(entry(pass, "/c/a.log", CleanOutcome::Deleted));
    journal.append(entry(pass, "/c/b.log", CleanOutcome::Deleted));
    journal.close();
  }
  EXPECT_THAT(journal.read(),
              ElementsAre(Field(&JournalEntry::pass, "p2"), Field(&JournalEntry::pass, "p2")));

  for (int i = 0; i < 5; ++i)
    journal.append(entry("big", "/c/x.log", CleanOutcome::Deleted));
  journal.close();
  EXPECT_EQ(journal.read().size(), 5u);
}

TEST_F(CleanJournalTest, NothingIsWrittenThroughALinkOrIntoAFolderOthersMayWrite) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links and permission bits are POSIX ones";
#else
  const test::TempDir outside;
  const std::string target = outside.writeFile("owned-by-root", "kept");
  const auto targetBytes = [&target] {
    std::ifstream in(target, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  // Trimming writes a temporary of its own, whatever stands under the old fixed name.
  ASSERT_EQ(::symlink(target.c_str(), (m_file + ".tmp").c_str()), 0);
  const uintmax_t lineSize = journalLine(entry("p0", "/c/a.log", CleanOutcome::Deleted)).size() + 1;
  for (const char* pass : {"p0", "p1"}) {
    CleanJournal journal(m_file, lineSize);
    journal.append(entry(pass, "/c/a.log", CleanOutcome::Deleted));
    journal.close();
  }
  EXPECT_THAT(CleanJournal(m_file).read(), ElementsAre(Field(&JournalEntry::pass, "p1")));

  std::filesystem::remove(m_file);
  ASSERT_EQ(::symlink(target.c_str(), m_file.c_str()), 0);
  ASSERT_EQ(::symlink(outside.path().c_str(), m_dir.path("linked").c_str()), 0);
  const std::string open = m_dir.makeFolder("open");
  ::chmod(open.c_str(), 0777);
  for (const std::string& file : {m_file, m_dir.path("linked/owned-by-root"), open + "/clean-log.jsonl"}) {
    EXPECT_THROW(CleanJournal(file).append(entry("p2", "/c/a.log", CleanOutcome::Deleted)),
                 platform::UnsafeFolderError)
        << file;
    EXPECT_THROW(CleanJournal(file).read(), platform::UnsafeFolderError) << file;
  }
  EXPECT_EQ(targetBytes(), "kept");
  EXPECT_TRUE(std::filesystem::is_empty(open));
#endif
}

}  // namespace
}  // namespace qinglan
