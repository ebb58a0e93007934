#pragma once

#include <atomic>
#include <functional>

// Work in C++ with the GIL released, stoppable by Ctrl+C. Python only notes a signal and runs
// its handler on the main thread when asked, so a caller on the main thread hands the work to a
// thread of its own and asks Python every 20 ms (taking the GIL back for a moment) whether a
// handler raised; the work's stop flag is then set, the work awaited and the exception raised.
// On any other thread no signal can arrive: the work runs there directly.
namespace gyropy {

// Python's main thread, noted when the module is imported.
void NoteMainThread();

// Runs work(stop) with the GIL released (the caller holds it). Raises what a signal handler
// raised (KeyboardInterrupt) once the work has stopped, or what the work threw.
void RunReleased(const std::function<void(const std::atomic<bool>& stop)>& work);

} // namespace gyropy
