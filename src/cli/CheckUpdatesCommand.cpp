#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "app/AppPaths.h"
#include "cli/Commands.h"
#include "cli/PrintableName.h"
#include "cli/ScanCommandSupport.h"
#include "scan/CloudCachePath.h"
#include "scan/ResourceList.h"
#include "web/PageFetcher.h"
#include "web/SiteHosts.h"
#include "web/UpdateCheck.h"
#include "whitelist/Whitelist.h"

namespace qinglan::cli {

namespace {

struct CheckUpdatesOptions {
  std::string cache;
  std::string appDir;
  bool json = false;
};

// Prints each row as the update list would show it, then the count.
class PrintingSink : public UpdateSink {
 public:
  explicit PrintingSink(bool json) : m_json(json) {}

  void clearRows() override {}
  void setStatus(const std::string&) override {}

  void addRow(const UpdateRow& row) override {
    if (m_json) {
      const nlohmann::ordered_json line{{"name", row.name},
                                        {"latest_version", row.latestVersion},
                                        {"date", row.date},
                                        {"resource_id", row.resourceId}};
      std::cout << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
    } else {
      // The name comes from the resource's own folder, the version and date from a fetched page.
      std::string name, version, date, id;
      std::cout << printableInText(row.name, name) << '\t' << withControlsEscaped(row.latestVersion, version)
                << '\t' << withControlsEscaped(row.date, date) << '\t' << printableInText(row.resourceId, id)
                << std::endl;
    }
  }

  void printCount(std::size_t count) const {
    if (m_json) {
      std::cout << nlohmann::ordered_json{{"count", count}}.dump() << '\n';
    } else {
      std::cout << updateCountStatus(count) << '\n';
    }
  }

 private:
  bool m_json;
};

std::vector<ListedResource> listResources(const std::string& cachePath, const Whitelist& whitelist) {
  std::vector<ListedResource> resources;
  listInstalledResources(cachePath, whitelist, [&resources](const InstalledResource& resource) {
    resources.push_back({resource.name, resource.id, 0});
  });
  return resources;
}

void runCheckUpdates(const CheckUpdatesOptions& options) {
  const std::string cachePath = options.cache.empty() ? findCacheSayingWhatWasSkipped() : options.cache;
  if (cachePath.empty())
    throw std::runtime_error("No CloudCache directory found; pass --cache DIR");
  const Whitelist whitelist(startUpPaths(options.appDir).whiteListFile);

  const UpdateCheckInput input{listResources(cachePath, whitelist), cachePath, whitelist.fileName(),
                               updateSiteHost()};
  PageFetcher http;
  PrintingSink sink(options.json);
  sink.printCount(checkForUpdates(input, http, sink));
}

}  // namespace

void addCheckUpdatesCommand(CLI::App& app) {
  auto options = std::make_shared<CheckUpdatesOptions>();
  CLI::App* command = app.add_subcommand(
      "check-updates",
      "Check the update site for newer versions of the installed resources and print the resources to "
      "update: name, latest version, date, resource ID. The site's host comes from QINGLAN_UPDATE_HOST. "
      "Exits 1 when a page cannot be fetched, after the rows found so far.");
  command->add_option("--cache", options->cache, "The CloudCache directory (default: found on the volumes)");
  command->add_option("--app-dir", options->appDir, "The folder holding wb.lst (default: the program's)");
  command->add_flag("--json", options->json, "One JSON object per row, then {\"count\":N}");
  command->callback([options] {
    if (!pageFetcherAvailable())
      throw std::runtime_error("check-updates is not available on this platform");
    runCheckUpdates(*options);
  });
}

}  // namespace qinglan::cli
