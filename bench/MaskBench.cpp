#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "search/Mask.h"

namespace qinglan {
namespace {

const std::vector<std::string> kNames = {
    "install.log",  "Setup.TMP",     "readme.txt",  "cache_0001.dat", "~$report.doc",
    "THUMBS.DB",    "libfoo.so.1",   "bravo_7.DAT", "core.dmp",       "trace.etl",
    "FILE0042.CHK", "resources.pak", "日志.log",    "\xff\xfe.bak",   "a-very-long-name-without-any-dot"};

const std::vector<std::string> kMasks = {"*.log",      "*.tmp", "*.bak", "*.old", "*.dmp",
                                         "[a-c]*.dat", "*.etl", "~*",    "*.chk", "thumbs.db"};

void BM_TenMasksPerName(benchmark::State& state) {
  const MaskList masks(kMasks);
  for (auto _ : state) {
    for (const std::string& name : kNames)
      benchmark::DoNotOptimize(masks.anyMatches(MaskSubject(name)));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kNames.size()));
}
BENCHMARK(BM_TenMasksPerName);

void BM_Compile(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(MaskList(kMasks));
}
BENCHMARK(BM_Compile);

// a*a*…*b against a long run of "a": a backtracking matcher takes exponential time here.
void BM_ManyStarsAgainstLongName(benchmark::State& state) {
  std::string text;
  for (int i = 0; i < state.range(0); ++i)
    text += "a*";
  const Mask mask(text + "b");
  const std::string name(255, 'a');
  for (auto _ : state)
    benchmark::DoNotOptimize(mask.matches(name));
}
BENCHMARK(BM_ManyStarsAgainstLongName)->Arg(5)->Arg(15)->Arg(29)->Arg(30);

// The same over a 255-byte name that is not ASCII, which takes the character-by-character path.
void BM_ManyStarsAgainstLongUtf8Name(benchmark::State& state) {
  std::string text;
  for (int i = 0; i < 30; ++i)
    text += "\xC3\xA9*";
  const Mask mask(text + "b");
  std::string name;
  while (name.size() + 2 <= 255)
    name += "\xC3\xA9";
  name += "a";
  for (auto _ : state)
    benchmark::DoNotOptimize(mask.matches(name));
}
BENCHMARK(BM_ManyStarsAgainstLongUtf8Name);

void BM_InnerSegmentSearch(benchmark::State& state) {
  const Mask mask("*aaaaaaaab*aaaaaaaac*");
  const std::string name(std::string(200, 'a') + "b" + std::string(54, 'a'));
  for (auto _ : state)
    benchmark::DoNotOptimize(mask.matches(name));
}
BENCHMARK(BM_InnerSegmentSearch);

void BM_Utf8Name(benchmark::State& state) {
  const Mask mask("*?文件*.log");
  const std::string name = "这是一个很长的中文文件名称用于测试匹配速度.log";
  for (auto _ : state)
    benchmark::DoNotOptimize(mask.matches(name));
}
BENCHMARK(BM_Utf8Name);

}  // namespace
}  // namespace qinglan
