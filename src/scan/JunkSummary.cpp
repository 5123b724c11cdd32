#include "scan/JunkSummary.h"

#include <algorithm>
#include <unordered_map>

#include "scan/FindingDetails.h"
#include "scan/Findings.h"
#include "scan/ResourceList.h"
#include "scan/ResultsRow.h"

namespace qinglan {

namespace {

// Groups in order of first appearance, keyed by id.
class Grouping {
 public:
  JunkGroup& groupFor(const std::string& id, bool& created) {
    const auto [found, inserted] = m_index.try_emplace(id, m_groups.size());
    created = inserted;
    if (inserted)
      m_groups.push_back({id, {}, 0, 0, {}});
    return m_groups[found->second];
  }

  std::vector<JunkGroup> largestFirst() && {
    std::stable_sort(m_groups.begin(), m_groups.end(),
                     [](const JunkGroup& a, const JunkGroup& b) { return a.size > b.size; });
    return std::move(m_groups);
  }

 private:
  std::unordered_map<std::string, size_t> m_index;
  std::vector<JunkGroup> m_groups;
};

void add(JunkGroup& group, const Findings& findings, size_t index) {
  ++group.rows;
  group.size += findings.isFolder(index) ? 0 : findings.size(index);
  group.rowIndexes.push_back(index);
}

}  // namespace

JunkSummary summarizeJunk(const std::string& cloudCachePath, const Findings& findings) {
  Grouping resources;
  Grouping scanItems;
  // Rows of one folder come together, so the last location's resource is usually the next one's.
  std::string_view lastLocation;
  ResourceFolder lastResource;
  for (size_t i = 0; i < findings.count(); ++i) {
    const std::string_view location = findings.text(i, ResultsColumn::Location);
    if (i == 0 || location != lastLocation) {
      lastLocation = location;
      lastResource = resourceFolderOf(cloudCachePath, std::string(location));
    }
    bool created = false;
    JunkGroup& resource = resources.groupFor(std::string(lastResource.id()), created);
    if (created) {
      resource.name = lastResource.folder.empty() ? std::string(kUnknownResourceName)
                                                  : readResourceName(lastResource.folder);
    }
    add(resource, findings, i);
    const std::string scanItem(findings.scanItem(i));
    JunkGroup& item = scanItems.groupFor(scanItem, created);
    if (created)
      item.name = scanItem.empty() ? std::string(kUnknownResourceName) : scanItem;
    add(item, findings, i);
  }
  return {std::move(resources).largestFirst(), std::move(scanItems).largestFirst()};
}

struct ResourceTally::Groups {
  Grouping grouping;
  std::string lastLocation;
  JunkGroup* last = nullptr;
};

ResourceTally::ResourceTally(std::string cloudCachePath)
    : m_cloudCachePath(std::move(cloudCachePath)), m_groups(std::make_unique<Groups>()) {}

ResourceTally::~ResourceTally() = default;

void ResourceTally::add(const ResultsRow& row) {
  Groups& groups = *m_groups;
  // Rows of one folder come together, so the last location's group is usually the next one's.
  if (groups.last == nullptr || row.location != groups.lastLocation) {
    groups.lastLocation = row.location;
    const ResourceFolder resource = resourceFolderOf(m_cloudCachePath, row.location);
    bool created = false;
    groups.last = &groups.grouping.groupFor(std::string(resource.id()), created);
    if (created) {
      groups.last->name =
          resource.folder.empty() ? std::string(kUnknownResourceName) : readResourceName(resource.folder);
    }
  }
  ++groups.last->rows;
  groups.last->size += row.isFolder ? 0 : row.size;
}

std::vector<JunkGroup> ResourceTally::largestFirst() const {
  return Grouping(m_groups->grouping).largestFirst();
}

std::vector<JunkGroup> largestWithOthers(const std::vector<JunkGroup>& groups, size_t keep) {
  if (groups.size() <= keep)
    return groups;
  std::vector<JunkGroup> kept(groups.begin(), groups.begin() + static_cast<std::ptrdiff_t>(keep));
  JunkGroup others{{}, std::string(kOtherGroupName), 0, 0, {}};
  for (auto group = groups.begin() + static_cast<std::ptrdiff_t>(keep); group != groups.end(); ++group) {
    others.rows += group->rows;
    others.size += group->size;
    others.rowIndexes.insert(others.rowIndexes.end(), group->rowIndexes.begin(), group->rowIndexes.end());
  }
  std::sort(others.rowIndexes.begin(), others.rowIndexes.end());
  kept.push_back(std::move(others));
  return kept;
}

}  // namespace qinglan
