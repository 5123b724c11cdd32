#include "search/EasyFileSearch.h"

#include "platform/SystemTime.h"
#include "search/FileSearch.h"

namespace qinglan {

TEasyFileSearch::TEasyFileSearch()
    : DateFilterFirstDate(platform::today()),
      DateFilterSecondDate(platform::today()),
      m_engine(std::make_unique<TFileSearch>()) {
  // The relays read the events at call time, so handlers assigned later take effect.
  m_engine->setOnFileFound([this](const TFileInformations& found) {
    if (OnFileFound)
      OnFileFound(found);
  });
  m_engine->setOnAcceptFile(
      [this](const TFileInformations& found) { return !OnAcceptFile || OnAcceptFile(found); });
  m_engine->setOnChangeFolder([this](const std::string& newPath) {
    if (OnChangeFolder)
      OnChangeFolder(newPath);
  });
  m_engine->setOnStatistics([this](const TStatistics& stats) {
    if (OnStatistics)
      OnStatistics(stats);
  });
  m_engine->setOnUnreadableFolder([this](const std::string& folder) {
    if (OnUnreadableFolder)
      OnUnreadableFolder(folder);
  });
}

TEasyFileSearch::~TEasyFileSearch() = default;

std::string TEasyFileSearch::RootPath() const {
  return m_engine->rootPath();
}

void TEasyFileSearch::setRootPath(std::string rootPath) {
  m_engine->setRootPath(std::move(rootPath));
}

void TEasyFileSearch::setRootBase(std::string base) {
  m_engine->setRootBase(std::move(base));
}

void TEasyFileSearch::setPump(TPump pump) {
  m_engine->setPump(std::move(pump));
}

void TEasyFileSearch::setStopToken(TStopToken stop) {
  m_engine->setStopToken(std::move(stop));
}

void TEasyFileSearch::setLister(platform::DirLister& lister) {
  m_engine->setLister(lister);
}

bool TEasyFileSearch::Execute() {
  m_engine->setOptions(SearchOptions);
  m_engine->setDateFilter(FilterKind.contains(fkFilterOnDate), DateFilterFileAccess, DateFilterKind,
                          DateFilterFirstDate, DateFilterSecondDate);
  m_engine->setSizeFilter(FilterKind.contains(fkFilterOnSize), SizeFilterKind, SizeFilterSize);
  m_engine->setExcludedFiles(ExcludedFiles);
  m_engine->setFileNames(FileNames);
  m_engine->setAtUnlistedFolder(AtUnlistedFolder);
  return m_engine->Execute();
}

}  // namespace qinglan
