#include "search/KeptThread.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/WorkerThread.h"

namespace qinglan {

namespace {

// The idle workers of one process. Never destroyed: its threads outlive every static destructor.
struct Pool {
  std::mutex mutex;
  std::vector<KeptThread::Worker*> idle;
};

// A forked child has none of its parent's threads, and a lock one of them held at the fork stays
// held there for good: the child starts a pool of its own and never touches the parent's.
constinit std::atomic<Pool*> g_pool{nullptr};

Pool& pool() {
  Pool* current = g_pool.load(std::memory_order_acquire);
  if (current != nullptr)
    return *current;
  auto* made = new Pool;
  if (g_pool.compare_exchange_strong(current, made, std::memory_order_acq_rel))
    return *made;
  delete made;
  return *current;
}

void forgetParentsPool() {
  g_pool.store(nullptr, std::memory_order_relaxed);
}

[[maybe_unused]] const bool g_forgetsAtFork = (platform::whenForked(forgetParentsPool), true);

}  // namespace

class KeptThread::Worker {
 public:
  explicit Worker(Pool& pool) : m_pool(pool) {
    platform::startWorkerThread([this] { serve(); }).detach();
  }

  // Whether this worker's thread runs in this process: not in a child forked since it started.
  bool servesHere() const { return &m_pool == &pool(); }

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

  Pool& m_pool;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::function<void()> m_job;
  bool m_busy = false;
};

namespace {

KeptThread::Worker* takeIdleWorker() {
  Pool& current = pool();
  {
    const std::lock_guard lock(current.mutex);
    if (!current.idle.empty()) {
      KeptThread::Worker* worker = current.idle.back();
      current.idle.pop_back();
      return worker;
    }
  }
  return new KeptThread::Worker(current);
}

void keep(KeptThread::Worker* worker) {
  Pool& current = pool();
  const std::lock_guard lock(current.mutex);
  current.idle.push_back(worker);
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

// A job handed to a thread of the parent before a fork is not run in the child, nor waited for.
void KeptThread::join() {
  if (!m_worker->servesHere()) {
    m_worker = nullptr;
    return;
  }
  m_worker->waitForEnd();
  keep(std::exchange(m_worker, nullptr));
}

}  // namespace qinglan
