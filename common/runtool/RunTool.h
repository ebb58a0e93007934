#pragma once

#include "SimulationModel.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// The command-line side shared by the headless run tools: arguments, exit statuses,
// the CSV of recorded samples and the JSON summary, for any model behind the common interface.
namespace runtool {

enum ExitStatus { ExitOk = 0, ExitError = 1, ExitUsage = 2, ExitDiverged = 3, ExitInterrupted = 4, ExitTimeLimit = 5 };

// Text of a number with 17 significant digits, independent of the process locale.
std::string FormatNumber17(double value);

// What a tool says of itself beyond what its model tells.
struct ToolText {
    std::string description;  // one paragraph for --help
    // The summary's extremes as each tool has always written them: flat "<series>Min" and
    // "<series>Max" keys for the series listed here, in this order; with none listed, an
    // "Extremes" object holding "Max" and "Min" of every series.
    std::vector<std::string_view> flatExtremes;
};

// Directory of the running executable, with a trailing separator.
std::string ExecutableDirectory();

// What came of reading a data file into a model as the run tools read it.
struct DataFileOutcome {
    enum class Kind {
        Read,           // every field read
        CannotOpen,     // message: the model's missing-data text and the path
        NotParameters,  // not a regular file, or no number in the expected form at its start
        CutShort,       // the fields from the first one not read on are 0 (a warning, or an error when strict)
    };
    Kind kind = Kind::Read;
    std::string message;  // Russian, without the program's name; empty when read
};
DataFileOutcome ReadDataFile(gyromodel::SimulationModel& model, const std::string& path);

// Parses the arguments, runs the model and writes CSV or the summary. Returns the exit status.
int RunToolMain(int argc, char** argv, gyromodel::SimulationModel& model, const ToolText& tool, std::ostream& out,
                std::ostream& err);

} // namespace runtool
