#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "app/ExitCode.h"
#include "cli/Commands.h"
#include "platform/Console.h"

#ifndef QINGLAN_VERSION
#define QINGLAN_VERSION "unknown"
#endif

int main(int argc, char** argv) {
  qinglan::platform::printToConsoleAsWritten();
  std::vector<std::string> arguments = qinglan::platform::commandLineArguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments)
    pointers.push_back(argument.c_str());
  CLI::App app{"晴岚清扫助手 command line: the cleaner's searches and scans without the window"};
  app.set_version_flag("--version", std::string("qinglan-cli ") + QINGLAN_VERSION);
  app.require_subcommand(1);
  qinglan::cli::addFindCommand(app);
  qinglan::cli::addRulesCommand(app);
  qinglan::cli::addNoteCommand(app);
  qinglan::cli::addScanCommand(app);
  qinglan::cli::addLargeCommand(app);
  qinglan::cli::addSoftwareCacheCommand(app);
  qinglan::cli::addCleanCommand(app);
  qinglan::cli::addCheckUpdatesCommand(app);
  qinglan::cli::addSilenceCommand(app);
  qinglan::cli::addHistoryCommand(app);
  qinglan::cli::addRestoreCommand(app);
  qinglan::cli::addPurgeCommand(app);
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::ParseError& error) {
    return app.exit(error);
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return qinglan::exitStatus(qinglan::ExitCode::Failure);
  }
  return qinglan::exitStatus(qinglan::ExitCode::Success);
}
