#pragma once

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include <fcntl.h>
#include <signal.h>
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

// A `sleep` holding the file open as its standard input, as a running program holds a file it
// uses, until the object goes. Ready once the child runs `sleep`, so /proc shows the file open.
class HeldOpen {
 public:
  explicit HeldOpen(const std::string& file) : m_pid(::fork()) {
    if (m_pid == 0) {
      const int fd = ::open(file.c_str(), O_RDONLY);
      if (fd < 0 || ::dup2(fd, 0) < 0)
        ::_exit(127);
      ::execlp("sleep", "sleep", "60", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    for (int tries = 0; tries < 500 && !running("sleep"); ++tries)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ~HeldOpen() {
    if (m_pid <= 0)
      return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
  }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;

  pid_t pid() const { return m_pid; }

 private:
  bool running(const std::string& program) const {
    std::ifstream comm("/proc/" + std::to_string(m_pid) + "/comm");
    std::string name;
    return std::getline(comm, name) && name == program;
  }

  pid_t m_pid;
};

}  // namespace qinglan::test
