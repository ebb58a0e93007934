#pragma once

#include "GimbalModel.h"
#include "SimulationModel.h"

#include <memory>

namespace veltrami {

// The gimbal gyroscope seen through the front ends' common model interface. Works on a model
// of its own or on one owned elsewhere (a main window's, which its other windows read).
class GimbalSimulation final : public gyromodel::SimulationModel {
public:
    GimbalSimulation();
    explicit GimbalSimulation(GimbalModel& model);

    GimbalModel& Model() { return model_; }
    const GimbalModel& Model() const { return model_; }

    std::string_view Name() const override { return "veltrami"; }
    std::string_view DataFileName() const override { return "veltrami.dat"; }
    std::string_view MissingDataMessage() const override { return "Can't find data"; }

    std::size_t ParameterCount() const override { return ModelParameters::Count; }
    std::string_view ParameterName(std::size_t k) const override { return ParameterRows.at(k).name; }
    std::string_view ParameterLabel(std::size_t k) const override { return ParameterRows.at(k).label; }
    double Parameter(std::size_t k) const override { return model_.Params.at(k); }
    void SetParameter(std::size_t k, double value) override;
    using SimulationModel::SetParameter;

    datafile::LoadReport Load(const std::string& path) override { return model_.LoadParameters(path); }
    void RoundTripThroughDisplay() override;
    std::string Check() const override { return model_.CheckParameters(); }
    long double SeriesBytes() const override { return model_.SeriesBytes(); }

    RunStatus Allocate() override { return model_.AllocateSeries(); }
    RunStatus Calculate(const gyromodel::CancelCheck& cancel = {}) override { return model_.Calculate(cancel); }
    void FreeSeries() override { model_.FreeSeries(); }

    std::span<const std::string_view> SeriesNames() const override;
    int Recorded() const override { return model_.Recorded(); }
    std::span<const double> Times() const override;
    std::span<const double> Series(int s) const override;
    gyromodel::Extremes SeriesExtremes(int s) const override;

    long long SampleCount() const override { return model_.SampleCount; }
    long long Capacity() const override { return model_.NominalCapacity(); }
    long long StepsPerSample() const override { return model_.StepsPerSample(); }

private:
    std::unique_ptr<GimbalModel> owned_;
    GimbalModel& model_;
};

} // namespace veltrami
