#include "TuningForkSimulation.h"

namespace pelisond {

TuningForkSimulation::TuningForkSimulation() : owned_(std::make_unique<TuningForkModel>()), model_(*owned_) {}

TuningForkSimulation::TuningForkSimulation(TuningForkModel& model) : model_(model) {}

void TuningForkSimulation::RoundTripThroughDisplay()
{
    pelisond::RoundTripThroughDisplay(model_.Params);
}

std::span<const double> TuningForkSimulation::Times() const
{
    return {model_.Time.data(), static_cast<std::size_t>(model_.Recorded())};
}

std::span<const double> TuningForkSimulation::Series(int s) const
{
    const std::vector<double>& series
        = s == DriftAtSampleIndex ? model_.DriftAtSample : model_.Series.at(static_cast<std::size_t>(s));
    return {series.data(), static_cast<std::size_t>(model_.Recorded())};
}

gyromodel::Extremes TuningForkSimulation::SeriesExtremes(int s) const
{
    const pelisond::SeriesExtremes& e
        = s == DriftAtSampleIndex ? model_.DriftAtSampleExtremes : model_.Extremes.at(static_cast<std::size_t>(s));
    return {e.Min, e.Max};
}

} // namespace pelisond
