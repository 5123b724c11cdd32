#include "cli/ThreadsOption.h"

#include "search/ListAhead.h"

namespace qinglan::cli {

void addThreadsOption(CLI::App& command) {
  command
      .add_option_function<unsigned>(
          "--threads", [](unsigned threads) { setWalkThreads(threads); },
          "Threads a walk uses: 1 lists every folder in turn, 2 or more list the next folders ahead "
          "(default: 2 on a machine with more than one core)")
      ->check(CLI::Range(1u, 1024u));
}

}  // namespace qinglan::cli
