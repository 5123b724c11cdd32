#include "scan/RulesCheck.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qinglan {
namespace {

struct CheckCase {
  std::vector<ScanItem> items;
  std::vector<CacheRule> rules;
  std::vector<std::string> problems;  // "where: what", in order
  std::vector<InfoNote> notes = {};
};

class RulesCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(RulesCheckTest, ReportsEachFaultAtItsRow) {
  std::vector<std::string> found;
  for (const RuleProblem& problem : checkRules(GetParam().items, GetParam().rules, GetParam().notes))
    found.push_back(problem.where + ": " + problem.what);
  EXPECT_EQ(found, GetParam().problems);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RulesCheckTest,
    ::testing::Values(
        // Sound rows: case, a leading backslash and a mask of every name in a cache folder are fine.
        CheckCase{{{"1", "日志", "0", "Logs", "*.log\n*.dmp"}, {"2", "缓存", "0", "", "Crashes"}},
                  {{"\\Temp", "*.tmp", "临时"}, {"Player\\Cache", "*", "缓存"}, {"", "*.tmp", "根"}},
                  {}},
        CheckCase{{{"1", "坏", "0", "", "[abc"},
                   {"2", "上级", "0", "..\\x", "*.log"},
                   {"3", "绝对", "0", "\\x", "a"}},
                  {{"C:\\Temp", "*.tmp", ""}, {"\\..\\x", "*.tmp", ""}},
                  {"ccdb Id 1: mask '[abc' is invalid",
                   "ccdb Id 2: Folder '..\\x' climbs out of the content folder or is absolute",
                   "ccdb Id 3: Folder '\\x' climbs out of the content folder or is absolute",
                   "CacheClean row 1 (C:\\Temp): dir climbs out of the drive root or names another drive",
                   "CacheClean row 2 (\\..\\x): dir climbs out of the drive root or names another drive"}},
        CheckCase{{{"1", "程序", "0", "", "*.EXE"}},
                  {{"\\", "?*", ""},
                   {"users\\Me\\DOWNLOADS", "*.tmp", ""},
                   {"Video", "*.mp4", ""},
                   {".\\", "*?*?", ""}},
                  {"ccdb Id 1: mask '*.EXE' takes program files such as game.exe",
                   "CacheClean row 1 (\\): mask '?*' takes every name at the drive root",
                   "CacheClean row 2 (users\\Me\\DOWNLOADS): dir is a folder where people keep their files",
                   "CacheClean row 3 (Video): mask '*.mp4' takes files people keep such as movie.mp4",
                   "CacheClean row 4 (.\\): mask '*?*?' takes every name at the drive root"}},
        CheckCase{{{"1", "a", "0", "Logs", "*.log"}, {"1", "b", "0", "logs", "*.LOG"}},
                  {{"Temp", "*.tmp", ""}, {"\\TEMP", "*.Tmp", ""}, {"Temp", "*.tmp\n*.dat", ""}},
                  {"ccdb Id 1: repeats the Id of an earlier item",
                   "ccdb Id 1: repeats an earlier item's Folder and masks",
                   "CacheClean row 2 (\\TEMP): repeats an earlier rule's dir and masks"}},
        // A click shows the rule's note where it has one, else the first note on the name.
        CheckCase{
            {{"1", "临时", "0", "Temp", "*"},
             {"2", "临时", "0", "tmp", "*"},
             {"3", "数据", "0", "", "*.DAT\n*.log"},
             {"4", "缓存", "0", "Cache", "*"}},
            {{"NetTVCache", "*.dat", "播放缓存"}},
            {"ccdb Id 1: takes every name in its folder, and without a note on 'Temp' its findings show "
             "notes that say not to delete them, such as '.dat'",
             "ccdb Id 3: mask '*.DAT' takes 'x.dat', whose note says not to delete it",
             "ccdb Id 4: the note on 'Cache' says not to delete what the item takes"},
            {{".log", "日志", true},
             {".dat", "数据文件。请不要删除。", true},
             {".DAT", "可以删除", true},
             {"TMP", "临时文件夹，删除是安全的", false},
             {"cache", "缓存，请保留", false}}}));

}  // namespace
}  // namespace qinglan
