#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "app/AppPaths.h"
#include "cli/Commands.h"
#include "web/UpdateCheck.h"
#include "whitelist/Whitelist.h"

namespace qinglan::cli {

namespace {

struct SilenceOptions {
  std::string resourceId;
  std::string version;
  std::string appDir;
};

void runSilence(const SilenceOptions& options) {
  const std::string whiteListFile = startUpPaths(options.appDir).whiteListFile;
  silenceVersion(whiteListFile, options.resourceId, options.version);
  std::cout << "No reminder for " << options.resourceId << " at version "
            << (options.version.empty() ? "(any)" : options.version) << " (" << whiteListFile << ")\n";
}

}  // namespace

void addSilenceCommand(CLI::App& app) {
  auto options = std::make_shared<SilenceOptions>();
  CLI::App* command = app.add_subcommand(
      "silence",
      "Stop offering a resource's version in the update check, as \"该版本不再提醒\" does. An empty VERSION "
      "silences every version.");
  command->add_option("RESOURCE_ID", options->resourceId, "The resource's ID")->required();
  command->add_option("VERSION", options->version, "The latest version text the check listed")->required();
  command->add_option("--app-dir", options->appDir, "The folder holding wb.lst (default: the program's)");
  command->callback([options] { runSilence(*options); });
}

}  // namespace qinglan::cli
