#pragma once

#include <chrono>
#include <iosfwd>

// The progress bar of a long study on a terminal: runs done of all, time elapsed and the
// time still to go at the rate so far. Redraws at most a few times a second.
namespace studytool {

class Progress {
public:
    Progress(std::ostream& out, long long total, bool enabled);
    void Update(long long done);
    // Leaves the bar's last state on its line.
    void Finish();

private:
    void Draw(long long done);

    std::ostream& out_;
    long long total_;
    bool enabled_;
    long long done_ = 0;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point drawn_{};
};

} // namespace studytool
