#include "search/MultiRuleSearch.h"

#include <chrono>
#include <deque>
#include <optional>

#include "platform/DirLister.h"
#include "platform/Path.h"
#include "search/Mask.h"

namespace qinglan {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPumpInterval = std::chrono::milliseconds(15);
constexpr std::string_view kAllNamesMask = "*.*";

}  // namespace

// One run: the lists still being tested, what each found, and the per-entry memory of the masks
// already tested on the current entry.
class MultiRuleSearch::Walk {
 public:
  Walk(const MultiRuleSearch& search, const std::vector<size_t>& lists)
      : m_search(search),
        m_lists(lists),
        m_live(lists.size(), true),
        m_liveCount(lists.size()),
        m_accepting(lists.size(), false),
        m_testedAt(search.m_masks.size(), 0),
        m_matched(search.m_masks.size(), false),
        m_lastPump(Clock::now()) {
    m_result.lists.resize(lists.size());
  }

  RunResult run(const std::string& root) {
    std::deque<std::string> queue;
    std::string folder = root;
    for (bool first = true; m_liveCount > 0; first = false) {
      pumpWhenDue();
      if (!first) {
        if (queue.empty())
          break;
        folder = std::move(queue.front());
        queue.pop_front();
      }
      const std::string path = platform::withTrailingSeparator(folder);
      const auto listing = folder.empty() ? nullptr : m_search.m_lister->list(path);
      if (!listing) {
        m_result.complete = false;
        break;
      }
      for (const platform::DirEntry& entry : listing->entries()) {
        pumpWhenDue();
        if (entry.isEnterableFolder())
          queue.push_back(path + entry.name);
        testEntry(*listing, entry, path);
        if (m_liveCount == 0)
          break;
      }
    }
    return std::move(m_result);
  }

 private:
  void pumpWhenDue() {
    if (!m_search.m_pump)
      return;
    const auto now = Clock::now();
    if (now - m_lastPump < kPumpInterval)
      return;
    m_lastPump = now;
    m_search.m_pump();
  }

  void testEntry(platform::DirListing& listing, const platform::DirEntry& entry, const std::string& path) {
    const MaskSubject subject(entry.name);
    const bool folder = entry.isFolder();
    ++m_generation;
    bool anyAccepted = false;
    for (size_t i = 0; i < m_lists.size(); ++i) {
      m_accepting[i] = m_live[i] && listAccepts(i, subject, folder);
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
                                  details->lastWriteTime};
    for (size_t i = 0; i < m_lists.size(); ++i) {
      if (m_accepting[i])
        m_result.lists[i].found.push_back(found);
    }
  }

  // The name test of one list: its masks in order up to the first match, then the folder rule.
  // An invalid mask reached on the way ends the list with its error.
  bool listAccepts(size_t i, const MaskSubject& subject, bool folder) {
    const MaskListEntry& list = m_search.m_lists[m_lists[i]];
    if (folder && list.everyFolderNamed && !list.hasInvalid)
      return true;
    try {
      for (const uint32_t mask : list.masks) {
        if (maskMatches(mask, subject))
          return true;
      }
    } catch (const EInvalidMask&) {
      m_result.lists[i].error = std::current_exception();
      m_live[i] = false;
      --m_liveCount;
      return false;
    }
    return folder && list.everyFolderNamed;
  }

  bool maskMatches(uint32_t mask, const MaskSubject& subject) {
    if (m_testedAt[mask] != m_generation) {
      m_matched[mask] = m_search.m_masks[mask]->matches(subject);
      m_testedAt[mask] = m_generation;
    }
    return m_matched[mask];
  }

  const MultiRuleSearch& m_search;
  const std::vector<size_t>& m_lists;
  std::vector<bool> m_live;
  size_t m_liveCount;
  std::vector<bool> m_accepting;
  // The entry generation at which each mask was last tested, and what it gave.
  std::vector<uint64_t> m_testedAt;
  std::vector<bool> m_matched;
  uint64_t m_generation = 0;
  Clock::time_point m_lastPump;
  RunResult m_result;
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

MultiRuleSearch::RunResult MultiRuleSearch::run(const std::string& root, const std::vector<size_t>& lists) {
  return Walk(*this, lists).run(root);
}

}  // namespace qinglan
