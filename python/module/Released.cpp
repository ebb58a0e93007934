#include "Released.h"

#include <pybind11/pybind11.h>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace gyropy {

namespace py = pybind11;

namespace {

unsigned long mainThread = 0;

// Often enough for Ctrl+C to stop a run within a tenth of a second, rarely enough to cost nothing.
constexpr auto AskEvery = std::chrono::milliseconds(20);

} // namespace

void NoteMainThread()
{
    mainThread = py::module_::import("threading").attr("main_thread")().attr("ident").cast<unsigned long>();
}

namespace {

bool OnMainThread()
{
    return PyThread_get_thread_ident() == mainThread;
}

// Asks Python, from a thread that released the GIL, whether a signal handler raised; its
// exception then stays set on this thread for the caller to raise.
bool SignalRaised()
{
    py::gil_scoped_acquire gil;
    return PyErr_CheckSignals() != 0;
}

} // namespace

void RunHere(const std::function<void(const std::function<bool()>& stop)>& work)
{
    bool raised = false;
    {
        py::gil_scoped_release released;
        if (!OnMainThread()) {
            work([] { return false; });
            return;
        }
        auto asked = std::chrono::steady_clock::now();
        work([&] {
            if (raised)
                return true;
            const auto now = std::chrono::steady_clock::now();
            if (now - asked < AskEvery)
                return false;
            asked = now;
            return raised = SignalRaised();
        });
    }
    if (raised)
        throw py::error_already_set();
}

void RunReleased(const std::function<void(const std::atomic<bool>& stop)>& work)
{
    std::atomic<bool> stop{false};
    if (!OnMainThread()) {
        py::gil_scoped_release released;
        work(stop);
        return;
    }
    std::exception_ptr failure;
    bool interrupted = false;
    {
        py::gil_scoped_release released;
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        std::thread worker([&] {
            try {
                work(stop);
            } catch (...) {
                failure = std::current_exception();
            }
            const std::lock_guard lock(mutex);
            done = true;
            finished.notify_one();
        });
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, AskEvery, [&] { return done; })) {
            if (interrupted)
                continue;
            lock.unlock();
            interrupted = SignalRaised();
            if (interrupted)
                stop.store(true);
            lock.lock();
        }
        lock.unlock();
        worker.join();
    }
    if (interrupted)
        throw py::error_already_set();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace gyropy
