#include "StopSignals.h"

#include <cstdint>
#include <ctime>

namespace runtool {

namespace {

volatile std::sig_atomic_t stopSignal = 0;
std::atomic<bool> stopRequested{false};
std::atomic<std::int64_t> firstSignalAt{0}; // CLOCK_MONOTONIC, ns

std::int64_t MonotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

extern "C" void OnStopSignal(int signal)
{
    const std::int64_t now = MonotonicNanoseconds();
    if (stopSignal == 0) {
        stopSignal = signal;
        firstSignalAt.store(now);
        stopRequested.store(true);
        return;
    }
    if (now - firstSignalAt.load() > 500000000) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

} // namespace

StopSignals::StopSignals(bool hangupToo, bool keepWriting) : hangup_(hangupToo), keepWriting_(keepWriting)
{
    stopSignal = 0;
    stopRequested.store(false);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInt_);
    sigaction(SIGTERM, &action, &previousTerm_);
    if (hangup_)
        sigaction(SIGHUP, &action, &previousHangup_);
    if (keepWriting_) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGXFSZ, &ignore, &previousFileSize_);
        sigaction(SIGPIPE, &ignore, &previousPipe_);
    }
}

StopSignals::~StopSignals()
{
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
    if (hangup_)
        sigaction(SIGHUP, &previousHangup_, nullptr);
    if (keepWriting_) {
        sigaction(SIGXFSZ, &previousFileSize_, nullptr);
        sigaction(SIGPIPE, &previousPipe_, nullptr);
    }
}

int StopSignals::Received()
{
    return stopSignal;
}

const std::atomic<bool>& StopSignals::Requested()
{
    return stopRequested;
}

} // namespace runtool
