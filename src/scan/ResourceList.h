#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "search/FileSearchTypes.h"

namespace qinglan {

class Whitelist;

// The caption of a resource whose Resource.ini gives no name; such rows are drawn in red.
inline constexpr std::string_view kUnknownResourceName = "未知";

// One row of the installed resource list.
struct InstalledResource {
  std::string name;      // ResourceName of Resource.ini, "未知" when missing
  std::string id;        // the resource folder's name
  std::string folder;    // the resource folder's full path, without a trailing separator
  std::string iconFile;  // IconCache/0.ico inside the folder; it need not exist

  friend bool operator==(const InstalledResource&, const InstalledResource&) = default;
};

// Resource.ini and IconCache/0.ico of a resource folder, each name matched without regard to ASCII
// case as the rule folders are; a name matching nothing is given as written.
std::string resourceIniFile(const std::string& resourceFolder);
std::string resourceIconFile(const std::string& resourceFolder);

// Section Info, key ResourceName of the folder's Resource.ini; "未知" when the file or the key is
// missing, while a key present with an empty value gives empty text.
std::string readResourceName(const std::string& resourceFolder);

// What the listing makes of one entry its search reported: a row for a resource folder that the
// whitelist does not hide, nothing for a file or a hidden resource.
std::optional<InstalledResource> installedResourceFor(const TFileInformations& found,
                                                      const Whitelist& whitelist);

// Lists the resources of a cache directory in listing order: its undotted sub-folders the whitelist
// does not hide. The pump runs as the search's.
void listInstalledResources(const std::string& cachePath, const Whitelist& whitelist,
                            const std::function<void(const InstalledResource&)>& sink, TPump pump = {});

}  // namespace qinglan
