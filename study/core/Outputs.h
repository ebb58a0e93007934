#pragma once

#include "RunEvaluator.h"
#include "Study.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

// The files a study leaves in its output folder: runs.csv, summary.json and study.json
// (the study itself, by which a folder and its shards are recognised).
namespace study {

inline constexpr const char* RunsFile = "runs.csv";
inline constexpr const char* SummaryFile = "summary.json";
inline constexpr const char* StudyFile = "study.json";

// Which runs of a study a shard makes: whole blocks of runs (RunBlock), block b to shard
// (b mod count) + 1, so that a shard's lanes are those of the whole study.
struct Shard {
    long long index = 1;  // 1 .. count
    long long count = 1;
    bool whole() const { return count == 1; }
};

// "K/N" with 1 <= K <= N; nullopt when malformed.
std::optional<Shard> ParseShard(std::string_view text);

// The shard (1 .. count) that makes run i.
long long ShardOfRun(long long run, long long count);
std::vector<long long> ShardRuns(long long runCount, const Shard& shard);
// The shard's first run at or after `from`; runCount when it has none left. The runs are made
// from this as they are needed, never listed whole.
long long NextShardRun(long long from, long long runCount, const Shard& shard);
// How many of a study's runs the shard makes.
long long ShardRunCount(long long runCount, const Shard& shard);

// The status word of runs.csv.
std::string StatusWord(RunStatus::Kind kind);

std::string CsvHeader(const Study& study);
std::string CsvRow(const RunOutcome& outcome);
// A row of runs.csv back into an outcome; nullopt when it is not one of this study's rows.
std::optional<RunOutcome> ParseCsvRow(std::string_view line, std::size_t values, std::size_t figures);

// The record written to study.json: the study as given and, for a shard, which one.
Json StudyRecord(const Study& study, const Shard& shard);

// summary.json of the finished rows of a study (all of them unless interrupted).
Json Summary(const Study& study, std::span<const RunOutcome> rows, bool interrupted);

// p-th percentile (0..100) of sorted values, interpolated linearly between order statistics.
double Percentile(std::span<const double> sorted, double p);

} // namespace study
