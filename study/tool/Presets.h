#pragma once

#include <string_view>
#include <utility>
#include <vector>

// The characteristics shipped with the tool, each the text of a study file of examples/.
namespace studytool {

struct Preset {
    std::string_view name;
    std::string_view text;
};

const std::vector<Preset>& Presets();

} // namespace studytool
