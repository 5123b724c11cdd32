#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "search/FileSearchTypes.h"
#include "search/Mask.h"  // EInvalidMask, raised by Execute

namespace qinglan {

namespace platform {
class DirLister;
}
class TFileSearch;

// The file search component: holds the settings of a search and, at each Execute, copies them
// into its engine, which walks the tree breadth-first and reports accepted entries through the
// events. An invalid mask raises EInvalidMask out of Execute.
class TEasyFileSearch {
 public:
  static constexpr std::string_view kVersion = "TEasyFileSearch v1.02";

  TEasyFileSearch();
  ~TEasyFileSearch();
  TEasyFileSearch(const TEasyFileSearch&) = delete;
  TEasyFileSearch& operator=(const TEasyFileSearch&) = delete;

  std::string Version() const { return std::string(kVersion); }
  void setVersion(std::string_view) {}  // accepted and ignored

  TOptions SearchOptions = kAllSearchOptions;
  TFilter FilterKind;
  TDateFilterAccessKind DateFilterFileAccess = dfakAnyFiles;
  TDateFilterKind DateFilterKind = dfkSame;
  double DateFilterFirstDate;   // today at construction
  double DateFilterSecondDate;  // today at construction
  TSizeFilterKind SizeFilterKind = sfkSmallerOrEqualTo;
  int64_t SizeFilterSize = 0;
  std::vector<std::string> ExcludedFiles;
  std::vector<std::string> FileNames{"*.*"};
  UnlistedFolder AtUnlistedFolder = UnlistedFolder::Stop;

  TOnFileFound OnFileFound;
  TOnAcceptFile OnAcceptFile;
  TOnChangeFolder OnChangeFolder;
  TOnStatistics OnStatistics;
  TOnUnreadableFolder OnUnreadableFolder;

  // The root is held by the engine; it starts as "." + separator.
  std::string RootPath() const;
  void setRootPath(std::string rootPath);
  // The folder the root lies in that the walk may reach as given (see TFileSearch::setRootBase).
  void setRootBase(std::string base);

  void setPump(TPump pump);
  // Ends the walk before the next entry once a stop is requested (see TStopToken).
  void setStopToken(TStopToken stop);
  // Lists folders through another lister (tests inject failures with one).
  void setLister(platform::DirLister& lister);

  // Runs one complete search. False when a folder the walk reached could not be listed; the walk
  // ends there, or with AtUnlistedFolder Skip goes on without it.
  bool Execute();

 private:
  std::unique_ptr<TFileSearch> m_engine;
};

}  // namespace qinglan
