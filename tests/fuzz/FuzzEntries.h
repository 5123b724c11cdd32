#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The fuzz entries: each takes one input, runs it through a unit and aborts when the unit crashes,
// raises what it must not raise, or disagrees with a plain reference. The libFuzzer targets call
// them, and the regular tests replay every corpus file through them.
namespace qinglan::fuzz {

// The mask before the input's first NUL, tested against the name after it.
int fuzzMask(const uint8_t* data, size_t size);
// The input as an INI file: read, then written and read back.
int fuzzIniFile(const uint8_t* data, size_t size);
// The input as a page body: strict UTF-8 decoding and the lenient conversions.
int fuzzPageDecode(const uint8_t* data, size_t size);
// The input as a detail page: its title and release date, against a plain reference cut.
int fuzzUpdateCut(const uint8_t* data, size_t size);
// The input as a database file: every table of sqlite_master read in full, then the rule readers.
int fuzzSqliteTable(const uint8_t* data, size_t size);

struct FuzzTarget {
  std::string_view name;  // also the corpus folder's name
  int (*entry)(const uint8_t* data, size_t size);
};

inline constexpr FuzzTarget kFuzzTargets[] = {
    {"mask", fuzzMask},
    {"ini_file", fuzzIniFile},
    {"page_decode", fuzzPageDecode},
    {"update_cut", fuzzUpdateCut},
    {"sqlite_table", fuzzSqliteTable},
};

}  // namespace qinglan::fuzz
