#pragma once

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace qinglan::test {

// Runs `body` in a child process and returns its exit code (-1 when it did not exit), so a test
// can lower limits or change mounts without touching the test runner itself.
inline int exitCodeInChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0)
    ::_exit(body());
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
    return -1;
  return WEXITSTATUS(status);
}

}  // namespace qinglan::test
