#pragma once

#include <functional>
#include <thread>

namespace qinglan::platform {

// Starts a thread that never takes an asynchronous signal, whatever the starting thread's signal
// mask: a thread kept from one job to the next may have been started before the interrupt was
// turned into a stop request, and must not end the process when Ctrl-C comes.
std::thread startWorkerThread(std::function<void()> body);

// Runs `forget` in the child of every later fork, where only the forking thread lives on, so that
// what keeps the parent's threads lets them go. Windows has no fork: it never runs there.
void whenForked(void (*forget)());

}  // namespace qinglan::platform
