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

// What a data file's load report means for a run: nothing to say, a file cut short (a warning;
// an error where the user asks for strictness) or a file that cannot be used at all.
struct LoadVerdict {
    enum Kind { Fine, CutShort, Unusable } kind = Fine;
    std::string text;     // names the file; empty when fine
    bool missing = false; // the file does not open: the text is the model's own message
};
LoadVerdict JudgeLoad(const gyromodel::SimulationModel& model, const std::string& path, const datafile::LoadReport& report);

// Parses the arguments, runs the model and writes CSV or the summary. Returns the exit status.
int RunToolMain(int argc, char** argv, gyromodel::SimulationModel& model, const ToolText& tool, std::ostream& out,
                std::ostream& err);

} // namespace runtool
