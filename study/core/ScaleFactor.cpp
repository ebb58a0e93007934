#include "ScaleFactor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace study {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

double Finite(double x)
{
    return std::isfinite(x) ? x : NaN;
}

} // namespace

LineFit FitLine(std::span<const double> x, std::span<const double> y)
{
    double n = 0, sx = 0, sy = 0;
    for (std::size_t k = 0; k < x.size(); ++k)
        if (std::isfinite(x[k]) && std::isfinite(y[k])) {
            n += 1;
            sx += x[k];
            sy += y[k];
        }
    if (n < 2)
        return {NaN, NaN, NaN};
    const double mx = sx / n, my = sy / n;
    double sxx = 0, sxy = 0;
    for (std::size_t k = 0; k < x.size(); ++k)
        if (std::isfinite(x[k]) && std::isfinite(y[k])) {
            sxx += (x[k] - mx) * (x[k] - mx);
            sxy += (x[k] - mx) * (y[k] - my);
        }
    if (!(sxx > 0))
        return {NaN, NaN, NaN};
    LineFit fit{sxy / sxx, 0, 0};
    fit.intercept = my - fit.slope * mx;
    for (std::size_t k = 0; k < x.size(); ++k)
        if (std::isfinite(x[k]) && std::isfinite(y[k]))
            fit.maxDeviation = std::max(fit.maxDeviation, std::abs(y[k] - (fit.slope * x[k] + fit.intercept)));
    return fit;
}

Characteristic ComputeCharacteristic(const Study& study, std::span<const RunOutcome> rows)
{
    const ScaleFactor& sf = *study.scaleFactor;
    Characteristic c;
    c.rateField = sf.rate;
    std::size_t rateColumn = 0, otherColumn = 0;
    for (std::size_t j = 0; j < study.grid.size(); ++j) {
        if (study.grid[j].field == sf.rate) {
            rateColumn = j;
        } else {
            otherColumn = j;
            c.otherField = study.grid[j].field;
        }
    }
    // Rows by the second field's value, in increasing order.
    std::map<double, std::vector<const RunOutcome*>> groups;
    for (const RunOutcome& row : rows)
        groups[c.otherField.empty() ? 0.0 : row.values[otherColumn]].push_back(&row);

    for (const auto& [other, members] : groups) {
        CharacteristicGroup g;
        if (!c.otherField.empty())
            g.other = other;
        std::vector<double> rates;
        for (const RunOutcome* row : members)
            rates.push_back(row->values[rateColumn]);
        const double fullScaleRate = [&] {
            double m = 0;
            for (double r : rates)
                m = std::max(m, std::abs(r));
            return m;
        }();
        for (int figure : sf.responses) {
            ResponseLine line;
            line.figure = study.figures[static_cast<std::size_t>(figure)].name;
            line.rates = rates;
            for (const RunOutcome* row : members)
                line.responses.push_back(row->figures[static_cast<std::size_t>(figure)]);
            const LineFit fit = FitLine(line.rates, line.responses);
            line.scaleFactor = fit.slope;
            line.offset = fit.intercept;
            line.nonlinearityPercent = Finite(100 * fit.maxDeviation / (std::abs(fit.slope) * fullScaleRate));
            g.responses.push_back(std::move(line));
        }
        g.bias = NaN;
        if (sf.bias >= 0) {
            std::vector<double> drift;
            for (const RunOutcome* row : members) {
                drift.push_back(row->figures[static_cast<std::size_t>(sf.bias)]);
                if (row->values[rateColumn] == 0)
                    g.bias = drift.back();
            }
            // Without a run at zero rate, where the drift's line crosses it.
            if (std::isnan(g.bias))
                g.bias = FitLine(rates, drift).intercept;
        }
        c.groups.push_back(std::move(g));
    }
    return c;
}

Json CharacteristicJson(const Study& study, const Characteristic& c)
{
    Json out = Json::object();
    out["rate"] = c.rateField;
    if (!c.otherField.empty())
        out["by"] = c.otherField;
    Json groups = Json::array();
    for (const CharacteristicGroup& g : c.groups) {
        Json j = Json::object();
        if (g.other)
            j[c.otherField] = *g.other;
        for (const ResponseLine& line : g.responses)
            j[line.figure] = {{"scale_factor", line.scaleFactor},
                              {"offset", line.offset},
                              {"nonlinearity_percent", line.nonlinearityPercent}};
        if (study.scaleFactor->bias >= 0)
            j["bias"] = g.bias;
        groups.push_back(std::move(j));
    }
    out["groups"] = std::move(groups);
    return out;
}

} // namespace study
