#include "ModelFactory.h"

#include "GimbalEnsemble.h"
#include "GimbalSimulation.h"
#include "TuningForkEnsemble.h"
#include "TuningForkSimulation.h"

#include <stdexcept>
#include <utility>

namespace gyromodel {

namespace {

// The ensembles integrate a contiguous array of the model class: the runs move there and back,
// which moves their series' buffers, not their samples.
template <class Simulation, class Model, class Together>
std::vector<RunStatus> RunAs(std::span<SimulationModel* const> models, const ensemble::EnsembleOptions& options,
                             Together together)
{
    std::vector<Model> lanes(models.size());
    for (std::size_t k = 0; k < models.size(); ++k)
        lanes[k] = std::move(static_cast<Simulation&>(*models[k]).Model());
    std::vector<RunStatus> statuses = together(std::span<Model>(lanes), options);
    for (std::size_t k = 0; k < models.size(); ++k)
        static_cast<Simulation&>(*models[k]).Model() = std::move(lanes[k]);
    return statuses;
}

} // namespace

std::unique_ptr<SimulationModel> MakeModel(std::string_view name)
{
    if (name == "veltrami")
        return std::make_unique<veltrami::GimbalSimulation>();
    if (name == "pelisond")
        return std::make_unique<pelisond::TuningForkSimulation>();
    return nullptr;
}

std::vector<RunStatus> RunTogether(std::span<SimulationModel* const> models, const ensemble::EnsembleOptions& options)
{
    if (models.empty())
        return {};
    const std::string_view name = models.front()->Name();
    for (const SimulationModel* model : models)
        if (model->Name() != name)
            throw std::invalid_argument("RunTogether: models of different names");
    if (name == "pelisond")
        return RunAs<pelisond::TuningForkSimulation, pelisond::TuningForkModel>(
            models, options, [](std::span<pelisond::TuningForkModel> m, const ensemble::EnsembleOptions& o) {
                return pelisond::CalculateTogether(m, o);
            });
    return RunAs<veltrami::GimbalSimulation, veltrami::GimbalModel>(
        models, options, [](std::span<veltrami::GimbalModel> m, const ensemble::EnsembleOptions& o) {
            return veltrami::CalculateTogether(m, o);
        });
}

} // namespace gyromodel
