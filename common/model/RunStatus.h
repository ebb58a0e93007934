#pragma once

#include <string>

// What became of a calculation run: the windows and the run tools tell the user
// from it, so a failed run can never pass for a finished one.
struct RunStatus {
    enum class Kind { Finished, Refused, Diverged, Cancelled };

    Kind kind = Kind::Finished;
    std::string message;  // Russian, for the user; empty when finished
    double time = 0.0;    // model time at which a diverged or cancelled run stopped

    bool ok() const { return kind == Kind::Finished; }

    static RunStatus Finished() { return {}; }
    static RunStatus Refused(std::string why) { return {Kind::Refused, std::move(why), 0.0}; }
    static RunStatus Diverged(std::string why, double at) { return {Kind::Diverged, std::move(why), at}; }
    static RunStatus Cancelled(std::string why, double at) { return {Kind::Cancelled, std::move(why), at}; }
};
