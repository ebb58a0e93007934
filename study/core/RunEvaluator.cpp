#include "RunEvaluator.h"

#include "Figures.h"
#include "MachineMemory.h"
#include "ModelFactory.h"

#include <limits>
#include <utility>

namespace study {

ModelRunEvaluator::ModelRunEvaluator(const Study& study)
    : study_(study), model_(gyromodel::MakeModel(study.model)), varied_(study.VariedIndices()),
      stopTime_(model_->FindParameter("StopTime"))
{
}

void ModelRunEvaluator::Evaluate(std::span<const long long> runs, std::span<RunOutcome> outcomes,
                                 const gyromodel::CancelCheck& cancel)
{
    for (std::size_t k = 0; k < runs.size(); ++k)
        outcomes[k] = EvaluateOne(runs[k], cancel);
}

PreparedRun PrepareRun(const Study& study, gyromodel::SimulationModel& model, std::span<const int> varied,
                       int stopTimeField, long long run)
{
    PreparedRun p;
    p.outcome.run = run;
    // Every field from the base: a run may have written some (the tuning fork its resonance stiffnesses).
    for (std::size_t k = 0; k < study.baseValues.size(); ++k)
        model.SetParameter(k, study.baseValues[k]);
    // The run's own values at the model's full precision, as the run uses and runs.csv shows them.
    const std::vector<double> drawn = study.RunValues(run);
    for (std::size_t j = 0; j < varied.size(); ++j)
        model.SetParameter(static_cast<std::size_t>(varied[j]), drawn[j]);
    for (int k : varied)
        p.outcome.values.push_back(model.Parameter(static_cast<std::size_t>(k)));
    for (const Figure& f : study.figures)
        p.frequencies.push_back(f.frequencyField >= 0 ? model.Parameter(static_cast<std::size_t>(f.frequencyField))
                                                      : f.frequency);
    p.stopTime = model.Parameter(static_cast<std::size_t>(stopTimeField));
    return p;
}

std::uint64_t RunBytes(const gyromodel::SimulationModel& model)
{
    if (!model.Check().empty())
        return 0;
    const long double bytes = model.SeriesBytes();
    return bytes < 1e19L ? static_cast<std::uint64_t>(bytes) : UINT64_MAX;
}

bool StopAsked(const gyromodel::CancelCheck& cancel)
{
    return cancel && cancel(0);
}

RunOutcome TakeOutcome(const Study& study, const gyromodel::SimulationModel& model, PreparedRun&& prepared,
                       const RunStatus& status)
{
    RunOutcome out = std::move(prepared.outcome);
    out.kind = status.kind;
    out.message = status.message;
    out.figures.assign(study.figures.size(), std::numeric_limits<double>::quiet_NaN());
    if (status.ok()) {
        const auto t = model.Times();
        for (std::size_t k = 0; k < study.figures.size(); ++k) {
            const Figure& f = study.figures[k];
            out.figures[k] = ComputeFigure(f, t, model.Series(f.seriesIndex), prepared.stopTime, prepared.frequencies[k]);
        }
    }
    return out;
}

RunOutcome ModelRunEvaluator::EvaluateOne(long long run, const gyromodel::CancelCheck& cancel)
{
    PreparedRun prepared = PrepareRun(study_, *model_, varied_, stopTime_, run);
    // All the runs in flight together keep within the memory one run may take.
    const machinememory::SeriesShare share(RunBytes(*model_), [&] { return StopAsked(cancel); });
    const RunStatus status = share.Held() ? model_->Run(cancel) : RunStatus::Cancelled("Расчет прерван", 0);
    RunOutcome out = TakeOutcome(study_, *model_, std::move(prepared), status);
    model_->FreeSeries();
    return out;
}

std::unique_ptr<RunEvaluator> MakeModelRunEvaluator(const Study& study)
{
    return std::make_unique<ModelRunEvaluator>(study);
}

} // namespace study
