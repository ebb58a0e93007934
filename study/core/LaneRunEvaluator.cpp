#include "LaneRunEvaluator.h"

#include "GimbalEnsemble.h"
#include "GimbalSimulation.h"
#include "MachineMemory.h"
#include "TuningForkEnsemble.h"
#include "TuningForkSimulation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace study {
namespace {

// Model: the model class; Simulation: its adapter on a model owned elsewhere; together: the
// model's ensemble (CalculateTogether).
template <class Model, class Simulation, auto Together>
class LaneRunEvaluator : public RunEvaluator {
public:
    explicit LaneRunEvaluator(const Study& study) : study_(study), varied_(study.VariedIndices())
    {
        for (std::size_t l = 0; l < models_.size(); ++l)
            views_[l] = std::make_unique<Simulation>(models_[l]);
        stopTime_ = views_[0]->FindParameter("StopTime");
    }

    void Evaluate(std::span<const long long> runs, std::span<RunOutcome> outcomes,
                  const gyromodel::CancelCheck& cancel) override
    {
        for (std::size_t first = 0; first < runs.size(); first += models_.size()) {
            const std::size_t n = std::min(models_.size(), runs.size() - first);
            std::array<PreparedRun, ensemble::Width> prepared;
            std::array<std::uint64_t, ensemble::Width> bytes{};
            std::uint64_t total = 0;
            for (std::size_t l = 0; l < n; ++l) {
                prepared[l] = PrepareRun(study_, *views_[l], varied_, stopTime_, runs[first + l]);
                bytes[l] = RunBytes(*views_[l]);
                total = bytes[l] > UINT64_MAX - total ? UINT64_MAX : total + bytes[l];
            }
            ensemble::EnsembleOptions options;
            options.cancel = cancel;
            // All the runs in flight together keep within the memory one run may take: runs
            // too large to be held side by side go one at a time (with the same numbers).
            std::vector<RunStatus> statuses;
            const bool together = total <= machinememory::SeriesBudget();
            for (std::size_t l = 0; l < n; l += together ? n : 1) {
                const std::size_t count = together ? n : 1;
                const machinememory::SeriesShare share(together ? total : bytes[l], [&] { return StopAsked(cancel); });
                if (!share.Held()) {
                    statuses.resize(n, RunStatus::Cancelled(ensemble::CancelledMessage(), 0));
                    break;
                }
                for (RunStatus& status : Together(std::span<Model>(models_.data() + l, count), options))
                    statuses.push_back(std::move(status));
            }
            for (std::size_t l = 0; l < n; ++l) {
                outcomes[first + l] = TakeOutcome(study_, *views_[l], std::move(prepared[l]), statuses[l]);
                views_[l]->FreeSeries();
            }
        }
    }

private:
    const Study& study_;
    std::vector<int> varied_;
    int stopTime_ = -1;
    std::array<Model, ensemble::Width> models_;
    std::array<std::unique_ptr<Simulation>, ensemble::Width> views_;
};

std::vector<RunStatus> TuningForksTogether(std::span<pelisond::TuningForkModel> models, const ensemble::EnsembleOptions& o)
{
    return pelisond::CalculateTogether(models, o);
}

std::vector<RunStatus> GimbalsTogether(std::span<veltrami::GimbalModel> models, const ensemble::EnsembleOptions& o)
{
    return veltrami::CalculateTogether(models, o);
}

using TuningForkLanes = LaneRunEvaluator<pelisond::TuningForkModel, pelisond::TuningForkSimulation, TuningForksTogether>;
using GimbalLanes = LaneRunEvaluator<veltrami::GimbalModel, veltrami::GimbalSimulation, GimbalsTogether>;

} // namespace

bool LanesFit(const Study& study)
{
    if (study.model != "pelisond" && study.model != "veltrami")
        return false;
    for (const std::string& field : study.VariedFields())
        if (field == "Step" || field == "PrintStep" || field == "StopTime" || field == "InitialTime")
            return false;
    return true;
}

std::unique_ptr<RunEvaluator> MakeLaneRunEvaluator(const Study& study)
{
    if (study.model == "pelisond")
        return std::make_unique<TuningForkLanes>(study);
    if (study.model == "veltrami")
        return std::make_unique<GimbalLanes>(study);
    throw std::invalid_argument("no lanes for model " + study.model);
}

} // namespace study
