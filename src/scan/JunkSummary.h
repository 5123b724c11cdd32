#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qinglan {

class Findings;
struct ResultsRow;

inline constexpr std::string_view kOtherGroupName = "其他";

// The findings of one program, or of one scan item: how many rows, how many bytes (folders count
// nothing, as in the total) and which rows, by index into the rows summed.
struct JunkGroup {
  std::string id;    // the resource ID, or the scan item's name; empty for findings of neither
  std::string name;  // the resource's name ("未知" without one), or the scan item's name
  size_t rows = 0;
  int64_t size = 0;
  std::vector<size_t> rowIndexes;
};

// Where the junk is: the rows summed per resource (found from each row's location) and per scan
// item, each list largest first, groups of equal size in the order their first row came.
struct JunkSummary {
  std::vector<JunkGroup> resources;
  std::vector<JunkGroup> scanItems;
};

JunkSummary summarizeJunk(const std::string& cloudCachePath, const Findings& findings);

// The rows summed per resource as they come, without keeping them or their indexes: what
// summarizeJunk gives as its resources, for rows printed and forgotten one by one.
class ResourceTally {
 public:
  explicit ResourceTally(std::string cloudCachePath);
  ~ResourceTally();
  ResourceTally(const ResourceTally&) = delete;
  ResourceTally& operator=(const ResourceTally&) = delete;

  void add(const ResultsRow& row);
  std::vector<JunkGroup> largestFirst() const;

 private:
  struct Groups;
  std::string m_cloudCachePath;
  std::unique_ptr<Groups> m_groups;
};

// The largest `keep` groups and, when there are more, one "其他" group holding the rest.
std::vector<JunkGroup> largestWithOthers(const std::vector<JunkGroup>& groups, size_t keep);

}  // namespace qinglan
