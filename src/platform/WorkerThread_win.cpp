#include "platform/WorkerThread.h"

#include <utility>

namespace qinglan::platform {

// The console's interrupt comes to a handler on a thread of its own, so any thread will do.
std::thread startWorkerThread(std::function<void()> body) {
  return std::thread(std::move(body));
}

void whenForked(void (*)()) {}

}  // namespace qinglan::platform
