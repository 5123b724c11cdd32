#pragma once

#include <functional>

namespace qinglan {

// Runs a job on a thread kept from one job to the next: a scan makes a walk, and so a reader job,
// for every content folder, and starting a thread for each costs more than a small walk takes.
// A new thread is started only while every kept one is busy; kept threads live until the process
// ends, idle. A forked child starts threads of its own: those of its parent are not there.
class KeptThread {
 public:
  KeptThread() = default;
  // Starts `job` at once on a thread of its own.
  explicit KeptThread(std::function<void()> job);
  ~KeptThread();
  KeptThread(KeptThread&& other) noexcept;
  KeptThread& operator=(KeptThread&& other) noexcept;

  bool joinable() const { return m_worker != nullptr; }
  // Waits for the job's end; the thread is then free for another job.
  void join();

  class Worker;

 private:
  Worker* m_worker = nullptr;
};

}  // namespace qinglan
