#include "GimbalSimulation.h"

#include "NarrowToFloat.h"

#include <array>
#include <stdexcept>

namespace veltrami {

namespace {

// The series in the order of the run tool's CSV columns.
constexpr std::array<std::string_view, 6> Names = {"AlfDot", "BetDot", "Alf", "Bet", "MomentBet", "MomentAlf"};

std::vector<double> GimbalModel::*const Columns[] = {
    &GimbalModel::AlfDot, &GimbalModel::BetDot, &GimbalModel::Alf,
    &GimbalModel::Bet, &GimbalModel::MomentBet, &GimbalModel::MomentAlf};

float GimbalModel::*const Minima[] = {
    &GimbalModel::AlfDotMin, &GimbalModel::BetDotMin, &GimbalModel::AlfMin,
    &GimbalModel::BetMin, &GimbalModel::MomentBetMin, &GimbalModel::MomentAlfMin};
float GimbalModel::*const Maxima[] = {
    &GimbalModel::AlfDotMax, &GimbalModel::BetDotMax, &GimbalModel::AlfMax,
    &GimbalModel::BetMax, &GimbalModel::MomentBetMax, &GimbalModel::MomentAlfMax};

std::size_t SeriesIndex(int s)
{
    if (s < 0 || s >= static_cast<int>(Names.size()))
        throw std::out_of_range("veltrami: series index");
    return static_cast<std::size_t>(s);
}

} // namespace

GimbalSimulation::GimbalSimulation() : owned_(std::make_unique<GimbalModel>()), model_(*owned_) {}

GimbalSimulation::GimbalSimulation(GimbalModel& model) : model_(model) {}

void GimbalSimulation::SetParameter(std::size_t k, double value)
{
    model_.Params.at(k) = gyromodel::NarrowToFloat(value);
}

void GimbalSimulation::RoundTripThroughDisplay()
{
    veltrami::RoundTripThroughDisplay(model_.Params);
}

std::span<const std::string_view> GimbalSimulation::SeriesNames() const
{
    return Names;
}

std::span<const double> GimbalSimulation::Times() const
{
    return {model_.Time.data(), static_cast<std::size_t>(model_.Recorded())};
}

std::span<const double> GimbalSimulation::Series(int s) const
{
    return {(model_.*Columns[SeriesIndex(s)]).data(), static_cast<std::size_t>(model_.Recorded())};
}

gyromodel::Extremes GimbalSimulation::SeriesExtremes(int s) const
{
    const std::size_t k = SeriesIndex(s);
    return {model_.*Minima[k], model_.*Maxima[k]};
}

} // namespace veltrami
