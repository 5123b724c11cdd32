#include "search/MultiRuleSearch.h"

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/DirLister.h"
#include "platform/Path.h"
#include "search/EasyFileSearch.h"
#include "search/Mask.h"
#include "support/RandomTreeLister.h"
#include "support/Symlink.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

// Lists through the system but refuses the folders named; the walks stop at them or skip them.
class RefusingLister final : public platform::DirLister {
 public:
  std::set<std::string> refused;  // with trailing separators
  UnlistedFolder atUnlisted = UnlistedFolder::Stop;

  std::unique_ptr<platform::DirListing> list(const std::string& folder) override {
    if (refused.contains(folder))
      return nullptr;
    return platform::DirLister::system().list(folder);
  }
};

struct Outcome {
  std::vector<std::string> found;  // path, name and size of each entry
  std::vector<std::string> unreadable;
  std::string error;

  friend bool operator==(const Outcome&, const Outcome&) = default;
};

std::string describe(const TFileInformations& found) {
  return found.Path + found.Name + " " + std::to_string(found.Size);
}

Outcome searchAlone(RefusingLister& lister, const std::string& root, const std::vector<std::string>& masks) {
  Outcome outcome;
  TEasyFileSearch search;
  search.setLister(lister);
  search.setRootPath(root);
  search.FileNames = masks;
  search.AtUnlistedFolder = lister.atUnlisted;
  search.OnFileFound = [&](const TFileInformations& found) { outcome.found.push_back(describe(found)); };
  search.OnUnreadableFolder = [&](const std::string& folder) { outcome.unreadable.push_back(folder); };
  try {
    search.Execute();
  } catch (const EInvalidMask& error) {
    outcome.error = error.what();
  }
  return outcome;
}

struct Ask {
  std::string root;
  std::vector<std::string> masks;
};

// Every request up to the first that raises gets what its own search gives; the ones after it
// are abandoned or complete.
void expectSameAsSeparateSearches(RefusingLister& lister, const std::vector<Ask>& asks) {
  MultiRuleSearch multi(lister);
  multi.setAtUnlistedFolder(lister.atUnlisted);
  std::vector<MultiRuleSearch::Request> requests;
  for (const Ask& ask : asks)
    requests.push_back({ask.root, multi.addMaskList(ask.masks)});
  const std::vector<MultiRuleSearch::Result> results = multi.search(requests);
  ASSERT_EQ(results.size(), asks.size());

  bool pastError = false;
  for (size_t i = 0; i < asks.size(); ++i) {
    SCOPED_TRACE("request " + std::to_string(i) + " at " + asks[i].root);
    Outcome outcome;
    for (const TFileInformations& found : results[i].found)
      outcome.found.push_back(describe(found));
    outcome.unreadable = results[i].unreadable;
    if (results[i].error) {
      try {
        std::rethrow_exception(results[i].error);
      } catch (const EInvalidMask& error) {
        outcome.error = error.what();
      }
    }
    if (pastError && results[i].abandoned)
      continue;
    EXPECT_FALSE(results[i].abandoned);
    EXPECT_EQ(outcome, searchAlone(lister, asks[i].root, asks[i].masks));
    pastError = pastError || !outcome.error.empty();
  }
}

// Every case runs with the walks stopping at a folder they cannot list and with them going on.
class MultiRuleSearchTest : public ::testing::TestWithParam<UnlistedFolder> {
 protected:
  void SetUp() override {
    if (!test::kSymlinksMade)
      GTEST_SKIP() << test::kNoSymlinks;
    m_lister.atUnlisted = GetParam();
    m_dir.writeFile("root/a.log", "a");
    m_dir.writeFile("root/b.tmp", "bb");
    m_dir.writeFile("root/c.dat", "ccc");
    m_dir.writeFile("root/Readme", "r");
    m_dir.writeFile("root/other/q.log", "q");
    m_dir.writeFile("root/other/r.TMP", "r");
    m_dir.writeFile("root/sub/x.log", "x");
    m_dir.writeFile("root/sub/y.tmp", "y");
    m_dir.writeFile("root/sub/deep/z.log", "z");
    m_dir.writeFile("root/sub/deep/w.dat", "w");
    m_dir.writeFile("root/sub.d/v.log", "v");
    std::filesystem::create_directory_symlink(m_dir.path("root/sub"), m_dir.path("root/link"));
  }

  std::string path(const std::string& relative) const { return m_dir.path(relative); }

  test::TempDir m_dir;
  RefusingLister m_lister;
};

TEST_P(MultiRuleSearchTest, SharedAndNestedRootsGiveWhatSeparateSearchesGive) {
  expectSameAsSeparateSearches(m_lister, {
                                             {path("root"), {"*.log"}},
                                             {path("root/sub"), {"*.tmp"}},
                                             {path("root"), {"*.tmp", "*.log"}},
                                             {path("root/sub/deep"), {"*.*"}},
                                             {path("root/sub"), {"*.log"}},
                                             {path("root"), {"*"}},
                                             // Names are told apart by their last character first.
                                             {path("root"), {"*.TMP", "README", "*.d", "?"}},
                                         });
}

TEST_P(MultiRuleSearchTest, ANestedRootBehindALinkOrSpelledDifferentlyIsSearchedOnItsOwn) {
  expectSameAsSeparateSearches(m_lister, {
                                             {path("root"), {"*.log"}},
                                             {path("root/link"), {"*.log"}},
                                             {path("root/link/deep"), {"*.dat"}},
                                             {path("root/./sub"), {"*.tmp"}},
                                             {path("root/sub/"), {"*.tmp"}},
                                             {path("root/missing"), {"*"}},
                                         });
}

TEST_P(MultiRuleSearchTest, AListingFailureOutsideANestedRootDoesNotCutItShort) {
  // The outer walk stops at sub.d after listing sub but before sub/deep.
  m_lister.refused.insert(path("root/sub.d/"));
  expectSameAsSeparateSearches(m_lister, {
                                             {path("root"), {"*.log"}},
                                             {path("root/sub"), {"*.log"}},
                                         });
}

TEST_P(MultiRuleSearchTest, AListingFailureInsideANestedRootEndsBothAlike) {
  m_lister.refused.insert(path("root/sub/deep/"));
  expectSameAsSeparateSearches(m_lister, {
                                             {path("root"), {"*.dat"}},
                                             {path("root/sub"), {"*"}},
                                         });
  // A nested root that cannot be listed, and one below a folder that cannot.
  m_lister.refused.insert({path("root/other/"), path("root/sub/")});
  expectSameAsSeparateSearches(m_lister, {{path("root"), {"*"}},
                                          {path("root/sub"), {"*.log"}},
                                          {path("root/sub/deep"), {"*.log"}},
                                          {path("root/sub/deep"), {"*.dat"}}});
}

TEST_P(MultiRuleSearchTest, AnInvalidMaskEndsItsOwnRequestAtTheSameEntry) {
  // A folder the walk cannot list after a request raised is none of that request's.
  m_lister.refused.insert(path("root/sub/"));
  expectSameAsSeparateSearches(m_lister, {
                                             {path("root"), {"*.log"}},
                                             {path("root"), {"*.tmp", "[abc"}},
                                             {path("root/sub"), {"*.log"}},
                                         });
  // "*.*" lets folders pass only after the masks before and after it were tried.
  expectSameAsSeparateSearches(m_lister, {
                                             {path("root/sub"), {"*.log"}},
                                             {path("root"), {"*.*", "[x"}},
                                         });
}

TEST_P(MultiRuleSearchTest, RequestsAfterOneThatRaisedAreAbandoned) {
  MultiRuleSearch multi(m_lister);
  const size_t invalid = multi.addMaskList({"[abc"});
  const size_t logs = multi.addMaskList({"*.log"});
  m_dir.writeFile("elsewhere/e.log");
  const auto results = multi.search({{path("root"), invalid}, {path("elsewhere"), logs}});
  ASSERT_TRUE(results[0].error);
  EXPECT_TRUE(results[0].found.empty());
  EXPECT_TRUE(results[1].abandoned);
}

TEST_P(MultiRuleSearchTest, AnEntryTwoListsAcceptIsReportedToBoth) {
  MultiRuleSearch multi(m_lister);
  const size_t first = multi.addMaskList({"a.*"});
  const size_t second = multi.addMaskList({"*.LOG"});
  const auto results = multi.search({{path("root/"), first}, {path("root/"), second}});
  ASSERT_EQ(results[0].found.size(), 1u);
  EXPECT_EQ(results[0].found[0].Name, "a.log");
  EXPECT_EQ(results[0].found[0].Path, path("root/"));
  EXPECT_EQ(results[1].found.size(), 5u);  // a, other/q, sub/x, sub.d/v, sub/deep/z
}

INSTANTIATE_TEST_SUITE_P(BothWays, MultiRuleSearchTest,
                         ::testing::Values(UnlistedFolder::Stop, UnlistedFolder::Skip), [](const auto& info) {
                           return info.param == UnlistedFolder::Stop ? "Stop" : "Skip";
                         });

}  // namespace
}  // namespace qinglan

namespace qinglan {
namespace {

// Listing folders ahead on a second thread gives every request what listing in turn gives, on
// random trees with folders that cannot be read, are not there or hold another file system.
TEST(MultiRuleSearchListAheadTest, GivesWhatListingInTurnGives) {
  const std::vector<std::string> masks{"*.txt", "*.LOG", "?a*", "[ab]*", "*.*", "~*", "[bad"};
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    std::mt19937 random(seed);
    auto pick = [&random](size_t count) {
      return std::uniform_int_distribution<size_t>(0, count - 1)(random);
    };
    const std::vector<std::string> folders = test::RandomTreeLister(seed).folders();
    std::vector<std::vector<std::string>> lists(3);
    for (auto& list : lists) {
      list.push_back(masks[pick(masks.size())]);
      if (pick(2) == 0)
        list.push_back(masks[pick(masks.size())]);
    }
    std::vector<MultiRuleSearch::Request> requests{{"r", 0}};
    for (size_t more = pick(4); more > 0; --more)
      requests.push_back({folders[pick(folders.size())], pick(lists.size())});

    auto run = [&](bool ahead) {
      test::RandomTreeLister lister(seed);
      MultiRuleSearch multi(lister);
      multi.setListAhead(ahead);
      multi.setAtUnlistedFolder(seed % 2 == 0 ? UnlistedFolder::Stop : UnlistedFolder::Skip);
      for (const auto& list : lists)
        multi.addMaskList(list);
      std::vector<std::string> outcome;
      for (const MultiRuleSearch::Result& result : multi.search(requests)) {
        for (const TFileInformations& found : result.found)
          outcome.push_back(describe(found));
        outcome.insert(outcome.end(), result.unreadable.begin(), result.unreadable.end());
        outcome.push_back(std::to_string(result.error != nullptr) + std::to_string(result.abandoned));
      }
      return outcome;
    };
    EXPECT_EQ(run(true), run(false)) << "seed " << seed;
  }
}

// A stop ends the walk under way at the next entry: the requests walked before it keep what they
// found, the one under way and those not begun are stopped.
TEST(MultiRuleSearchStopTest, KeepsWhatWasFoundAndStopsTheRest) {
  test::TempDir dir;
  for (const char* name : {"a/1.log", "a/2.log", "b/3.log", "c/4.log"})
    dir.writeFile(name, "x");
  std::stop_source stop;
  // Asks for the stop as the walk of b lists its root, before any of its entries is tested.
  class StoppingLister final : public platform::DirLister {
   public:
    StoppingLister(std::stop_source& stop, std::string at) : m_stop(stop), m_at(std::move(at)) {}
    std::unique_ptr<platform::DirListing> list(const std::string& folder) override {
      if (folder == m_at)
        m_stop.request_stop();
      return platform::DirLister::system().list(folder);
    }

   private:
    std::stop_source& m_stop;
    std::string m_at;
  } lister(stop, platform::withTrailingSeparator(dir.path("b")));
  MultiRuleSearch multi(lister);
  multi.setStopToken(stop.get_token());
  const size_t logs = multi.addMaskList({"*.log"});
  const auto results = multi.search({{dir.path("a"), logs}, {dir.path("b"), logs}, {dir.path("c"), logs}});
  ASSERT_EQ(results.size(), 3u);
  EXPECT_FALSE(results[0].stopped);
  EXPECT_EQ(results[0].found.size(), 2u);
  for (size_t i : {1, 2}) {
    EXPECT_TRUE(results[i].stopped);
    EXPECT_TRUE(results[i].found.empty());
  }
}

}  // namespace
}  // namespace qinglan
