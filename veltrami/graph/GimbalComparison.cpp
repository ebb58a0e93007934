#include "GimbalComparison.h"

#include "GimbalModel.h"

namespace veltrami {

std::string KeepRun(comparison::RunComparison& runs, const GimbalModel& model)
{
    const GraphData data = GraphDataOf(model);
    if (data.Alf.empty())
        return "Нечего запоминать: расчет еще не произведен.";
    comparison::RunView run;
    run.series = {data.Alf, data.Bet, data.AlfDot, data.BetDot};
    run.times = data.Time;
    run.printStep = model.Params.PrintStep;
    run.stopTime = model.Params.StopTime;
    run.sampleCount = model.SampleCount;
    run.parameters = comparison::ParameterValues(model.Params);
    std::uint64_t runBytes = 0;
    for (const std::vector<double>* s : {&model.AlfDot, &model.BetDot, &model.Alf, &model.Bet, &model.MomentBet,
                                         &model.MomentAlf, &model.Time})
        runBytes += s->capacity() * sizeof(double);
    return runs.Keep(run, runBytes);
}

GraphData KeptGraphData(const comparison::KeptRun& kept)
{
    GraphData d;
    const auto series = [&kept](std::size_t i) {
        return i < kept.series.size() ? std::span<const double>(kept.series[i]) : std::span<const double>();
    };
    d.Alf = series(0);
    d.Bet = series(1);
    d.AlfDot = series(2);
    d.BetDot = series(3);
    d.Time = kept.times;
    d.PrintStep = kept.printStep;
    d.StopTime = kept.stopTime;
    return d;
}

std::optional<GraphData> KeptGraphData(const comparison::RunComparison* runs)
{
    if (!runs || !runs->Kept())
        return std::nullopt;
    return KeptGraphData(*runs->Kept());
}

std::string ComparisonLine(const comparison::KeptRun& kept, const ModelParameters& current,
                           const numfmt::Separators& sep)
{
    return comparison::DifferenceLine(comparison::ParameterLabels(ParameterRows), kept.parameters,
                                      comparison::ParameterValues(current), sep);
}

} // namespace veltrami
