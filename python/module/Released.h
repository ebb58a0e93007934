#pragma once

#include <atomic>
#include <functional>

// Work in C++ with the GIL released, stoppable by Ctrl+C. Python only notes a signal and runs
// its handler on the main thread when asked, so the main thread asks Python every 20 ms (taking
// the GIL back for a moment) whether a handler raised; the work is then stopped and awaited, and
// the exception raised. On any other thread no signal can arrive.
namespace gyropy {

// Python's main thread, noted when the module is imported.
void NoteMainThread();

// Runs work(stop) on this thread with the GIL released (the caller holds it); the work asks
// stop() now and then, which on the main thread asks Python. Raises what a signal handler
// raised (KeyboardInterrupt) once the work has returned.
void RunHere(const std::function<void(const std::function<bool()>& stop)>& work);

// The same for work that spreads over threads of its own and watches the flag stop: on the
// main thread it goes to a thread of its own while this one asks Python. Raises as RunHere,
// or what the work threw.
void RunReleased(const std::function<void(const std::atomic<bool>& stop)>& work);

} // namespace gyropy
