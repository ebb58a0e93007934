#pragma once

#include <string_view>

namespace glpanel {

// True when the space-separated extension list holds name as a whole token.
bool ExtensionListHas(const char* list, std::string_view name);

} // namespace glpanel
