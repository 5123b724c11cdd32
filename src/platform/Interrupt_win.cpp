#include "platform/Interrupt.h"

#include <atomic>

#include <windows.h>

namespace qinglan::platform {

namespace {

std::atomic<std::stop_source*> g_watched = nullptr;

// The console runs its control handlers on a thread of its own, so the stop is requested in
// ordinary code. Ctrl-C and Ctrl-Break ask for the stop; the rest keep their default handling.
BOOL WINAPI onControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
    return FALSE;
  if (std::stop_source* stop = g_watched.load())
    stop->request_stop();
  return TRUE;
}

}  // namespace

struct InterruptWatch::Watcher {
  std::stop_source stop;

  Watcher() {
    g_watched = &stop;
    SetConsoleCtrlHandler(onControl, TRUE);
  }

  ~Watcher() {
    SetConsoleCtrlHandler(onControl, FALSE);
    g_watched = nullptr;
  }
};

InterruptWatch::InterruptWatch() : m_watcher(std::make_unique<Watcher>()) {}

InterruptWatch::~InterruptWatch() = default;

std::stop_token InterruptWatch::token() const {
  return m_watcher->stop.get_token();
}

}  // namespace qinglan::platform
