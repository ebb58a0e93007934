#pragma once

#include "SimulationModel.h"

#include <array>
#include <memory>
#include <string_view>

namespace gyromodel {

// The models known by name.
inline constexpr std::array<std::string_view, 2> ModelNames = {"veltrami", "pelisond"};

// A fresh model (parameters all zero until loaded) of that name, or null when there is none.
std::unique_ptr<SimulationModel> MakeModel(std::string_view name);

} // namespace gyromodel
