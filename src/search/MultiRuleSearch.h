#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "search/FileSearchTypes.h"
#include "search/MaskTable.h"

namespace qinglan {

namespace platform {
class DirLister;
}
class Mask;

// Searches several roots with several name-mask lists in as few walks as it can, each search set
// up like the basic scan's (subfolders entered, every entry looked for, no filter, no exclusion).
// Every request gets exactly what a search of its own would report, in the same order, and an
// invalid mask ends its request alone, at the entry where its own search would have raised.
// Requests with the same root share one walk; a root inside another one's tree is served by the
// outer walk when that walk reaches it through real folders and runs to its end, else walked on
// its own. Masks shared by several lists are tested once per entry. A folder that cannot be listed
// ends the walks, or with UnlistedFolder::Skip is left out as a search of its own would leave it.
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
  // Ends the walks before the next entry once a stop is requested (see TStopToken).
  void setStopToken(TStopToken stop) { m_stop = std::move(stop); }
  void setAtUnlistedFolder(UnlistedFolder action) { m_atUnlistedFolder = action; }
  // The folder every root lies in that the walks may reach as given (see TFileSearch::setRootBase).
  void setRootBase(std::string base) { m_rootBase = std::move(base); }
  // Whether folders are listed ahead on a second thread; by default as walkThreads() says.
  void setListAhead(bool on) { m_listAhead = on; }

  struct Request {
    std::string root;
    size_t list = 0;  // a number from addMaskList
  };
  struct Result {
    std::vector<TFileInformations> found;  // in walk order
    // The folders of its tree that stand there but could not be read, in walk order, each ending
    // with the separator: those its own search would report up to where it ended.
    std::vector<std::string> unreadable;
    // The request's invalid-mask error; nothing after the entry that raised it was tested.
    std::exception_ptr error;
    // Not searched to its end because an earlier request raised.
    bool abandoned = false;
    // Not searched to its end because a stop was requested; found holds what came before it.
    bool stopped = false;
  };

  // Runs the requests, given in the order their results are used: once one raises, the ones
  // after it are of no further use and are abandoned.
  std::vector<Result> search(const std::vector<Request>& requests);

 private:
  class Walk;
  struct Scope;

  struct MaskListEntry {
    std::vector<uint32_t> masks;  // indices into m_masks, in list order
    MaskBits bits;                // the same masks as a set, made when a search starts
    bool hasInvalid = false;
    bool everyFolderNamed = false;  // "*.*" anywhere in the list lets every folder pass
  };

  platform::DirLister* m_lister;
  TPump m_pump;
  TStopToken m_stop;
  UnlistedFolder m_atUnlistedFolder = UnlistedFolder::Stop;
  std::string m_rootBase;
  std::optional<bool> m_listAhead;
  // Makes the mask table and the lists' sets for the masks registered so far.
  void prepareMaskTable();

  std::vector<std::unique_ptr<Mask>> m_masks;
  MaskTable m_maskTable;
  size_t m_preparedLists = 0;  // how many lists the table and the sets were made for
  std::unordered_map<std::string, uint32_t> m_maskIndex;
  std::vector<MaskListEntry> m_lists;
};

}  // namespace qinglan
