#include "RunEvaluator.h"

#include "Figures.h"
#include "ModelFactory.h"

#include <limits>

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

RunOutcome ModelRunEvaluator::EvaluateOne(long long run, const gyromodel::CancelCheck& cancel)
{
    gyromodel::SimulationModel& model = *model_;
    RunOutcome out;
    out.run = run;
    // Every field from the base: a run may have written some (the tuning fork its resonance stiffnesses).
    for (std::size_t k = 0; k < study_.baseValues.size(); ++k)
        model.SetParameter(k, study_.baseValues[k]);
    const std::vector<double> drawn = study_.RunValues(run);
    for (std::size_t j = 0; j < varied_.size(); ++j)
        model.SetParameter(static_cast<std::size_t>(varied_[j]), drawn[j]);
    model.RoundTripThroughDisplay();
    for (int k : varied_)
        out.values.push_back(model.Parameter(static_cast<std::size_t>(k)));
    // The figures' frequencies as this run has them, before the run may change its fields.
    std::vector<double> frequencies;
    for (const Figure& f : study_.figures)
        frequencies.push_back(f.frequencyField >= 0 ? model.Parameter(static_cast<std::size_t>(f.frequencyField))
                                                    : f.frequency);
    const double stopTime = model.Parameter(static_cast<std::size_t>(stopTime_));

    const RunStatus status = model.Run(cancel);
    out.kind = status.kind;
    out.message = status.message;
    out.figures.assign(study_.figures.size(), std::numeric_limits<double>::quiet_NaN());
    if (status.ok()) {
        const auto t = model.Times();
        for (std::size_t k = 0; k < study_.figures.size(); ++k) {
            const Figure& f = study_.figures[k];
            out.figures[k] = ComputeFigure(f, t, model.Series(f.seriesIndex), stopTime, frequencies[k]);
        }
    }
    model.FreeSeries();
    return out;
}

std::unique_ptr<RunEvaluator> MakeModelRunEvaluator(const Study& study)
{
    return std::make_unique<ModelRunEvaluator>(study);
}

} // namespace study
