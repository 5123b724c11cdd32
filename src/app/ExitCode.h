#pragma once

namespace qinglan {

// The exit status of the programs, the same on every system.
enum class ExitCode : int {
  Success = 0,
  // A command failed, a page could not be fetched, a folder could not be read, an entry was kept.
  Failure = 1,
  // A mask, given or in a rule, is invalid.
  InvalidMask = 2,
  // The user stopped the command with the interrupt (Ctrl-C), as a shell reports 128 + SIGINT.
  Interrupted = 130,
};

constexpr int exitStatus(ExitCode code) {
  return static_cast<int>(code);
}

}  // namespace qinglan
