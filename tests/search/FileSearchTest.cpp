#include "search/FileSearch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/DirLister.h"
#include "platform/Path.h"
#include "platform/SystemTime.h"
#include "search/Mask.h"
#include "support/RandomTreeLister.h"
#include "support/Symlink.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

using platform::kAttrArchive;
using platform::kAttrDirectory;
using platform::kAttrHidden;
using platform::kAttrReadOnly;
using platform::kAttrReparsePoint;
using platform::kAttrSystem;
using testing::ElementsAre;
using testing::IsEmpty;

constexpr int64_t kGiB = int64_t{1} << 30;

// The tests below spell paths with "/"; the walk joins them with the platform's separator.
std::string native(std::string path) {
  std::replace(path.begin(), path.end(), '/', platform::kSeparator);
  return path;
}

// A path the walk reported, spelled with "/" again; a "/" of its own is a join the walk got wrong.
std::string portable(std::string path) {
  if (platform::kSeparator != '/') {
    EXPECT_EQ(path.find('/'), std::string::npos) << path;
    std::replace(path.begin(), path.end(), platform::kSeparator, '/');
  }
  return path;
}

// Folders held in memory; a folder named in `refused` cannot be listed.
class FakeLister : public platform::DirLister {
 public:
  struct Item {
    platform::DirEntry entry;
    platform::EntryDetails details;
  };

  // `folder` without a trailing separator; the listed attributes lack the read-only bit.
  void add(const std::string& folder, const std::string& name, uint32_t attributes, int64_t size = 0,
           platform::SystemTime time = {}) {
    Item item{{name, attributes & ~kAttrReadOnly}, {attributes, size, time, time, time, {}}};
    m_folders[native(folder) + platform::kSeparator].push_back(item);
  }
  void refuse(const std::string& folder) { m_refused.insert(native(folder) + platform::kSeparator); }

  std::unique_ptr<platform::DirListing> list(const std::string& folder) override {
    if (m_refused.count(folder) != 0 || m_folders.count(folder) == 0)
      return nullptr;
    return std::make_unique<Listing>(*this, m_folders.at(folder));
  }

  std::atomic<int> detailsRead = 0;  // walks read details on two threads

 private:
  class Listing : public platform::DirListing {
   public:
    Listing(FakeLister& owner, const std::vector<Item>& items) : m_owner(owner), m_items(items) {
      for (const Item& item : items)
        m_entries.push_back(item.entry);
    }
    const std::vector<platform::DirEntry>& entries() const override { return m_entries; }
    std::optional<platform::EntryDetails> details(const platform::DirEntry& entry) override {
      ++m_owner.detailsRead;
      for (const Item& item : m_items) {
        if (item.entry.name == entry.name)
          return item.details;
      }
      return std::nullopt;
    }

   private:
    FakeLister& m_owner;
    const std::vector<Item>& m_items;
    std::vector<platform::DirEntry> m_entries;
  };

  std::map<std::string, std::vector<Item>> m_folders;
  std::set<std::string> m_refused;
};

// Runs an engine over a lister and records what it reports.
struct Recorder {
  explicit Recorder(platform::DirLister& lister) {
    search.setLister(lister);
    search.setOnFileFound([this](const TFileInformations& found) {
      found_.push_back(portable(found.Path + found.Name));
      sizes.push_back(found.Size);
    });
    search.setOnChangeFolder([this](const std::string& folder) { folders.push_back(portable(folder)); });
    search.setOnStatistics([this](const TStatistics& stats) {
      statistics.push_back({stats.FilesFound, stats.FoldersWithFiles, stats.FoldersFound});
    });
    search.setOnUnreadableFolder(
        [this](const std::string& folder) { unreadable.push_back(portable(folder)); });
  }
  bool run(const std::string& root) {
    search.setRootPath(native(root));
    return search.Execute();
  }

  TFileSearch search;
  std::vector<std::string> found_;
  std::vector<int64_t> sizes;
  std::vector<std::string> folders;
  std::vector<std::vector<int>> statistics;
  std::vector<std::string> unreadable;
};

TEST(FileSearchTest, WalksRootFirstThenLevelByLevel) {
  FakeLister lister;
  lister.add("r", "B", kAttrDirectory);
  lister.add("r", "a.txt", kAttrArchive);
  lister.add("r", "C", kAttrDirectory);
  lister.add("r/B", "D", kAttrDirectory);
  lister.add("r/B", "x.txt", kAttrArchive);
  lister.add("r/C", "y.txt", kAttrArchive);
  lister.add("r/B/D", "z.txt", kAttrArchive);
  Recorder recorder(lister);
  recorder.search.setFileNames({"*"});

  EXPECT_TRUE(recorder.run("r"));
  EXPECT_THAT(recorder.folders, ElementsAre("r", "r/B", "r/C", "r/B/D"));
  EXPECT_THAT(recorder.found_,
              ElementsAre("r/B", "r/a.txt", "r/C", "r/B/D", "r/B/x.txt", "r/C/y.txt", "r/B/D/z.txt"));
  // files, folders with files, folders
  EXPECT_THAT(recorder.statistics, ElementsAre(ElementsAre(4, 4, 3)));

  Recorder flat(lister);
  flat.search.setOptions(kAllSearchOptions.without(okIncludeSubfolder));
  EXPECT_TRUE(flat.run("r/"));
  EXPECT_THAT(flat.folders, ElementsAre("r/"));
}

// A stop asked for from an event ends the walk before the next entry, wherever it falls.
TEST(FileSearchTest, AStopEndsTheWalkBeforeTheNextEntry) {
  FakeLister lister;
  lister.add("r", "B", kAttrDirectory);
  lister.add("r", "a.txt", kAttrArchive);
  lister.add("r/B", "x.txt", kAttrArchive);
  lister.add("r/B", "y.txt", kAttrArchive);
  const std::vector<std::string> all{"r/B", "r/a.txt", "r/B/x.txt", "r/B/y.txt"};
  for (size_t stopAfter = 1; stopAfter <= all.size(); ++stopAfter) {
    std::stop_source stop;
    Recorder recorder(lister);
    recorder.search.setFileNames({"*"});
    recorder.search.setStopToken(stop.get_token());
    recorder.search.setOnFileFound([&](const TFileInformations& found) {
      recorder.found_.push_back(portable(found.Path + found.Name));
      if (recorder.found_.size() == stopAfter)
        stop.request_stop();
    });
    EXPECT_TRUE(recorder.run("r"));
    EXPECT_EQ(recorder.found_, std::vector<std::string>(all.begin(), all.begin() + stopAfter));
    EXPECT_EQ(recorder.statistics.size(), 1u);
  }
}

TEST(FileSearchTest, UnlistableFolderEndsTheRunWithFalse) {
  FakeLister lister;
  for (const char* name : {"one", "two", "three"})
    lister.add("r", name, kAttrDirectory);
  lister.add("r/one", "1.txt", kAttrArchive);
  lister.add("r/two", "2.txt", kAttrArchive);
  lister.add("r/three", "3.txt", kAttrArchive);
  lister.refuse("r/two");
  Recorder recorder(lister);
  recorder.search.setFileNames({"*.txt"});

  EXPECT_FALSE(recorder.run("r"));
  EXPECT_THAT(recorder.found_, ElementsAre("r/one/1.txt"));
  EXPECT_THAT(recorder.folders, ElementsAre("r", "r/one", "r/two"));
  EXPECT_THAT(recorder.statistics, ElementsAre(ElementsAre(1, 1, 0)));
  EXPECT_THAT(recorder.unreadable, ElementsAre("r/two/"));

  // Set to skip, the walk leaves the folder out, goes on in the same order and still says false.
  Recorder skipping(lister);
  skipping.search.setFileNames({"*.txt"});
  skipping.search.setAtUnlistedFolder(UnlistedFolder::Skip);
  EXPECT_FALSE(skipping.run("r"));
  EXPECT_THAT(skipping.found_, ElementsAre("r/one/1.txt", "r/three/3.txt"));
  EXPECT_THAT(skipping.folders, ElementsAre("r", "r/one", "r/two", "r/three"));
  EXPECT_THAT(skipping.statistics, ElementsAre(ElementsAre(2, 2, 0)));
  EXPECT_THAT(skipping.unreadable, ElementsAre("r/two/"));

  Recorder missing(lister);
  EXPECT_FALSE(missing.run("nowhere"));
  EXPECT_THAT(missing.folders, ElementsAre("nowhere"));
  EXPECT_THAT(missing.statistics, ElementsAre(ElementsAre(0, 0, 0)));

  // An empty root would mean the file system's root: it is not walked.
  Recorder empty(lister);
  EXPECT_FALSE(empty.run(""));
  EXPECT_THAT(empty.folders, ElementsAre(""));
}

TEST(FileSearchTest, InvalidMaskRaisesAtTheFirstEntryThatReachesIt) {
  FakeLister lister;
  lister.add("r", "a.txt", kAttrArchive);
  lister.add("r", "b.txt", kAttrArchive);
  lister.add("r", "c.dat", kAttrArchive);
  lister.add("r", "d.txt", kAttrArchive);

  Recorder names(lister);
  names.search.setFileNames({"*.txt", "[bad"});
  EXPECT_THROW(names.run("r"), EInvalidMask);
  EXPECT_THAT(names.found_, ElementsAre("r/a.txt", "r/b.txt"));
  EXPECT_THAT(names.statistics, IsEmpty());

  // Exclusions are tried before names, each list up to its first match.
  Recorder exclusions(lister);
  exclusions.search.setExcludedFiles({"a*", "[!]"});
  exclusions.search.setFileNames({"*", "[bad"});
  try {
    exclusions.run("r");
    FAIL();
  } catch (const EInvalidMask& error) {
    EXPECT_STREQ(error.what(), "'[!]' is an invalid mask at (3)");
  }
  EXPECT_THAT(exclusions.found_, IsEmpty());

  // Every entry is tested, even when its verdict is lost elsewhere: no attribute is looked for.
  Recorder nothingWanted(lister);
  nothingWanted.search.setOptions(TOptions{okIncludeSubfolder});
  nothingWanted.search.setFileNames({"*.txt", "[bad"});
  EXPECT_THROW(nothingWanted.run("r"), EInvalidMask);
}

struct AttributeCase {
  TOptions options;
  uint32_t attributes;
  bool found;
};

class AttributeTest : public testing::TestWithParam<AttributeCase> {};

TEST_P(AttributeTest, OneSharedBitIsEnough) {
  FakeLister lister;
  lister.add("r", "entry", GetParam().attributes);
  Recorder recorder(lister);
  recorder.search.setOptions(GetParam().options);
  recorder.search.setFileNames({"*"});
  recorder.run("r");
  EXPECT_EQ(recorder.found_.size(), GetParam().found ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AttributeTest,
    testing::Values(AttributeCase{{okLookForArchiveFile}, kAttrArchive | kAttrHidden, true},
                    AttributeCase{{okLookForHiddenFile}, kAttrArchive, false},
                    AttributeCase{{okLookForReadOnlyFile}, kAttrDirectory | kAttrReadOnly, true},
                    AttributeCase{{okLookForReadOnlyFile}, kAttrArchive, false},
                    AttributeCase{{okLookForDirectory}, kAttrDirectory, true},
                    AttributeCase{{okLookForSystemFile}, kAttrSystem, true},
                    AttributeCase{{okLookForAnyFile}, kAttrSystem, true},
                    AttributeCase{{okLookForAnyFile}, kAttrDirectory, false},
                    AttributeCase{{okLookForAnyFile}, 0, true},
                    AttributeCase{{okLookForHiddenFile}, 0, false}));

TEST(FileSearchTest, StarDotStarInTheNameListLetsEveryFolderPass) {
  FakeLister lister;
  lister.add("r", "123", kAttrDirectory);
  lister.add("r", "README", kAttrArchive);
  lister.add("r", "a.b.c", kAttrArchive);
  lister.add("r", "v1.2", kAttrDirectory);
  const TOptions noSubfolders = kAllSearchOptions.without(okIncludeSubfolder);

  Recorder starDotStar(lister);
  starDotStar.search.setOptions(noSubfolders);
  starDotStar.run("r");
  EXPECT_THAT(starDotStar.found_, ElementsAre("r/123", "r/a.b.c", "r/v1.2"));

  Recorder anywhere(lister);
  anywhere.search.setOptions(noSubfolders);
  anywhere.search.setFileNames({"*.log", "*.*"});
  anywhere.run("r");
  EXPECT_THAT(anywhere.found_, ElementsAre("r/123", "r/a.b.c", "r/v1.2"));

  Recorder without(lister);
  without.search.setOptions(noSubfolders);
  without.search.setFileNames({"*.c", "*.2"});
  without.run("r");
  EXPECT_THAT(without.found_, ElementsAre("r/a.b.c", "r/v1.2"));

  // The installed resource list: folders whose names hold no dot.
  Recorder resources(lister);
  resources.search.setOptions(noSubfolders);
  resources.search.setExcludedFiles({"*.*"});
  resources.run("r");
  EXPECT_THAT(resources.found_, ElementsAre("r/123"));
}

TEST(FileSearchTest, ReadsDetailsOnlyForEntriesThatCanStillPass) {
  FakeLister lister;
  lister.add("r", "a.log", kAttrArchive);
  lister.add("r", "b.txt", kAttrArchive);
  lister.add("r", "c.txt", kAttrArchive | kAttrHidden);
  Recorder recorder(lister);
  recorder.search.setFileNames({"*.log", "c*"});
  recorder.search.setOptions(TOptions{okLookForReadOnlyFile});
  recorder.run("r");
  EXPECT_THAT(recorder.found_, IsEmpty());
  EXPECT_EQ(lister.detailsRead, 2);  // the read-only bit of a.log and c.txt; b.txt fails on its name
}

TEST(FileSearchTest, AcceptHandlerHasTheLastWord) {
  FakeLister lister;
  lister.add("r", "keep.txt", kAttrArchive);
  lister.add("r", "skip.txt", kAttrArchive);
  lister.add("r", "sub", kAttrDirectory);
  Recorder recorder(lister);
  recorder.search.setFileNames({"*"});
  recorder.search.setOnAcceptFile([](const TFileInformations& found) { return found.Name != "skip.txt"; });
  recorder.run("r");
  EXPECT_THAT(recorder.found_, ElementsAre("r/keep.txt", "r/sub"));
  EXPECT_THAT(recorder.statistics, ElementsAre(ElementsAre(1, 1, 1)));
}

TEST(FileSearchTest, SizeFilterComparesFullSizes) {
  FakeLister lister;
  lister.add("r", "small", kAttrArchive, 5);
  lister.add("r", "three", kAttrArchive, 3 * kGiB);
  lister.add("r", "fourhalf", kAttrArchive, 9 * kGiB / 2);
  lister.add("r", "folder", kAttrDirectory);

  Recorder bigger(lister);
  bigger.search.setFileNames({"*"});
  bigger.search.setSizeFilter(true, sfkBiggerOrEqualTo, 10 << 20);
  bigger.run("r");
  EXPECT_THAT(bigger.found_, ElementsAre("r/three", "r/fourhalf"));
  EXPECT_THAT(bigger.sizes, ElementsAre(3 * kGiB, 9 * kGiB / 2));

  Recorder smaller(lister);
  smaller.search.setFileNames({"*"});
  smaller.search.setSizeFilter(true, sfkSmallerOrEqualTo, 3 * kGiB);
  smaller.run("r");
  EXPECT_THAT(smaller.found_, ElementsAre("r/small", "r/three", "r/folder"));
}

platform::SystemTime dayTime(uint16_t year, uint16_t month, uint16_t day, uint16_t hour) {
  platform::SystemTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = hour;
  return time;
}

struct DateCase {
  TDateFilterKind kind;
  double first;
  double second;
  bool found;
};

class DateKindTest : public testing::TestWithParam<DateCase> {};

TEST_P(DateKindTest, ComparesCalendarDays) {
  FakeLister lister;
  lister.add("r", "f", kAttrArchive, 0, dayTime(2021, 3, 1, 23));
  Recorder recorder(lister);
  recorder.search.setFileNames({"*"});
  recorder.search.setDateFilter(true, dfakModifiedFiles, GetParam().kind, GetParam().first,
                                GetParam().second);
  recorder.run("r");
  EXPECT_EQ(recorder.found_.size(), GetParam().found ? 1u : 0u);
}

const double kMarch1 = platform::dateTimeFromDate(2021, 3, 1);

INSTANTIATE_TEST_SUITE_P(
    Table, DateKindTest,
    testing::Values(DateCase{dfkBetween, kMarch1 + 0.9, kMarch1 + 0.1, true},
                    DateCase{dfkBetween, kMarch1 + 1, kMarch1 + 5, false},
                    DateCase{dfkBetween, kMarch1 - 3, kMarch1 - 1, false},
                    DateCase{dfkSame, kMarch1 + 0.5, 0, true}, DateCase{dfkSame, kMarch1 + 1, 0, false},
                    DateCase{dfkBefore, kMarch1 + 0.99, 0, false}, DateCase{dfkBefore, kMarch1 + 1, 0, true},
                    DateCase{dfkAfter, kMarch1, 0, false}, DateCase{dfkAfter, kMarch1 - 0.5, 0, true}));

// Real trees: the walk over the system lister.
class FileSearchTreeTest : public testing::Test {
 protected:
  Recorder recorder{platform::DirLister::system()};
  test::TempDir tree;
};

TEST_F(FileSearchTreeTest, PathEndsWithSeparatorAndLinksAreNotEntered) {
  if (!test::kSymlinksMade)
    GTEST_SKIP() << test::kNoSymlinks;
  tree.writeFile("data/a.txt", "x");
  tree.writeFile("outside/secret.txt", "x");
  ASSERT_EQ(test::makeSymlink(tree.path("outside"), tree.path("data/link")), 0);
  std::vector<uint32_t> attributes;
  recorder.search.setOnFileFound([&](const TFileInformations& found) {
    recorder.found_.push_back(found.Path + found.Name);
    attributes.push_back(found.Attributes);
  });

  EXPECT_TRUE(recorder.run(tree.path("data")));
  EXPECT_THAT(recorder.folders, ElementsAre(tree.path("data")));
  EXPECT_THAT(recorder.found_, ElementsAre(tree.path("data/a.txt"), tree.path("data/link")));
  EXPECT_THAT(attributes, ElementsAre(kAttrArchive, kAttrReparsePoint | kAttrDirectory));
}

TEST_F(FileSearchTreeTest, SparseFileBeyondFourGiBPassesTheSizeFilter) {
  const std::string big = tree.writeFile("big.bin");
  std::filesystem::resize_file(std::u8string(big.begin(), big.end()), 5 * kGiB);
  tree.writeFile("small.bin", "12345");
  recorder.search.setSizeFilter(true, sfkBiggerOrEqualTo, 4 * kGiB);
  recorder.run(tree.path());
  EXPECT_THAT(recorder.found_, ElementsAre(portable(tree.path("big.bin"))));
  EXPECT_THAT(recorder.sizes, ElementsAre(5 * kGiB));
}

#ifndef _WIN32
timespec localNoon(int year, int month, int day) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = 12;
  local.tm_isdst = -1;
  return {std::mktime(&local), 0};
}

#endif

TEST_F(FileSearchTreeTest, DateFilterReadsTheChosenTime) {
#ifdef _WIN32
  GTEST_SKIP() << "access and write times are set apart with utimensat only";
#else
  const std::string file = tree.writeFile("f.txt", "x");
  const timespec times[2] = {localNoon(2020, 5, 9), localNoon(2020, 3, 1)};  // access, write
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  const double march1 = platform::dateTimeFromDate(2020, 3, 1);
  const double may9 = platform::dateTimeFromDate(2020, 5, 9);

  const struct {
    TDateFilterAccessKind access;
    double day;
    bool found;
  } cases[] = {{dfakModifiedFiles, march1, true}, {dfakModifiedFiles, may9, false},
               {dfakOpenedFiles, may9, true},     {dfakOpenedFiles, march1, false},
               {dfakAnyFiles, march1, true},      {dfakAnyFiles, may9, true},
               {dfakAnyFiles, march1 + 1, false}};
  for (const auto& c : cases) {
    Recorder run(platform::DirLister::system());
    run.search.setDateFilter(true, c.access, dfkBetween, c.day + 0.75, c.day + 0.25);
    run.run(tree.path());
    EXPECT_EQ(run.found_.size(), c.found ? 1u : 0u) << c.access << " " << c.day;
  }
#endif
}

// Windows sleeps whole milliseconds: a shorter pause there only yields.
#ifdef _WIN32
constexpr std::chrono::microseconds kReaderHeadStart{1000};
#else
constexpr std::chrono::microseconds kReaderHeadStart{200};
#endif

// Listing folders ahead on a second thread changes nothing the walk reports, nor when: on random
// trees with folders that cannot be read, are not there, hold another file system or go during
// the walk, with invalid masks, filters, handlers that refuse and stops.
TEST(FileSearchTest, ListingAheadReportsWhatListingInTurnReports) {
  const std::vector<std::string> masks{"*.txt", "*.LOG", "?a*", "[ab]*", "*", "*.*", "~*", ".*", "[bad"};
  const std::vector<std::string> exclusions{"*.tmp", "[!]", "B*"};
  size_t reported = 0;
  int listedAhead = 0;
  for (uint32_t seed = 1; seed <= 80; ++seed) {
    std::mt19937 random(seed);
    auto pick = [&random](size_t count) {
      return std::uniform_int_distribution<size_t>(0, count - 1)(random);
    };
    std::vector<std::string> names{masks[pick(masks.size())]};
    while (pick(2) == 0)
      names.push_back(masks[pick(masks.size())]);
    const std::vector<std::string> excluded =
        pick(3) == 0 ? std::vector<std::string>{exclusions[pick(exclusions.size())]}
                     : std::vector<std::string>{};
    const TOptions options =
        pick(3) == 0 ? TOptions::fromBits(static_cast<uint32_t>(pick(64) * 2 + 1)) : kAllSearchOptions;
    const bool sizeOn = pick(4) == 0;
    const bool dateOn = pick(5) == 0;
    const size_t stopAfter = pick(4) == 0 ? pick(12) + 1 : 0;

    auto walk = [&](bool ahead) {
      test::RandomTreeLister lister(seed);
      std::vector<std::string> trace;
      std::stop_source stop;
      size_t reportedHere = 0;
      TFileSearch search;
      search.setLister(lister);
      search.setListAhead(ahead);
      search.setRootPath("r");
      search.setFileNames(names);
      search.setExcludedFiles(excluded);
      search.setOptions(options);
      search.setSizeFilter(sizeOn, sfkBiggerOrEqualTo, kGiB);
      const double march2 = platform::dateTimeFromDate(2020, 3, 2);
      search.setDateFilter(dateOn, dfakModifiedFiles, dfkSame, march2, march2);
      search.setAtUnlistedFolder(seed % 2 == 0 ? UnlistedFolder::Stop : UnlistedFolder::Skip);
      search.setStopToken(stop.get_token());
      search.setOnChangeFolder([&](const std::string& folder) {
        trace.push_back("change " + folder);
        lister.reached(folder);
        // Gives the reader time to get ahead, so that folders go after it listed them.
        if (ahead)
          std::this_thread::sleep_for(kReaderHeadStart);
      });
      search.setOnAcceptFile([&](const TFileInformations& found) {
        trace.push_back("accept " + found.Path + found.Name);
        return found.Name.size() % 5 != 0;
      });
      search.setOnFileFound([&](const TFileInformations& found) {
        trace.push_back("found " + found.Path + found.Name + " " + std::to_string(found.Attributes) + " " +
                        std::to_string(found.Size));
        if (++reportedHere == stopAfter)
          stop.request_stop();
      });
      search.setOnUnreadableFolder(
          [&](const std::string& folder) { trace.push_back("unreadable " + folder); });
      search.setOnStatistics([&](const TStatistics& stats) {
        trace.push_back("stats " + std::to_string(stats.FilesFound) + " " +
                        std::to_string(stats.FoldersWithFiles) + " " + std::to_string(stats.FoldersFound));
      });
      try {
        trace.push_back(search.Execute() ? "true" : "false");
      } catch (const EInvalidMask& error) {
        trace.push_back(error.what());
      }
      listedAhead += lister.listedElsewhere();
      return trace;
    };
    const std::vector<std::string> inTurn = walk(false);
    EXPECT_EQ(walk(true), inTurn) << "seed " << seed;
    reported += inTurn.size();
  }
  EXPECT_GT(reported, 1000u);
  // How far the reader gets depends on the scheduler (a loaded machine, Wine): only that it listed.
  EXPECT_GT(listedAhead, 0);
}

}  // namespace
}  // namespace qinglan
