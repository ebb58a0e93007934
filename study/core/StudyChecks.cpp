#include "StudyChecks.h"

#include "ModelFactory.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <set>

namespace study {

namespace {

double Tolerance(const Json& source, const char* key, double otherwise)
{
    if (!source.contains(key))
        return otherwise;
    const Json& v = source.at(key);
    if (!v.is_number() || !(v.get<double>() > 0) || !std::isfinite(v.get<double>()))
        throw StudyError(key, "ожидается положительное число (доля размаха показателя)");
    return v.get<double>();
}

void ParsePlot(Study& s, const Json& spec)
{
    if (!spec.is_object())
        throw StudyError("plot", "ожидается объект JSON { ... }");
    for (const auto& [key, value] : spec.items()) {
        if (key == "x") {
            if (!value.is_string())
                throw StudyError("plot.x", "ожидается имя поля из \"grid\"");
            s.plot.x = value.get<std::string>();
            const bool swept = std::any_of(s.grid.begin(), s.grid.end(), [&](const Axis& a) { return a.field == s.plot.x; });
            if (!swept)
                throw StudyError("plot.x", "поле '" + s.plot.x + "' не меняется в \"grid\"");
        } else if (key == "log" || key == "log_y") {
            if (!value.is_boolean())
                throw StudyError("plot." + key, "ожидается true или false");
            if (key == "log")
                s.plot.logX = value.get<bool>();
            else
                s.plot.logY = value.get<bool>();
        } else {
            throw StudyError("plot." + key, "неизвестный ключ");
        }
    }
}

// A figure's change from a to b relative to scale; a phase's change is taken the short way round.
double Change(const Figure& f, double a, double b, double scale)
{
    double d = std::abs(b - a);
    if (f.stat == Stat::Phase)
        d = std::min(d, std::abs(2 * std::numbers::pi - d));
    if (d == 0)
        return 0;
    return d / scale;
}

// The largest magnitude of each of the study's own figures over the finished rows.
std::vector<double> Scales(const Study& s, std::span<const RunOutcome> rows)
{
    std::vector<double> scale(s.OwnFigureCount(), 0.0);
    for (const RunOutcome& row : rows)
        if (row.kind == RunStatus::Kind::Finished)
            for (std::size_t k = 0; k < scale.size(); ++k)
                if (std::isfinite(row.figures[k]))
                    scale[k] = std::max(scale[k], std::abs(row.figures[k]));
    return scale;
}

std::string RunList(const std::vector<long long>& runs)
{
    constexpr std::size_t Shown = 10;
    std::string text;
    for (std::size_t k = 0; k < std::min(runs.size(), Shown); ++k)
        text += (k ? ", " : "") + std::to_string(runs[k]);
    if (runs.size() > Shown)
        text += " и еще " + std::to_string(runs.size() - Shown);
    return text;
}

std::string Percent(double fraction)
{
    if (!std::isfinite(fraction))
        return "не определено";
    char text[32];
    std::snprintf(text, sizeof text, "%.3g %%", 100 * fraction);
    return text;
}

// Runs at half the step of their own: the study's run, its step halved after its fields are set.
class HalfStepEvaluator : public RunEvaluator {
public:
    explicit HalfStepEvaluator(const Study& study)
        : study_(study), model_(gyromodel::MakeModel(study.model)), varied_(study.VariedIndices()),
          stopTime_(model_->FindParameter("StopTime")), step_(model_->FindParameter("Step"))
    {
    }

    void Evaluate(std::span<const long long> runs, std::span<RunOutcome> outcomes,
                  const gyromodel::CancelCheck& cancel) override
    {
        for (std::size_t k = 0; k < runs.size(); ++k) {
            PreparedRun prepared = PrepareRun(study_, *model_, varied_, stopTime_, runs[k]);
            // Halving a 32-bit step is exact, and the samples stay where they were.
            const auto step = static_cast<std::size_t>(step_);
            model_->SetParameter(step, model_->Parameter(step) / 2);
            WatchSamples(study_, *model_, prepared);
            const RunStatus status = model_->Calculate(cancel);
            model_->SetSampleSink(nullptr);
            outcomes[k] = TakeOutcome(study_, std::move(prepared), status);
        }
    }

private:
    const Study& study_;
    std::unique_ptr<gyromodel::SimulationModel> model_;
    std::vector<int> varied_;
    int stopTime_ = -1, step_ = -1;
};

} // namespace

void ParseChecksAndPlot(Study& s, const Json& source)
{
    s.settleTolerance = Tolerance(source, "settle_tolerance", s.settleTolerance);
    s.stepTolerance = Tolerance(source, "step_tolerance", s.stepTolerance);
    if (source.contains("plot"))
        ParsePlot(s, source.at("plot"));

    std::set<std::string> columns = {"run", "status", "message"};
    for (const std::string& field : s.VariedFields())
        columns.insert(field);
    for (const Figure& f : s.figures)
        columns.insert(f.name);
    const std::size_t own = s.figures.size();
    for (std::size_t k = 0; k < own; ++k) {
        const Figure& f = s.figures[k];
        const bool windowed = f.from > 0 || f.frequency > 0 || f.frequencyField >= 0;
        if (!windowed || f.stat == Stat::Final)
            continue;
        Figure half = f;
        half.name = f.name + "_half";
        half.from = (1 + f.from) / 2;
        half.checks = static_cast<int>(k);
        if (!columns.insert(half.name).second)
            throw StudyError("figures." + half.name, "имя занято столбцом проверки установления показателя '"
                                                         + f.name + "'; переименуйте показатель");
        s.figures.push_back(std::move(half));
    }
}

std::vector<FigureWarning> SettleWarnings(const Study& s, std::span<const RunOutcome> rows)
{
    const std::vector<double> scale = Scales(s, rows);
    std::vector<FigureWarning> warnings;
    for (std::size_t c = s.OwnFigureCount(); c < s.figures.size(); ++c) {
        const auto k = static_cast<std::size_t>(s.figures[c].checks);
        const Figure& f = s.figures[k];
        FigureWarning w{f.name, "settle", {}, 0, s.settleTolerance, {}};
        long long unchecked = 0;
        for (const RunOutcome& row : rows) {
            if (row.kind != RunStatus::Kind::Finished || !std::isfinite(row.figures[k]))
                continue;
            // A later half too short for a whole period cannot tell: the window is too short.
            const double change = std::isfinite(row.figures[c]) ? Change(f, row.figures[k], row.figures[c], scale[k])
                                                                : std::numeric_limits<double>::infinity();
            unchecked += !std::isfinite(change);
            if (!(change <= s.settleTolerance)) {
                w.runs.push_back(row.run);
                w.largestChange = std::max(w.largestChange, change);
            }
        }
        if (w.runs.empty())
            continue;
        w.message = "показатель «" + f.name + "» не установился в " + std::to_string(w.runs.size()) + " расчетах: "
                    + (unchecked ? "во второй половине окна нет целого периода"
                                 : "по второй половине окна он меняется на " + Percent(w.largestChange)
                                       + " своего размаха (допуск " + Percent(s.settleTolerance) + ")")
                    + "; увеличьте StopTime. Расчеты: " + RunList(w.runs);
        warnings.push_back(std::move(w));
    }
    return warnings;
}

StepCheck CheckStep(const Study& s, std::span<const RunOutcome> rows, RunnerOptions options)
{
    std::vector<const RunOutcome*> finished;
    for (const RunOutcome& row : rows)
        if (row.kind == RunStatus::Kind::Finished)
            finished.push_back(&row);
    std::vector<std::size_t> picked;
    if (finished.size() <= StepCheckRuns) {
        for (std::size_t k = 0; k < finished.size(); ++k)
            picked.push_back(k);
    } else {
        // Evenly spread from the first to the last, so a sweep's ends are both checked.
        for (std::size_t k = 0; k < StepCheckRuns; ++k)
            picked.push_back(k * (finished.size() - 1) / (StepCheckRuns - 1));
    }
    StepCheck check;
    std::vector<long long> runs;
    for (std::size_t k : picked)
        runs.push_back(finished[k]->run);
    options.evaluators = [](const Study& study) { return std::make_unique<HalfStepEvaluator>(study); };
    options.batch = 1;
    options.onRow = nullptr;
    options.onProgress = nullptr;
    check.halved = RunStudy(s, runs, options);
    for (const RunOutcome& halved : check.halved)
        for (std::size_t k : picked)
            if (finished[k]->run == halved.run)
                check.reference.push_back(*finished[k]);
    return check;
}

Json StepCheckJson(const Study& s, const StepCheck& check, std::vector<FigureWarning>& warnings)
{
    const std::vector<double> scale = Scales(s, check.reference);
    Json j = Json::object();
    Json runs = Json::array();
    for (const RunOutcome& row : check.reference)
        runs.push_back(row.run);
    j["runs"] = std::move(runs);
    j["tolerance"] = s.stepTolerance;
    Json figures = Json::object();
    for (std::size_t k = 0; k < s.OwnFigureCount(); ++k) {
        const Figure& f = s.figures[k];
        FigureWarning w{f.name, "step", {}, 0, s.stepTolerance, {}};
        long long worstRun = -1;
        bool unfinished = false;
        for (std::size_t r = 0; r < check.reference.size(); ++r) {
            const double a = check.reference[r].figures[k];
            const double b = check.halved[r].figures[k];
            if (!std::isfinite(a))
                continue;
            const bool failed = check.halved[r].kind != RunStatus::Kind::Finished;
            unfinished = unfinished || failed;
            const double change = failed || !std::isfinite(b) ? std::numeric_limits<double>::infinity()
                                                              : Change(f, a, b, scale[k]);
            if (worstRun < 0 || change > w.largestChange) {
                w.largestChange = change;
                worstRun = check.reference[r].run;
            }
            if (!(change <= s.stepTolerance))
                w.runs.push_back(check.reference[r].run);
        }
        Json figure = Json::object();
        figure["largest_relative_change"] = std::isfinite(w.largestChange) ? Json(w.largestChange) : Json(nullptr);
        figure["run"] = worstRun >= 0 ? Json(worstRun) : Json(nullptr);
        figures[f.name] = std::move(figure);
        if (w.runs.empty())
            continue;
        w.message = "показатель «" + f.name + "» зависит от шага расчета: при половинном шаге он меняется на "
                    + (unfinished ? std::string("(расчет при половинном шаге не закончен)") : Percent(w.largestChange))
                    + " своего размаха (допуск " + Percent(s.stepTolerance) + "); уменьшите Step. Расчеты: "
                    + RunList(w.runs);
        warnings.push_back(std::move(w));
    }
    j["figures"] = std::move(figures);
    return j;
}

Json WarningsJson(std::span<const FigureWarning> warnings)
{
    Json out = Json::array();
    for (const FigureWarning& w : warnings) {
        Json j = Json::object();
        j["figure"] = w.figure;
        j["check"] = w.check;
        j["runs_affected"] = w.runs.size();
        // The first runs are enough to find them; the count says how many there are.
        constexpr std::size_t Listed = 100;
        j["runs"] = std::vector<long long>(w.runs.begin(), w.runs.begin() + std::min(w.runs.size(), Listed));
        j["largest_relative_change"] = std::isfinite(w.largestChange) ? Json(w.largestChange) : Json(nullptr);
        j["tolerance"] = w.tolerance;
        j["message"] = w.message;
        out.push_back(std::move(j));
    }
    return out;
}

} // namespace study
