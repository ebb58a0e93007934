#pragma once

#include <iosfwd>

// gyro-study status: how far a study folder, or a folder of its shards (a job array's or
// GNU parallel's output), has come: each shard's runs done of its total, the shards missing
// and those stopped before their end.
namespace studytool {

// Exit status of status: 0 every run done, 2 no study results in the folder, 3 runs missing.
inline constexpr int ExitIncomplete = 3;

// gyro-study status FOLDER: argv[1] is "status".
int StatusCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace studytool
