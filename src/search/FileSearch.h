#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "search/FileSearchTypes.h"

namespace qinglan {

namespace platform {
class DirLister;
}

// The walk behind TEasyFileSearch: breadth-first through a first-in first-out queue of folders,
// testing every entry of every folder listed and reporting the accepted ones. Owns copies of its
// settings and mask lists. A folder that cannot be listed ends the walk, or is left out when the
// walk is set to skip it, and Execute returns false; an invalid mask raises EInvalidMask out of
// Execute at the first entry that reaches it.
class TFileSearch {
 public:
  TFileSearch();

  void setOptions(TOptions options);
  void setDateFilter(bool on, TDateFilterAccessKind access, TDateFilterKind kind, double firstDate,
                     double secondDate);
  void setSizeFilter(bool on, TSizeFilterKind kind, int64_t limit);
  void setFileNames(std::vector<std::string> masks) { m_fileNames = std::move(masks); }
  void setExcludedFiles(std::vector<std::string> masks) { m_excludedFiles = std::move(masks); }
  void setAtUnlistedFolder(UnlistedFolder action) { m_atUnlistedFolder = action; }

  // The folder where the walk starts, given with or without a trailing separator; "./" at first.
  const std::string& rootPath() const { return m_rootPath; }
  void setRootPath(std::string rootPath) { m_rootPath = std::move(rootPath); }
  // The folder the root lies in that the walk may reach as given; the rest of the root's path is
  // reached without following links or leaving its file system. Empty: the root itself.
  void setRootBase(std::string base) { m_rootBase = std::move(base); }

  void setOnFileFound(TOnFileFound handler) { m_onFileFound = std::move(handler); }
  void setOnAcceptFile(TOnAcceptFile handler) { m_onAcceptFile = std::move(handler); }
  void setOnChangeFolder(TOnChangeFolder handler) { m_onChangeFolder = std::move(handler); }
  void setOnStatistics(TOnStatistics handler) { m_onStatistics = std::move(handler); }
  void setOnUnreadableFolder(TOnUnreadableFolder handler) { m_onUnreadableFolder = std::move(handler); }
  void setPump(TPump pump) { m_pump = std::move(pump); }
  void setStopToken(TStopToken stop) { m_stop = std::move(stop); }
  void setLister(platform::DirLister& lister) { m_lister = &lister; }
  // Whether folders are listed ahead on a second thread; by default as walkThreads() says.
  void setListAhead(bool on) { m_listAhead = on; }

  // Runs one complete search, or the part of it before a stop request. True when every folder the
  // walk reached could be listed; links and other file systems met beneath the root are left out
  // without counting against it.
  bool Execute();

 private:
  class Walk;

  bool m_includeSubfolder = true;
  bool m_lookForReadOnlyFile = true;
  bool m_lookForHiddenFile = true;
  bool m_lookForSystemFile = true;
  bool m_lookForDirectory = true;
  bool m_lookForArchiveFile = true;
  bool m_lookForAnyFile = true;

  bool m_dateFilterOn = false;
  TDateFilterAccessKind m_dateFilterAccess = dfakAnyFiles;
  TDateFilterKind m_dateFilterKind = dfkSame;
  double m_firstDate = 0;
  double m_secondDate = 0;

  bool m_sizeFilterOn = false;
  TSizeFilterKind m_sizeFilterKind = sfkSmallerOrEqualTo;
  int64_t m_sizeLimit = 0;

  std::vector<std::string> m_fileNames{"*.*"};
  std::vector<std::string> m_excludedFiles;
  UnlistedFolder m_atUnlistedFolder = UnlistedFolder::Stop;
  std::string m_rootPath;
  std::string m_rootBase;

  TOnFileFound m_onFileFound;
  TOnAcceptFile m_onAcceptFile;
  TOnChangeFolder m_onChangeFolder;
  TOnStatistics m_onStatistics;
  TOnUnreadableFolder m_onUnreadableFolder;
  TPump m_pump;
  TStopToken m_stop;
  platform::DirLister* m_lister;
  std::optional<bool> m_listAhead;
};

}  // namespace qinglan
