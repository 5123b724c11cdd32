#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "search/FileSearchTypes.h"

namespace qinglan {

namespace platform {
class DirLister;
}
class Mask;

// One walk of a folder tree for several name-mask lists at once, each set up like the basic scan's
// search (subfolders entered, every entry looked for, no filter, no exclusion). Every list gets
// exactly what a search of its own over the same root reports, in the same order, and an invalid
// mask ends its list alone, at the entry where that list's own search would have raised. Masks
// shared by several lists are tested once per entry.
class MultiRuleSearch {
 public:
  MultiRuleSearch();
  explicit MultiRuleSearch(platform::DirLister& lister);
  ~MultiRuleSearch();
  MultiRuleSearch(const MultiRuleSearch&) = delete;
  MultiRuleSearch& operator=(const MultiRuleSearch&) = delete;

  // Registers a list of masks, tried in order as a search's name list; returns its number.
  size_t addMaskList(const std::vector<std::string>& masks);

  void setPump(TPump pump) { m_pump = std::move(pump); }

  struct ListResult {
    std::vector<TFileInformations> found;  // in walk order
    // The list's invalid-mask error; the list was tested on nothing after the entry that raised it.
    std::exception_ptr error;
  };
  struct RunResult {
    std::vector<ListResult> lists;  // in the order of the lists asked for
    bool complete = true;           // false when a folder could not be listed, which ends the walk
  };

  // Walks the root once, testing each entry against the given lists (numbers from addMaskList).
  RunResult run(const std::string& root, const std::vector<size_t>& lists);

 private:
  class Walk;

  struct MaskListEntry {
    std::vector<uint32_t> masks;  // indices into m_masks, in list order
    bool hasInvalid = false;
    bool everyFolderNamed = false;  // "*.*" anywhere in the list lets every folder pass
  };

  platform::DirLister* m_lister;
  TPump m_pump;
  std::vector<std::unique_ptr<Mask>> m_masks;
  std::unordered_map<std::string, uint32_t> m_maskIndex;
  std::vector<MaskListEntry> m_lists;
};

}  // namespace qinglan
