#pragma once

#include <string>
#include <vector>

#include "rules/RulesReader.h"

namespace qinglan {

// One fault of a rules database: where it is ("ccdb Id 7", "CacheClean row 3 (Temp)") and what.
struct RuleProblem {
  std::string where;
  std::string what;
};

// Reviews the rows a rules database would put to work, before they reach anyone's disk: invalid
// masks; folders that climb out or name an absolute place; a mask of every name at a drive root;
// masks that take programs' own files; cache rules at a user's folders (Downloads, Documents…) or
// with masks that take videos, music or documents; rows that repeat an earlier one; scan items
// that take files whose note, as a click shows it, says not to delete them. Empty when every row
// is sound.
std::vector<RuleProblem> checkRules(const std::vector<ScanItem>& items, const std::vector<CacheRule>& rules,
                                    const std::vector<InfoNote>& notes = {});

}  // namespace qinglan
