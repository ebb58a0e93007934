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

void RunReleased(const std::function<void(const std::atomic<bool>& stop)>& work)
{
    std::atomic<bool> stop{false};
    if (PyThread_get_thread_ident() != mainThread) {
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
            {
                py::gil_scoped_acquire gil;
                // A handler that raised leaves its exception set on this thread for below.
                interrupted = PyErr_CheckSignals() != 0;
            }
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
