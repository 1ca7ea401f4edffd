// A DirectShow call on a thread of its own, waited for a bounded time. On a damaged or cut
// movie a parser may wait for data that never comes, and RenderFile or a state change never
// returns: the thread is then left behind with what it holds (the process exit takes it), and
// the caller goes on as for a movie that cannot be rendered.
#pragma once
#include <windows.h>

#include <functional>

// Runs `work` with free-threaded COM on a new thread and waits up to `ms` for it; true when it
// finished in time and returned true. `timedOut` tells a thread left behind from a failure.
// The work owns copies of what it reads and writes its results into state it shares with the
// caller; what it captures is destroyed on its own thread, inside its COM, once it is done.
bool RunBounded(DWORD ms, std::function<bool()> work, bool* timedOut = nullptr);
