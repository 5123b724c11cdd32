#include "platform/Interrupt.h"

#include <mutex>

#include <windows.h>

namespace qinglan::platform {

namespace {

// The watched stop, shared with the console's handler thread. The handler requests the stop on a
// copy taken under the lock, so a watch that ends meanwhile never leaves it a freed object.
std::mutex g_watchedMutex;
std::stop_source g_watched{std::nostopstate};

// The console runs its control handlers on a thread of its own, so the stop is requested in
// ordinary code. Ctrl-C and Ctrl-Break ask for the stop; the rest keep their default handling.
BOOL WINAPI onControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
    return FALSE;
  std::stop_source stop{std::nostopstate};
  {
    const std::lock_guard lock(g_watchedMutex);
    stop = g_watched;
  }
  stop.request_stop();
  return TRUE;
}

}  // namespace

struct InterruptWatch::Watcher {
  std::stop_source stop;

  Watcher() {
    {
      const std::lock_guard lock(g_watchedMutex);
      g_watched = stop;
    }
    SetConsoleCtrlHandler(onControl, TRUE);
  }

  ~Watcher() {
    SetConsoleCtrlHandler(onControl, FALSE);
    const std::lock_guard lock(g_watchedMutex);
    g_watched = std::stop_source{std::nostopstate};
  }
};

InterruptWatch::InterruptWatch() : m_watcher(std::make_unique<Watcher>()) {}

InterruptWatch::~InterruptWatch() = default;

std::stop_token InterruptWatch::token() const {
  return m_watcher->stop.get_token();
}

}  // namespace qinglan::platform
