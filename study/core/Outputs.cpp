#include "Outputs.h"

#include "RunTool.h"
#include "ScaleFactor.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace study {

namespace {

std::string Number(double x)
{
    return std::isfinite(x) ? runtool::FormatNumber17(x) : std::string();
}

std::string Quoted(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += "\"\"";
        else
            out += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return out + "\"";
}

std::vector<std::string> SplitCsv(std::string_view line)
{
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        if (quoted) {
            if (c == '"' && k + 1 < line.size() && line[k + 1] == '"') {
                cells.back() += '"';
                ++k;
            } else if (c == '"') {
                quoted = false;
            } else {
                cells.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    return cells;
}

bool ReadNumber(const std::string& cell, double& x)
{
    if (cell.empty()) {
        x = std::nan("");
        return true;
    }
    const auto result = std::from_chars(cell.data(), cell.data() + cell.size(), x);
    return result.ec == std::errc() && result.ptr == cell.data() + cell.size();
}

Json Statistics(std::vector<double> values)
{
    std::erase_if(values, [](double x) { return !std::isfinite(x); });
    std::sort(values.begin(), values.end());
    const double n = static_cast<double>(values.size());
    Json j = Json::object();
    j["count"] = values.size();
    if (values.empty())
        return j;
    double sum = 0;
    for (double x : values)
        sum += x;
    const double mean = sum / n;
    double squares = 0;
    for (double x : values)
        squares += (x - mean) * (x - mean);
    j["mean"] = mean;
    j["sd"] = values.size() > 1 ? std::sqrt(squares / (n - 1)) : 0.0;
    j["min"] = values.front();
    j["max"] = values.back();
    j["p5"] = Percentile(values, 5);
    j["p50"] = Percentile(values, 50);
    j["p95"] = Percentile(values, 95);
    return j;
}

} // namespace

std::optional<Shard> ParseShard(std::string_view text)
{
    const auto slash = text.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    Shard s;
    const auto k = std::from_chars(text.data(), text.data() + slash, s.index);
    const auto n = std::from_chars(text.data() + slash + 1, text.data() + text.size(), s.count);
    if (k.ec != std::errc() || k.ptr != text.data() + slash || n.ec != std::errc() || n.ptr != text.data() + text.size())
        return std::nullopt;
    if (s.count < 1 || s.index < 1 || s.index > s.count)
        return std::nullopt;
    return s;
}

long long ShardOfRun(long long run, long long count)
{
    return run / RunBlock % count + 1;
}

std::vector<long long> ShardRuns(long long runCount, const Shard& shard)
{
    std::vector<long long> runs;
    for (long long i = NextShardRun(0, runCount, shard); i < runCount; i = NextShardRun(i + 1, runCount, shard))
        runs.push_back(i);
    return runs;
}

long long NextShardRun(long long from, long long runCount, const Shard& shard)
{
    // Whole blocks: block b is shard (b mod count) + 1's.
    const long long blocks = (runCount + RunBlock - 1) / RunBlock, offset = shard.index - 1;
    if (from >= runCount)
        return runCount;
    const long long block = from / RunBlock;
    if (block % shard.count == offset)
        return from;
    // Counted in blocks, so that no sum passes the last one (a shard count may be huge).
    const long long r = block % shard.count;
    const long long ahead = offset > r ? offset - r : shard.count - (r - offset);
    return ahead < blocks - block ? (block + ahead) * RunBlock : runCount;
}

long long ShardRunCount(long long runCount, const Shard& shard)
{
    const long long blocks = (runCount + RunBlock - 1) / RunBlock, offset = shard.index - 1;
    if (blocks <= offset)
        return 0;
    const long long mine = (blocks - 1 - offset) / shard.count + 1;
    // The last block may be short.
    const bool last = (blocks - 1) % shard.count == offset;
    return mine * RunBlock - (last ? blocks * RunBlock - runCount : 0);
}

std::string StatusWord(RunStatus::Kind kind)
{
    switch (kind) {
    case RunStatus::Kind::Finished: return "ok";
    case RunStatus::Kind::Diverged: return "diverged";
    case RunStatus::Kind::Refused: return "refused";
    case RunStatus::Kind::Cancelled: return "cancelled";
    }
    return "ok";
}

std::string CsvHeader(const Study& study)
{
    std::string line = "run";
    for (const std::string& field : study.VariedFields())
        line += "," + field;
    line += ",status,message";
    for (const Figure& f : study.figures)
        line += "," + f.name;
    return line;
}

std::string CsvRow(const RunOutcome& outcome)
{
    std::string line = std::to_string(outcome.run);
    for (double v : outcome.values)
        line += "," + Number(v);
    line += "," + StatusWord(outcome.kind) + "," + Quoted(outcome.message);
    for (double f : outcome.figures)
        line += "," + Number(f);
    return line;
}

std::optional<RunOutcome> ParseCsvRow(std::string_view line, std::size_t values, std::size_t figures)
{
    const std::vector<std::string> cells = SplitCsv(line);
    if (cells.size() != 3 + values + figures)
        return std::nullopt;
    RunOutcome out;
    const auto run = std::from_chars(cells[0].data(), cells[0].data() + cells[0].size(), out.run);
    if (run.ec != std::errc() || run.ptr != cells[0].data() + cells[0].size() || out.run < 0)
        return std::nullopt;
    out.values.resize(values);
    for (std::size_t k = 0; k < values; ++k)
        if (!ReadNumber(cells[1 + k], out.values[k]))
            return std::nullopt;
    const std::string& status = cells[1 + values];
    if (status == "ok")
        out.kind = RunStatus::Kind::Finished;
    else if (status == "diverged")
        out.kind = RunStatus::Kind::Diverged;
    else if (status == "refused")
        out.kind = RunStatus::Kind::Refused;
    else
        return std::nullopt;
    out.message = cells[2 + values];
    out.figures.resize(figures);
    for (std::size_t k = 0; k < figures; ++k)
        if (!ReadNumber(cells[3 + values + k], out.figures[k]))
            return std::nullopt;
    return out;
}

Json StudyRecord(const Study& study, const Shard& shard)
{
    Json record = Json::object();
    record["study"] = study.source;
    if (!shard.whole())
        record["shard"] = std::to_string(shard.index) + "/" + std::to_string(shard.count);
    return record;
}

double Percentile(std::span<const double> sorted, double p)
{
    if (sorted.empty())
        return std::nan("");
    const double position = p / 100 * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    const double fraction = position - static_cast<double>(below);
    return sorted[below] + (sorted[above] - sorted[below]) * fraction;
}

Json Summary(const Study& study, std::span<const RunOutcome> rows, bool interrupted)
{
    Json j = Json::object();
    j["model"] = study.model;
    j["runs"] = study.RunCount();
    j["finished"] = rows.size();
    long long ok = 0, diverged = 0, refused = 0;
    for (const RunOutcome& row : rows) {
        ok += row.kind == RunStatus::Kind::Finished;
        diverged += row.kind == RunStatus::Kind::Diverged;
        refused += row.kind == RunStatus::Kind::Refused;
    }
    j["ok"] = ok;
    j["diverged"] = diverged;
    j["refused"] = refused;
    j["interrupted"] = interrupted;
    if (study.monteCarlo) {
        Json figures = Json::object();
        for (std::size_t k = 0; k < study.figures.size(); ++k) {
            std::vector<double> values;
            for (const RunOutcome& row : rows)
                values.push_back(row.figures[k]);
            figures[study.figures[k].name] = Statistics(std::move(values));
        }
        j["figures"] = std::move(figures);
    }
    if (study.scaleFactor)
        j["scale_factor"] = CharacteristicJson(study, ComputeCharacteristic(study, rows));
    return j;
}

} // namespace study
