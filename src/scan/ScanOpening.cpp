#include "scan/ScanOpening.h"

#include <string>

#include "platform/DirLister.h"
#include "rules/RulesReader.h"
#include "search/EasyFileSearch.h"

namespace qinglan {

std::unique_ptr<TSQLiteDatabase> openScanRules(const ScanSettings& settings) {
  return openRulesDatabase(settings.dbFileName);
}

platform::DirLister& scanLister(platform::DirLister* lister) {
  return lister ? *lister : platform::DirLister::system();
}

void prepareScanSearch(TEasyFileSearch& search, ScanSession& session, platform::DirLister& lister) {
  search.setLister(lister);
  search.setPump([&session] { session.pump(); });
  search.OnUnreadableFolder = [&session](const std::string& folder) { session.unreadable().insert(folder); };
}

TStopToken beginScan(ScanSession& session, std::string_view progressText,
                     const std::function<void()>& setUpBar) {
  ScanFront& front = session.front();
  session.progress().setText(std::string(progressText));
  front.setSummary(std::string(kScanningText));
  session.begin();
  setUpBar();
  front.setFindingOrigin({});
  front.setFindingNote({});
  front.pump();
  return session.stopToken();
}

}  // namespace qinglan
