#include "ModelFactory.h"

#include "GimbalSimulation.h"
#include "TuningForkSimulation.h"

namespace gyromodel {

std::unique_ptr<SimulationModel> MakeModel(std::string_view name)
{
    if (name == "veltrami")
        return std::make_unique<veltrami::GimbalSimulation>();
    if (name == "pelisond")
        return std::make_unique<pelisond::TuningForkSimulation>();
    return nullptr;
}

} // namespace gyromodel
