// pelisond-run's work done with Boost.Odeint's runge_kutta4 instead of the model's run: the same
// command line, data file, display round trip, sampling and CSV, with the right-hand side
// evaluated in full (drift estimate and cosine) at every stage, as the equations define it.
// A yardstick for timing the whole pelisond-run process; not installed.
#include "RunTool.h"
#include "TuningForkModel.h"

#include <boost/numeric/odeint/stepper/runge_kutta4.hpp>

#include <array>
#include <iostream>

using namespace pelisond;

int main(int argc, char** argv)
{
    TuningForkModel model;
    std::array<std::vector<double>, SeriesCount> series;
    std::vector<double> time;

    auto run = [&]() -> RunStatus {
        if (std::string why = model.CheckParameters(); !why.empty())
            return RunStatus::Refused(why);
        const ResonanceStiffnesses s = ComputeResonanceStiffnesses(model.Params);
        model.Params.StiffnessFi = s.Fi;
        model.Params.StiffnessY1 = s.Y1;
        model.Params.StiffnessY2 = s.Y2;
        const RunConstants c = ComputeRunConstants(model.Params);
        using State = std::array<double, StateSize>;
        double drift = 0;
        auto rhs = [&](const State& y, State& f, double) { drift = RightHandSide(c, y.data(), f.data()); };
        boost::numeric::odeint::runge_kutta4<State> stepper;
        for (auto& v : series)
            v.reserve(model.NominalCapacity() + 2);
        time.reserve(model.NominalCapacity() + 2);
        State y{};
        y[sX1] = -c.L;
        y[sX2] = c.L;
        const double L = c.L;
        auto record = [&](double d) {
            const double values[SeriesCount] = {y[sFi], y[sFiDot], y[sX1] + L, y[sX2] - L, y[sY1], y[sY2],
                                                y[sX1Dot], y[sX2Dot], y[sY1Dot], y[sY2Dot], d};
            for (int k = 0; k < SeriesCount; ++k) {
                series[k].push_back(values[k]);
                SeriesExtremes& e = model.Extremes[k];
                if (e.Min > values[k])
                    e.Min = float(values[k]);
                if (e.Max < values[k])
                    e.Max = float(values[k]);
            }
            time.push_back(y[sT]);
        };
        model.Extremes = {};
        record(0);
        const long long T = model.StepsPerSample();
        const double h = model.Params.Step, stop = model.Params.StopTime;
        long long j = 0;
        while (y[sT] < stop) {
            if (j >= T) {
                j = 0;
                record(drift);
            }
            stepper.do_step(rhs, y, y[sT], h);
            ++j;
        }
        model.SampleCount = static_cast<int>(model.NominalSampleCount());
        return RunStatus::Finished();
    };

    runtool::RunToolModel tool;
    tool.program = "pelisond-odeint-anchor";
    tool.dataFileName = "pelisond.dat";
    tool.missingMessage = "Can't find data!";
    tool.load = [&](const std::string& path) { return model.LoadParameters(path); };
    tool.set = [&](std::string_view field, double value) -> std::string {
        const int k = FindParameter(field);
        if (k < 0)
            return "unknown field";
        model.Params.at(k) = static_cast<float>(value);
        return {};
    };
    tool.roundTrip = [&] { RoundTripThroughDisplay(model.Params); };
    tool.run = run;
    tool.csvColumns.assign(SeriesNames.begin(), SeriesNames.end());
    tool.recorded = [&] { return static_cast<int>(time.size()); };
    tool.sample = [&](int i, double& t, std::vector<double>& v) {
        t = time[i];
        v.resize(SeriesCount);
        for (int k = 0; k < SeriesCount; ++k)
            v[k] = series[k][i];
    };
    tool.sampleCount = [&] { return model.SampleCount; };
    tool.capacity = [&] { return model.NominalCapacity(); };
    tool.stepsPerSample = [&] { return model.StepsPerSample(); };
    tool.summaryBody = [](runtool::JsonWriter&) {};
    return runtool::RunToolMain(argc, argv, tool, std::cout, std::cerr);
}
