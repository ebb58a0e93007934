#pragma once

#include <atomic>
#include <csignal>

namespace runtool {

// While it lives, SIGINT and SIGTERM (and, if asked, SIGHUP: a closed terminal) ask the program
// to stop and keep what it has, instead of ending it. A signal sent to a whole process group
// (timeout, a batch system's time limit) can arrive twice at once, so only a second one half a
// second or more after the first ends the program as usual. With `keepWriting`, a file-size
// limit or a closed pipe makes the write fail, to be told, instead of ending the program.
// One guard at a time: the state is the process's.
class StopSignals {
public:
    explicit StopSignals(bool hangupToo = false, bool keepWriting = false);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The first stop signal caught, 0 while none.
    static int Received();
    // Set when the first stop signal arrives; for loops that poll a flag.
    static const std::atomic<bool>& Requested();

private:
    bool hangup_;
    bool keepWriting_;
    struct sigaction previousInt_ {}, previousTerm_ {}, previousHangup_ {};
    struct sigaction previousFileSize_ {}, previousPipe_ {};
};

} // namespace runtool
