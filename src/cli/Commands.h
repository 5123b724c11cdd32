#pragma once

#include <CLI/CLI.hpp>

#include "app/ExitCode.h"

namespace qinglan::cli {

// Ends the running command with the exit code.
[[noreturn]] inline void exitWith(ExitCode code) {
  throw CLI::RuntimeError(exitStatus(code));
}

// Each subcommand registers itself on the application; the callback it sets runs the command
// and throws CLI::RuntimeError with the exit code on failure.
void addFindCommand(CLI::App& app);
void addRulesCommand(CLI::App& app);
void addNoteCommand(CLI::App& app);
void addScanCommand(CLI::App& app);
void addLargeCommand(CLI::App& app);
void addSoftwareCacheCommand(CLI::App& app);
void addCleanCommand(CLI::App& app);
void addCheckUpdatesCommand(CLI::App& app);
void addSilenceCommand(CLI::App& app);
void addHistoryCommand(CLI::App& app);
void addRestoreCommand(CLI::App& app);
void addPurgeCommand(CLI::App& app);

}  // namespace qinglan::cli
