#pragma once

#include "SimulationModel.h"
#include "TuningForkModel.h"

#include <memory>

namespace pelisond {

// The tuning-fork gyroscope seen through the front ends' common model interface. Works on a
// model of its own or on one owned elsewhere (a main window's, which its other windows read).
class TuningForkSimulation : public gyromodel::SimulationModel {
public:
    TuningForkSimulation();
    explicit TuningForkSimulation(TuningForkModel& model);

    TuningForkModel& Model() { return model_; }
    const TuningForkModel& Model() const { return model_; }

    std::string_view Name() const override { return "pelisond"; }
    std::string_view DataFileName() const override { return "pelisond.dat"; }
    std::string_view MissingDataMessage() const override { return "Can't find data!"; }

    std::size_t ParameterCount() const override { return ModelParameters::Count; }
    std::string_view ParameterName(std::size_t k) const override { return ParameterRows.at(k).name; }
    std::string_view ParameterLabel(std::size_t k) const override { return ParameterRows.at(k).label; }
    double Parameter(std::size_t k) const override { return model_.Params.at(k); }
    void SetParameter(std::size_t k, double value) override { model_.Params.at(k) = NarrowToFloat(value); }
    using SimulationModel::SetParameter;

    datafile::LoadReport Load(const std::string& path) override { return model_.LoadParameters(path); }
    void RoundTripThroughDisplay() override;
    std::string Check() const override { return model_.CheckParameters(); }
    long double SeriesBytes() const override { return model_.SeriesBytes(); }

    RunStatus Allocate() override { return model_.AllocateSeries(); }
    RunStatus Calculate(const gyromodel::CancelCheck& cancel = {}) override { return model_.Calculate(cancel); }
    void FreeSeries() override { model_.FreeSeries(); }

    std::span<const std::string_view> SeriesNames() const override { return pelisond::SeriesNames; }
    std::span<const std::string_view> AllSeriesNames() const override { return pelisond::AllSeriesNames; }
    int Recorded() const override { return model_.Recorded(); }
    std::span<const double> Times() const override;
    std::span<const double> Series(int s) const override;
    gyromodel::Extremes SeriesExtremes(int s) const override;

    long long SampleCount() const override { return model_.SampleCount; }
    long long Capacity() const override { return model_.NominalCapacity(); }
    long long StepsPerSample() const override { return model_.StepsPerSample(); }

private:
    std::unique_ptr<TuningForkModel> owned_;
    TuningForkModel& model_;
};

} // namespace pelisond
