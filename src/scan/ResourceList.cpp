#include "scan/ResourceList.h"

#include <utility>

#include "platform/DirLister.h"
#include "platform/IniFile.h"
#include "platform/Path.h"
#include "scan/RuleRoot.h"
#include "search/EasyFileSearch.h"
#include "whitelist/Whitelist.h"

namespace qinglan {

namespace {

// Only the direct entries of the cache, folders included, every name with a dot excluded, so that
// exactly the undotted sub-folders are reported.
void presetResourceSearch(TEasyFileSearch& search) {
  search.SearchOptions = kAllSearchOptions.without(okIncludeSubfolder);
  search.FilterKind = {};
  search.ExcludedFiles = {"*.*"};
  search.FileNames = {"*.*"};
}

// A file of a resource folder as the program that wrote it reaches it: a cache copied from
// Windows may hold "resource.ini" or "iconcache". A name found nowhere, or found as a link, stays
// as written.
std::string fileBelow(const std::string& resourceFolder, std::string_view relative) {
  if (std::optional<std::string> found =
          CaselessResolver(platform::DirLister::system()).resolve(resourceFolder, relative))
    return *std::move(found);
  return platform::withTrailingSeparator(resourceFolder) + std::string(relative);
}

}  // namespace

std::string resourceIniFile(const std::string& resourceFolder) {
  return fileBelow(resourceFolder, "Resource.ini");
}

std::string resourceIconFile(const std::string& resourceFolder) {
  return fileBelow(resourceFolder, std::string("IconCache") + platform::kSeparator + "0.ico");
}

std::string readResourceName(const std::string& resourceFolder) {
  const platform::IniFile ini(resourceIniFile(resourceFolder));
  return ini.readString("Info", "ResourceName", kUnknownResourceName);
}

std::optional<InstalledResource> installedResourceFor(const TFileInformations& found,
                                                      const Whitelist& whitelist) {
  if ((found.Attributes & platform::kAttrDirectory) == 0)
    return std::nullopt;
  if (whitelist.hides(found.Name))
    return std::nullopt;
  std::string folder = found.Path + found.Name;
  std::string name = readResourceName(folder);
  std::string icon = resourceIconFile(folder);
  return InstalledResource{std::move(name), found.Name, std::move(folder), std::move(icon)};
}

void listInstalledResources(const std::string& cachePath, const Whitelist& whitelist,
                            const std::function<void(const InstalledResource&)>& sink, TPump pump) {
  TEasyFileSearch search;
  presetResourceSearch(search);
  search.setRootPath(cachePath);
  if (pump)
    search.setPump(std::move(pump));
  search.OnFileFound = [&](const TFileInformations& found) {
    if (std::optional<InstalledResource> resource = installedResourceFor(found, whitelist))
      sink(*resource);
  };
  search.Execute();
}

}  // namespace qinglan
