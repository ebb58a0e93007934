#include "TuningForkComparison.h"

namespace pelisond {

std::string KeepRun(comparison::RunComparison& runs, const TuningForkModel& model)
{
    const GraphData data = GraphDataOf(model);
    if (data.Series[Fi].empty())
        return "Нечего запоминать: расчет еще не произведен.";
    comparison::RunView run;
    run.series.assign(data.Series.begin(), data.Series.end());
    run.times = data.Time;
    run.printStep = model.Params.PrintStep;
    run.stopTime = model.Params.StopTime;
    run.sampleCount = model.SampleCount;
    run.parameters = comparison::ParameterValues(model.Params);
    std::uint64_t runBytes = model.Time.capacity() * sizeof(double);
    for (const std::vector<double>& s : model.Series)
        runBytes += s.capacity() * sizeof(double);
    return runs.Keep(run, runBytes);
}

GraphData KeptGraphData(const comparison::KeptRun& kept)
{
    GraphData d;
    for (std::size_t s = 0; s < d.Series.size() && s < kept.series.size(); ++s)
        d.Series[s] = kept.series[s];
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

} // namespace pelisond
