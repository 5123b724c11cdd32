#pragma once

#include <memory>
#include <stop_token>

namespace qinglan::platform {

// Turns the user's interrupt (Ctrl-C) into a stop request while it lives: the interrupt no longer
// ends the process, it asks the running work to stop, and the work ends at its next step. Made
// before any other thread starts, so that only its own watcher ever receives the interrupt; the
// process's earlier handling comes back when it goes. Threads started earlier through
// startWorkerThread never take the interrupt either.
class InterruptWatch {
 public:
  InterruptWatch();
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  std::stop_token token() const;
  bool interrupted() const { return token().stop_requested(); }

 private:
  struct Watcher;
  std::unique_ptr<Watcher> m_watcher;
};

}  // namespace qinglan::platform
