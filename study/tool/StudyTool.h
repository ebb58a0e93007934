#pragma once

#include <iosfwd>

// The command line of gyro-study: a study or a preset into an output folder, or the
// merging of shard folders. Returns the exit status.
namespace studytool {

// A study stopped by signal N exits with 128 + N.
enum ExitStatus { ExitOk = 0, ExitError = 1, ExitUsage = 2, ExitNoRunFinished = 3 };

int StudyToolMain(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace studytool
