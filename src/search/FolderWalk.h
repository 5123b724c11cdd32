#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DirLister.h"
#include "platform/Path.h"
#include "search/FileSearchTypes.h"
#include "search/ListAhead.h"
#include "search/PumpThrottle.h"

namespace qinglan {

// What every breadth-first walk of a tree is given; held by reference for the walk.
struct FolderWalkSettings {
  const std::string& root;      // with or without a trailing separator; empty names no folder
  const std::string& rootBase;  // see TFileSearch::setRootBase
  platform::DirLister& lister;
  bool listAhead = false;
  bool includeSubfolder = true;
  UnlistedFolder atUnlistedFolder = UnlistedFolder::Stop;
  const TStopToken& stop;
  const TPump& pump;
};

// The folder loop of a walk, once for every search: the root opened through the lister, a
// first-in first-out queue of folders listed ahead when it may, the stop tested before every entry
// and the pump called when due. What a search makes of it comes through the hooks, called at
// compile time so that the loop over the entries costs no indirect call:
//   bool judge(path, entries, marks) const  marks the entries worth testing, for a listing read
//                                           ahead beside the walk (see ListAhead::Judge)
//   bool goOn() const                       false ends the walk before the next folder
//   void opened(origin)                     the root was opened; its findings carry this origin
//   void changeFolder(folder)               the walk turns to a folder, as queued
//   void unlisted(path, unreadable)         a folder that could not be listed
//   void enterFolder(path)                  a listed folder's entries come next
//   bool test(listing, entry, path, judged) an entry the judge marked (judged) or that no judge saw;
//                                           false ends the folder
// True unless a folder that could not be listed ended the walk.
template <typename Hooks>
bool walkFolders(const FolderWalkSettings& settings, Hooks& hooks) {
  PumpThrottle pump(settings.pump);
  std::unique_ptr<platform::WalkRoot> root;
  ListAhead queue(settings.listAhead,
                  [&hooks](const std::string& path, const std::vector<platform::DirEntry>& entries,
                           std::vector<char>& marks) { return hooks.judge(path, entries, marks); });
  std::string folder = settings.root;
  for (bool first = true; hooks.goOn() && !settings.stop.stop_requested(); first = false) {
    pump.pumpWhenDue();
    if (!first) {
      if (queue.empty())
        break;
      folder = queue.front();
    }
    hooks.changeFolder(folder);
    const std::string path = platform::withTrailingSeparator(folder);
    ListAhead::Taken taken;
    if (!first) {
      taken = queue.takeFront(path);
    } else if (!folder.empty()) {
      // An empty root would name the file system's root: it is a folder that cannot be listed.
      root = settings.lister.openRoot(settings.rootBase, folder);
      if (root) {
        std::shared_ptr<const platform::ScanRoot> origin = root->scanRoot();
        const size_t rootLength = origin->path.size();
        hooks.opened(std::move(origin));
        taken.listed = root->list(std::string_view(path).substr(rootLength), path);
        queue.start(*root, rootLength);
      }
    }
    if (taken.listed.leftOut)
      continue;
    const auto& listing = taken.listed.listing;
    if (!listing) {
      hooks.unlisted(path, taken.listed.unreadable);
      if (settings.atUnlistedFolder == UnlistedFolder::Stop)
        return false;
      continue;
    }
    hooks.enterFolder(path);
    const std::vector<platform::DirEntry>& entries = listing->entries();
    for (size_t i = 0; i < entries.size(); ++i) {
      const platform::DirEntry& entry = entries[i];
      pump.pumpWhenDue();
      if (settings.stop.stop_requested())
        break;
      if (settings.includeSubfolder && entry.isEnterableFolder())
        queue.push(path + entry.name);
      if (taken.marks && !(*taken.marks)[i])
        continue;
      if (!hooks.test(*listing, entry, path, taken.marks != nullptr))
        break;
    }
  }
  return true;
}

}  // namespace qinglan
