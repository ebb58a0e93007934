// pelisond-run's work done with Boost.Odeint's runge_kutta4 instead of the model's run: the same
// command line, data file, display round trip, sampling and CSV, with the right-hand side
// evaluated in full (drift estimate and cosine) at every stage, as the equations define it.
// A yardstick for timing the whole pelisond-run process; not installed.
#include "RunTool.h"
#include "TuningForkSimulation.h"

#include <boost/numeric/odeint/stepper/runge_kutta4.hpp>

#include <array>
#include <iostream>

using namespace pelisond;

namespace {

// The model's own run replaced by Odeint's; everything else is pelisond-run's.
class OdeintAnchor : public TuningForkSimulation {
public:
    RunStatus Calculate(const gyromodel::CancelCheck& = {}) override
    {
        TuningForkModel& model = Model();
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
        for (auto& v : model.Series) {
            v.clear();
            v.reserve(model.NominalCapacity() + 2);
        }
        model.Time.clear();
        model.Time.reserve(model.NominalCapacity() + 2);
        model.RecordedCount = 0;
        State y{};
        y[sX1] = -c.L;
        y[sX2] = c.L;
        const double L = c.L;
        auto record = [&](double d) {
            const double values[SeriesCount] = {y[sFi], y[sFiDot], y[sX1] + L, y[sX2] - L, y[sY1], y[sY2],
                                                y[sX1Dot], y[sX2Dot], y[sY1Dot], y[sY2Dot], d};
            for (int k = 0; k < SeriesCount; ++k) {
                model.Series[k].push_back(values[k]);
                pelisond::SeriesExtremes& e = model.Extremes[k];
                if (e.Min > values[k])
                    e.Min = float(values[k]);
                if (e.Max < values[k])
                    e.Max = float(values[k]);
            }
            model.Time.push_back(y[sT]);
            ++model.RecordedCount;
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
        model.Calculated = true;
        return RunStatus::Finished();
    }
};

} // namespace

int main(int argc, char** argv)
{
    OdeintAnchor model;
    runtool::ToolText tool;
    tool.description = "pelisond-run с интегрированием Boost.Odeint (эталон для замеров скорости).";
    return runtool::RunToolMain(argc, argv, model, tool, std::cout, std::cerr);
}
