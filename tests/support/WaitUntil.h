#pragma once

#include <functional>

// Runs the event loop (posted calls, sockets, timers and deferred deletes
// included) until done() holds; false when limitMs passed first.
bool WaitUntil(const std::function<bool()>& done, int limitMs = 10000);
