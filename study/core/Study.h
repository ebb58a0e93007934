#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A parameter study as its file describes it: the model and its base parameters, what
// varies from run to run, the figures taken of every run and the characteristic fitted
// to them. Parsing checks everything a run could trip over before the first run starts.
namespace study {

using Json = nlohmann::ordered_json;

// A study file that cannot be run: what is wrong and where in the file (a key path such
// as "grid.BaseRate.linspace"), both for the user in Russian.
class StudyError : public std::runtime_error {
public:
    StudyError(std::string place, const std::string& what);
    const std::string& place() const { return place_; }

private:
    std::string place_;
};

enum class Stat { Max, Min, Mean, Rms, P2p, Final, Amplitude, Phase, InPhase, Quadrature };

// Whether the statistic is taken of the component at a frequency.
bool NeedsFrequency(Stat stat);

struct Figure {
    std::string name;
    std::string series;
    int seriesIndex = -1;
    Stat stat = Stat::Mean;
    double from = 0;        // fraction of StopTime where the window starts
    // Angular frequency, 1/s (0: none); a field's value for each run when frequencyField >= 0.
    // With a frequency every statistic is taken over whole periods; the mean is then the
    // constant term of the fit, free of the oscillation at that frequency.
    double frequency = 0;
    int frequencyField = -1;
};

// One varied field of a grid and its values in run order: listed, or spaced between two ends
// and made when asked for, so that a long range takes no memory.
struct Axis {
    std::string field;
    int index = -1;
    std::vector<double> listed;
    double first = 0, last = 0;   // the ends of a linspace or logspace
    long long spaced = 0;         // its number of values (0: the values are listed)
    bool logarithmic = false;     // plots draw it on a logarithmic scale

    long long Size() const;
    double Value(long long k) const;
};

enum class Distribution { Normal, Uniform };

struct Scatter {
    std::string field;
    int index = -1;
    Distribution distribution = Distribution::Normal;
    double a = 0, b = 0;    // mean and sd, or lower and upper end
    bool relative = false;  // draws are relative deviations from the base value
};

struct MonteCarlo {
    long long count = 0;
    std::uint64_t seed = 0;
    std::vector<Scatter> vary;
};

// The sensor characteristic of a rate sweep: each response figure fitted by a straight line
// against the rate, with the bias figure at zero rate; repeated for each value of another
// grid field when there is one.
struct ScaleFactor {
    std::string rate;                   // the swept field
    std::vector<int> responses;         // indices into figures
    int bias = -1;                      // index into figures, or -1
};

struct Study {
    std::string model;
    std::string basePath;               // resolved; empty for the program's own data file
    std::vector<std::pair<int, double>> set;
    std::vector<double> baseValues;     // every parameter after load (with the display round trip) and set
    std::vector<Axis> grid;
    std::optional<MonteCarlo> monteCarlo;
    std::vector<Figure> figures;
    std::optional<ScaleFactor> scaleFactor;
    Json source;                        // the study as given, to recognise it again
    std::vector<std::string> warnings;  // what the user should know before the runs (a base file cut short)

    long long RunCount() const;
    std::vector<std::string> VariedFields() const;
    std::vector<int> VariedIndices() const;
    // The varied fields' values for run i, as drawn (before the model rounds them).
    std::vector<double> RunValues(long long run) const;
};

// Runs beyond this need the user's confirmation.
inline constexpr long long ConfirmedRunLimit = 1000000;

struct ParseOptions {
    std::string studyDirectory;    // resolves a relative base file
    std::string programDirectory;  // holds the models' own data files, with a trailing separator
    bool loadBase = true;          // false where only the study's shape matters (merging shards)
    bool strict = false;           // a base file cut short is an error, not a warning
};

// Parses and checks a study. Throws StudyError.
Study ParseStudy(const Json& source, const ParseOptions& options);

// No study needs more than a handful of levels of nesting.
inline constexpr std::size_t MaxStudyDepth = 64;

// The JSON of a study file's text; a syntax error becomes a StudyError naming line and column,
// a key given twice, a number beyond double and nesting deeper than maxDepth one naming the
// place. (study.json holds the study one level down.)
Json ParseStudyText(const std::string& text, std::size_t maxDepth = MaxStudyDepth);

// A study file's text is read only from a regular file of at most this size.
inline constexpr std::size_t MaxStudyFileBytes = 1024 * 1024;

// The text of a study file; anything but a regular file of at most MaxStudyFileBytes is
// refused (a StudyError saying what it is) without being read, so nothing blocks or grows.
std::string ReadStudyFile(const std::string& path);

} // namespace study
