#pragma once

#include "DataFileReader.h"
#include "RunStatus.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

// What every front end (windows, run tools, studies) needs from a gyroscope model, whichever
// it is: its parameter table, the data file, the run and the recorded series.
namespace gyromodel {

// Asked now and then during a run with the model time; true stops the run (Cancelled).
using CancelCheck = std::function<bool(double time)>;

// Range of one recorded series as the model keeps it.
struct Extremes {
    double min = 0;
    double max = 0;
};

class SimulationModel {
public:
    virtual ~SimulationModel() = default;

    // "veltrami" or "pelisond".
    virtual std::string_view Name() const = 0;
    // The data file the programs read beside their executable, and the text they give when it is missing.
    virtual std::string_view DataFileName() const = 0;
    virtual std::string_view MissingDataMessage() const = 0;

    // The parameter table in file and field order; names are those of --set.
    virtual std::size_t ParameterCount() const = 0;
    virtual std::string_view ParameterName(std::size_t k) const = 0;
    virtual std::string_view ParameterLabel(std::size_t k) const = 0;
    virtual double Parameter(std::size_t k) const = 0;
    // Stores the value as the model holds it (32 bits; beyond that range an infinity, refused at the run).
    virtual void SetParameter(std::size_t k, double value) = 0;

    // Index of the field with this name, or -1.
    int FindParameter(std::string_view name) const
    {
        for (std::size_t k = 0; k < ParameterCount(); ++k)
            if (ParameterName(k) == name)
                return static_cast<int>(k);
        return -1;
    }
    // Sets a field by name; returns an error text in Russian, empty when set.
    std::string SetParameter(std::string_view name, double value)
    {
        const int k = FindParameter(name);
        if (k < 0)
            return "неизвестное поле '" + std::string(name) + "'";
        SetParameter(static_cast<std::size_t>(k), value);
        return {};
    }

    // Reads the data file into the parameters (unchanged when it cannot be read); the report
    // says whether it could and how many numbers it held in the expected form.
    virtual datafile::LoadReport Load(const std::string& path) = 0;
    // Writes every parameter as its field shows it and reads it back.
    virtual void RoundTripThroughDisplay() = 0;
    // Empty when the parameters give a run that can be made, else the reason in Russian.
    virtual std::string Check() const = 0;

    // Bytes the series of a run with the current parameters take, as Check measures them
    // against the machine's budget.
    virtual long double SeriesBytes() const = 0;
    // Sizes the series for the current parameters (refused, nothing changed, when they cannot be).
    virtual RunStatus Allocate() = 0;
    // One run from the initial state; the series must have been allocated.
    virtual RunStatus Calculate(const CancelCheck& cancel = {}) = 0;
    virtual void FreeSeries() = 0;
    // Allocate and Calculate.
    RunStatus Run(const CancelCheck& cancel = {})
    {
        RunStatus status = Allocate();
        return status.ok() ? Calculate(cancel) : status;
    }

    // The recorded series, named as in the run tools' CSV header.
    virtual std::span<const std::string_view> SeriesNames() const = 0;
    // Those and, after them, the series a model records for studies only (Series takes their
    // indices too).
    virtual std::span<const std::string_view> AllSeriesNames() const { return SeriesNames(); }
    // Index of the series with this name among all of them, or -1.
    int FindSeries(std::string_view name) const
    {
        const auto names = AllSeriesNames();
        for (std::size_t k = 0; k < names.size(); ++k)
            if (names[k] == name)
                return static_cast<int>(k);
        return -1;
    }
    // Samples recorded by the latest run; readers never go past it.
    virtual int Recorded() const = 0;
    // Model times of the recorded samples, and the recorded values of series s.
    virtual std::span<const double> Times() const = 0;
    virtual std::span<const double> Series(int s) const = 0;
    double SampleTime(int i) const { return Times()[static_cast<std::size_t>(i)]; }
    double SeriesValue(int s, int i) const { return Series(s)[static_cast<std::size_t>(i)]; }
    virtual Extremes SeriesExtremes(int s) const = 0;

    // The counts the run tools' summary reports: samples shown, nominal capacity, steps per sample.
    virtual long long SampleCount() const = 0;
    virtual long long Capacity() const = 0;
    virtual long long StepsPerSample() const = 0;
};

} // namespace gyromodel
