#include "Extensions.h"

namespace glpanel {

bool ExtensionListHas(const char* list, std::string_view name)
{
    if (list == nullptr) return false;
    std::string_view rest(list);
    while (!rest.empty()) {
        const auto end = rest.find(' ');
        const std::string_view token = rest.substr(0, end);
        if (token == name && !token.empty()) return true;
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return false;
}

} // namespace glpanel
