#pragma once

#include <span>

// Takes each sample as a run records it, in place of the series the run would keep: a study
// takes its figures so, in memory that does not grow with the run's length.
namespace gyromodel {

class SampleSink {
public:
    // A run begins (perhaps again, after it was begun once): the samples before are not its.
    virtual void Begin() = 0;
    // The model time and every series' value, in the order of the model's AllSeriesNames.
    virtual void Sample(double time, std::span<const double> values) = 0;

protected:
    ~SampleSink() = default;
};

} // namespace gyromodel
