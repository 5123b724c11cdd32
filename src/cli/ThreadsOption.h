#pragma once

#include <CLI/CLI.hpp>

namespace qinglan::cli {

// Adds --threads N to a command that walks folder trees: 1 lists every folder on the walking
// thread, 2 or more let a second thread list the queued folders ahead. The default follows the
// machine's cores.
void addThreadsOption(CLI::App& command);

}  // namespace qinglan::cli
