#pragma once

#include "Ensemble.h"
#include "SimulationModel.h"

#include <array>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace gyromodel {

// The models known by name.
inline constexpr std::array<std::string_view, 2> ModelNames = {"veltrami", "pelisond"};

// A fresh model (parameters all zero until loaded) of that name, or null when there is none.
std::unique_ptr<SimulationModel> MakeModel(std::string_view name);

// Runs models made by MakeModel, all of one name, each from its own parameters as its Run
// would: runs that take the same steps go side by side in the lanes of the processor's vector
// registers, the rest one by one. Each model keeps its series; the statuses are in their order.
std::vector<RunStatus> RunTogether(std::span<SimulationModel* const> models, const ensemble::EnsembleOptions& options);

} // namespace gyromodel
