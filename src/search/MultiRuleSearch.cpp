#include "search/MultiRuleSearch.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/DirLister.h"
#include "platform/Path.h"
#include "search/FolderWalk.h"
#include "search/ListAhead.h"
#include "search/Mask.h"

namespace qinglan {

namespace {

// True when the walk of `outer` reaches `inner` by entering folders and lists it under the same
// text: `inner` is `outer`, a separator and one or more plain folder names.
bool isInside(const std::string& inner, const std::string& outer) {
  if (outer.empty() || !inner.starts_with(outer))
    return false;
  // The part of `inner` after `outer` and the separator that joins them.
  std::string_view rest = std::string_view(inner).substr(outer.size());
  if (!platform::endsWithSeparator(outer)) {
    if (rest.empty() || rest.front() != platform::kSeparator)
      return false;
    rest.remove_prefix(1);
  }
  if (rest.empty())
    return false;
  size_t start = 0;
  for (;;) {
    const size_t end = rest.find(platform::kSeparator, start);
    const std::string_view name = rest.substr(start, end == std::string_view::npos ? end : end - start);
    if (name.empty() || name == "." || name == "..")
      return false;
    if (end == std::string_view::npos)
      return true;
    start = end + 1;
  }
}

// The requests from `first` on that were not abandoned: the walk under way and those not begun.
void markStopped(std::vector<MultiRuleSearch::Result>& results, size_t first) {
  for (size_t j = first; j < results.size(); ++j)
    results[j].stopped = !results[j].abandoned;
}

}  // namespace

// One request in a walk: the folder whose tree it searches, and whether the walk listed that
// folder (a nested folder behind a link, or beyond a listing failure, is never listed).
struct MultiRuleSearch::Scope {
  size_t request = 0;
  size_t list = 0;
  std::string path;  // with a trailing separator
  bool listed = false;
};

// One walk: the requests still being tested, and the per-entry memory of the masks already tested
// on the current entry.
class MultiRuleSearch::Walk {
 public:
  Walk(const MultiRuleSearch& search, std::vector<Scope>& scopes, std::vector<Result>& results)
      : m_search(search),
        m_scopes(scopes),
        m_results(results),
        m_live(scopes.size(), true),
        m_liveCount(scopes.size()),
        m_accepting(scopes.size(), false),
        m_testedAt(search.m_masks.size(), 0),
        m_matched(search.m_masks.size(), false),
        m_inPlay(search.m_maskTable.none()),
        m_matchedSet(search.m_maskTable.none()) {}

  // False when a folder could not be listed and the walk ended there.
  bool run(const std::string& root) {
    const FolderWalkSettings settings{root,
                                      m_search.m_rootBase,
                                      *m_search.m_lister,
                                      m_search.m_listAhead.value_or(walkThreads() > 1),
                                      true,
                                      m_search.m_atUnlistedFolder,
                                      m_search.m_stop,
                                      m_search.m_pump};
    return walkFolders(settings, *this);
  }

  // The hooks of the folder loop (see walkFolders).
  bool goOn() const { return m_liveCount > 0; }
  void opened(std::shared_ptr<const platform::ScanRoot> origin) { m_origin = std::move(origin); }
  void changeFolder(const std::string&) {}
  void unlisted(const std::string& path, bool unreadable) {
    if (unreadable)
      reportUnreadable(path);
  }
  bool test(platform::DirListing& listing, const platform::DirEntry& entry, const std::string& path, bool) {
    testEntry(listing, entry, path);
    return m_liveCount > 0;
  }

  // The requests whose tree holds this folder, and the masks of their lists that cannot raise.
  void enterFolder(const std::string& path) {
    m_inScope.clear();
    std::fill(m_inPlay.begin(), m_inPlay.end(), 0);
    m_orderedInScope = false;
    m_everyFolderInScope = false;
    for (size_t i = 0; i < m_scopes.size(); ++i) {
      if (path == m_scopes[i].path)
        m_scopes[i].listed = true;
      if (!path.starts_with(m_scopes[i].path))
        continue;
      m_inScope.push_back(i);
      const MaskListEntry& list = m_search.m_lists[m_scopes[i].list];
      m_orderedInScope = m_orderedInScope || list.hasInvalid;
      m_everyFolderInScope = m_everyFolderInScope || list.everyFolderNamed;
      if (!list.hasInvalid)
        unite(m_inPlay, list.bits);
    }
  }

  // Marks the entries some request whose tree holds the folder accepts, for a listing read ahead;
  // not where a list that may raise is in play. Runs beside the walk, so it keeps its own sets.
  bool judge(const std::string& path, const std::vector<platform::DirEntry>& entries,
             std::vector<char>& marks) const {
    std::vector<const MaskListEntry*> lists;
    MaskBits inPlay = m_search.m_maskTable.none();
    for (const Scope& scope : m_scopes) {
      if (!path.starts_with(scope.path))
        continue;
      const MaskListEntry& list = m_search.m_lists[scope.list];
      if (list.hasInvalid)
        return false;
      lists.push_back(&list);
      unite(inPlay, list.bits);
    }
    const bool everyFolder = std::any_of(lists.begin(), lists.end(),
                                         [](const MaskListEntry* list) { return list->everyFolderNamed; });
    MaskBits matched = m_search.m_maskTable.none();
    for (size_t i = 0; i < entries.size(); ++i) {
      const MaskSubject subject(entries[i].name);
      const bool folder = entries[i].isFolder();
      if (!matchInPlay(subject, inPlay, matched) && !(folder && everyFolder))
        continue;
      marks[i] = std::any_of(lists.begin(), lists.end(), [&](const MaskListEntry* list) {
        return (folder && list->everyFolderNamed) || intersects(list->bits, matched);
      });
    }
    return true;
  }

 private:
  // To every request still searching whose tree holds the folder.
  void reportUnreadable(const std::string& path) {
    for (size_t i = 0; i < m_scopes.size(); ++i) {
      if (m_live[i] && path.starts_with(m_scopes[i].path))
        m_results[m_scopes[i].request].unreadable.push_back(path);
    }
  }

  void testEntry(platform::DirListing& listing, const platform::DirEntry& entry, const std::string& path) {
    const MaskSubject subject(entry.name);
    const bool folder = entry.isFolder();
    ++m_generation;
    // Most names match no mask: then only a list that may raise, or the folder rule, can matter.
    if (!matchInPlay(subject, m_inPlay, m_matchedSet) && !m_orderedInScope &&
        !(folder && m_everyFolderInScope))
      return;
    bool anyAccepted = false;
    for (const size_t i : m_inScope) {
      m_accepting[i] = m_live[i] && listAccepts(i, subject, folder) ? 1 : 0;
      anyAccepted = anyAccepted || m_accepting[i];
    }
    if (!anyAccepted)
      return;
    const std::optional<platform::EntryDetails> details = listing.details(entry);
    if (!details)
      return;  // gone since the folder was listed
    const TFileInformations found{entry.name,
                                  path,
                                  details->attributes,
                                  details->size,
                                  details->creationTime,
                                  details->lastAccessTime,
                                  details->lastWriteTime,
                                  {m_origin, details->id}};
    for (const size_t i : m_inScope) {
      if (m_accepting[i])
        m_results[m_scopes[i].request].found.push_back(found);
    }
  }

  // The name test of one list: its masks in order up to the first match, then the folder rule.
  // An invalid mask reached on the way ends the request with its error.
  bool listAccepts(size_t i, const MaskSubject& subject, bool folder) {
    const MaskListEntry& list = m_search.m_lists[m_scopes[i].list];
    if (!list.hasInvalid)
      return (folder && list.everyFolderNamed) || intersects(list.bits, m_matchedSet);
    try {
      for (const uint32_t mask : list.masks) {
        if (maskMatches(mask, subject))
          return true;
      }
    } catch (const EInvalidMask&) {
      m_results[m_scopes[i].request].error = std::current_exception();
      m_live[i] = false;
      --m_liveCount;
      return false;
    }
    return folder && list.everyFolderNamed;
  }

  // The masks in play that match the name; false when none does. Only masks that cannot raise are
  // ever in play.
  bool matchInPlay(const MaskSubject& subject, const MaskBits& inPlay, MaskBits& matched) const {
    std::fill(matched.begin(), matched.end(), 0);
    bool any = false;
    m_search.m_maskTable.anyCandidate(subject.name, &inPlay, [&](size_t mask) {
      if (m_search.m_masks[mask]->matches(subject)) {
        setBit(matched, mask);
        any = true;
      }
      return false;
    });
    return any;
  }

  bool maskMatches(uint32_t mask, const MaskSubject& subject) {
    if (m_testedAt[mask] != m_generation) {
      m_matched[mask] = m_search.m_masks[mask]->matches(subject);
      m_testedAt[mask] = m_generation;
    }
    return m_matched[mask] != 0;
  }

  const MultiRuleSearch& m_search;
  std::vector<Scope>& m_scopes;
  std::vector<Result>& m_results;
  // Bytes rather than bits: these are read for every entry and every request.
  std::vector<char> m_live;
  size_t m_liveCount;
  std::vector<char> m_accepting;
  std::vector<size_t> m_inScope;
  // The entry generation at which each mask was last tested, and what it gave.
  std::vector<uint64_t> m_testedAt;
  std::vector<char> m_matched;
  // The masks of the lists in play at the current folder that cannot raise, and those of them the
  // current entry matches.
  MaskBits m_inPlay;
  MaskBits m_matchedSet;
  bool m_orderedInScope = false;      // some list in play may raise: it is tested in order
  bool m_everyFolderInScope = false;  // some list in play lets every folder pass
  uint64_t m_generation = 0;
  std::shared_ptr<const platform::ScanRoot> m_origin;
};

MultiRuleSearch::MultiRuleSearch() : MultiRuleSearch(platform::DirLister::system()) {}

MultiRuleSearch::MultiRuleSearch(platform::DirLister& lister) : m_lister(&lister) {}

MultiRuleSearch::~MultiRuleSearch() = default;

size_t MultiRuleSearch::addMaskList(const std::vector<std::string>& masks) {
  MaskListEntry list;
  for (const std::string& text : masks) {
    auto [it, added] = m_maskIndex.try_emplace(text, static_cast<uint32_t>(m_masks.size()));
    if (added)
      m_masks.push_back(std::make_unique<Mask>(text));
    list.masks.push_back(it->second);
    list.hasInvalid = list.hasInvalid || !m_masks[it->second]->valid();
    list.everyFolderNamed = list.everyFolderNamed || text == kAllNamesMask;
  }
  m_lists.push_back(std::move(list));
  return m_lists.size() - 1;
}

void MultiRuleSearch::prepareMaskTable() {
  if (m_preparedLists == m_lists.size())
    return;  // no list registered since: neither the masks nor the lists changed
  m_preparedLists = m_lists.size();
  std::vector<const Mask*> masks;
  for (const auto& mask : m_masks)
    masks.push_back(mask.get());
  m_maskTable = MaskTable(masks);
  for (MaskListEntry& list : m_lists) {
    list.bits = m_maskTable.none();
    for (const uint32_t mask : list.masks)
      setBit(list.bits, mask);
  }
}

std::vector<MultiRuleSearch::Result> MultiRuleSearch::search(const std::vector<Request>& requests) {
  prepareMaskTable();
  const size_t count = requests.size();
  // Each request goes to the walk of the first outermost root that holds it.
  std::vector<size_t> walkOf(count);
  for (size_t j = 0; j < count; ++j) {
    walkOf[j] = j;
    for (size_t i = 0; i < count; ++i) {
      const bool outermost = std::none_of(requests.begin(), requests.end(), [&](const Request& other) {
        return isInside(requests[i].root, other.root);
      });
      if (outermost &&
          (requests[i].root == requests[j].root || isInside(requests[j].root, requests[i].root))) {
        walkOf[j] = i;
        break;
      }
    }
  }

  std::vector<Result> results(count);
  std::vector<bool> walked(count, false);
  size_t firstError = count;
  for (size_t first = 0; first < count; ++first) {
    const size_t w = walkOf[first];
    if (walked[w])
      continue;
    walked[w] = true;
    std::vector<size_t> members;
    for (size_t j = first; j < count; ++j) {
      if (walkOf[j] != w)
        continue;
      if (j < firstError) {
        members.push_back(j);
      } else {
        results[j].abandoned = true;
      }
    }
    if (members.empty())
      continue;

    const std::string& root = requests[w].root;
    std::vector<Scope> scopes;
    for (const size_t j : members)
      scopes.push_back({j, requests[j].list, platform::withTrailingSeparator(requests[j].root)});
    const bool complete = Walk(*this, scopes, results).run(root);
    if (m_stop.stop_requested()) {
      markStopped(results, first);
      return results;
    }

    // A nested root the walk did not list to its end is searched on its own after all.
    std::vector<Request> again;
    std::vector<size_t> againIndex;
    for (const Scope& scope : scopes) {
      const bool nested = requests[scope.request].root != root;
      if (nested && (!complete || !scope.listed)) {
        results[scope.request] = {};
        again.push_back(requests[scope.request]);
        againIndex.push_back(scope.request);
      }
    }
    if (!again.empty()) {
      std::vector<Result> redone = search(again);
      for (size_t k = 0; k < again.size(); ++k)
        results[againIndex[k]] = std::move(redone[k]);
    }
    for (const size_t j : members) {
      if (results[j].error)
        firstError = std::min(firstError, j);
    }
  }
  return results;
}

}  // namespace qinglan
