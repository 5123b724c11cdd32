#include "search/KeptThread.h"

#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/WorkerThread.h"

namespace qinglan {

class KeptThread::Worker {
 public:
  Worker() {
    platform::startWorkerThread([this] { serve(); }).detach();
  }

  void start(std::function<void()> job) {
    const std::lock_guard lock(m_mutex);
    m_job = std::move(job);
    m_busy = true;
    m_changed.notify_all();
  }

  void waitForEnd() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
  }

 private:
  [[noreturn]] void serve() {
    std::unique_lock lock(m_mutex);
    for (;;) {
      m_changed.wait(lock, [this] { return m_busy; });
      std::function<void()> job = std::move(m_job);
      lock.unlock();
      job();
      job = nullptr;
      lock.lock();
      m_busy = false;
      m_changed.notify_all();
    }
  }

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::function<void()> m_job;
  bool m_busy = false;
};

namespace {

// The idle workers. Never destroyed: its threads outlive every static destructor.
struct Idle {
  std::mutex mutex;
  std::vector<KeptThread::Worker*> workers;
};

Idle& idle() {
  static Idle* const kept = new Idle;
  return *kept;
}

KeptThread::Worker* takeIdleWorker() {
  Idle& pool = idle();
  {
    const std::lock_guard lock(pool.mutex);
    if (!pool.workers.empty()) {
      KeptThread::Worker* worker = pool.workers.back();
      pool.workers.pop_back();
      return worker;
    }
  }
  return new KeptThread::Worker;
}

void keep(KeptThread::Worker* worker) {
  Idle& pool = idle();
  const std::lock_guard lock(pool.mutex);
  pool.workers.push_back(worker);
}

}  // namespace

KeptThread::KeptThread(std::function<void()> job) : m_worker(takeIdleWorker()) {
  m_worker->start(std::move(job));
}

KeptThread::~KeptThread() {
  if (joinable())
    join();
}

KeptThread::KeptThread(KeptThread&& other) noexcept : m_worker(std::exchange(other.m_worker, nullptr)) {}

KeptThread& KeptThread::operator=(KeptThread&& other) noexcept {
  if (this != &other) {
    if (joinable())
      join();
    m_worker = std::exchange(other.m_worker, nullptr);
  }
  return *this;
}

void KeptThread::join() {
  m_worker->waitForEnd();
  keep(std::exchange(m_worker, nullptr));
}

}  // namespace qinglan
