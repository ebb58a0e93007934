#include "Units.h"

#include <array>

namespace study {

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

void ReplaceAll(std::string& s, std::string_view from, std::string_view to)
{
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

bool LooksLikeUnit(std::string_view token)
{
    constexpr std::array<std::string_view, 8> Words = {"с", "c", "м", "кг", "мкм", "мкг", "рад", "Н"};
    if (token.find('/') != std::string_view::npos || token.find('^') != std::string_view::npos)
        return true;
    for (std::string_view w : Words)
        if (token == w)
            return true;
    return false;
}

} // namespace

std::string UnitOfLabel(std::string_view label)
{
    label = Trim(label);
    std::string_view unit;
    // The labels set their unit off by two spaces, a comma or, failing those, a space before it.
    if (const auto gap = label.rfind("  "); gap != std::string_view::npos) {
        unit = Trim(label.substr(gap));
    } else if (const auto comma = label.rfind(','); comma != std::string_view::npos) {
        unit = Trim(label.substr(comma + 1));
    } else if (const auto space = label.rfind(' '); space != std::string_view::npos) {
        unit = label.substr(space + 1);
    }
    if (unit.empty())
        return {};
    // Only what reads as a unit: a last word of the text itself is not one.
    bool unitLike = false;
    for (std::size_t start = 0; start <= unit.size();) {
        const std::size_t end = std::min(unit.find(' ', start), unit.size());
        unitLike = unitLike || LooksLikeUnit(unit.substr(start, end - start));
        start = end + 1;
    }
    if (!unitLike)
        return {};
    std::string text(unit);
    ReplaceAll(text, "^C", "°C");
    ReplaceAll(text, "^2", "²");
    return text;
}

bool IsRadiansPerSecond(std::string_view unit)
{
    for (std::string_view u : {"1/c", "1/с", "рад/c", "рад/с"})
        if (unit == u)
            return true;
    return false;
}

} // namespace study
