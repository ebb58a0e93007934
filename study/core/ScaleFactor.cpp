#include "ScaleFactor.h"

#include "ModelFactory.h"
#include "Units.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>

namespace study {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
// Radians per second in degrees per hour.
constexpr double DegreesPerHour = 180 / std::numbers::pi * 3600;

double Finite(double x)
{
    return std::isfinite(x) ? x : NaN;
}

Json Number(double x)
{
    return std::isfinite(x) ? Json(x) : Json(nullptr);
}

// The slope of the points whose rate has the given sign (zero belongs to both sides).
double SideSlope(std::span<const double> x, std::span<const double> y, double sign)
{
    std::vector<double> xs, ys;
    for (std::size_t k = 0; k < x.size(); ++k)
        if (sign * x[k] >= 0) {
            xs.push_back(x[k]);
            ys.push_back(y[k]);
        }
    return FitLine(xs, ys).slope;
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
        return {NaN, NaN, NaN, NaN};
    const double mx = sx / n, my = sy / n;
    double sxx = 0, sxy = 0;
    for (std::size_t k = 0; k < x.size(); ++k)
        if (std::isfinite(x[k]) && std::isfinite(y[k])) {
            sxx += (x[k] - mx) * (x[k] - mx);
            sxy += (x[k] - mx) * (y[k] - my);
        }
    if (!(sxx > 0))
        return {NaN, NaN, NaN, NaN};
    LineFit fit{sxy / sxx, 0, 0, NaN};
    fit.intercept = my - fit.slope * mx;
    double squares = 0;
    for (std::size_t k = 0; k < x.size(); ++k)
        if (std::isfinite(x[k]) && std::isfinite(y[k])) {
            const double r = y[k] - (fit.slope * x[k] + fit.intercept);
            fit.maxDeviation = std::max(fit.maxDeviation, std::abs(r));
            squares += r * r;
        }
    if (n > 2)
        fit.slopeError = std::sqrt(squares / (n - 2) / sxx);
    return fit;
}

Characteristic ComputeCharacteristic(const Study& study, std::span<const RunOutcome> rows)
{
    const ScaleFactor& sf = *study.scaleFactor;
    Characteristic c;
    c.rateField = sf.rate;
    if (const auto model = gyromodel::MakeModel(study.model))
        if (const int k = model->FindParameter(sf.rate); k >= 0)
            c.rateUnit = UnitOfLabel(model->ParameterLabel(static_cast<std::size_t>(k)));
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
            line.scaleFactorError = fit.slopeError;
            line.zeroRateOutput = fit.intercept;
            line.bias = Finite(fit.intercept / fit.slope);
            line.nonlinearityPercent = Finite(100 * fit.maxDeviation / (std::abs(fit.slope) * fullScaleRate));
            const double up = SideSlope(line.rates, line.responses, 1), down = SideSlope(line.rates, line.responses, -1);
            line.asymmetryPercent = Finite(100 * (up - down) / ((up + down) / 2));
            for (std::size_t k = 0; k < rates.size(); ++k)
                line.residuals.push_back(line.responses[k] - (fit.slope * rates[k] + fit.intercept));
            g.responses.push_back(std::move(line));
        }
        g.driftAtZeroRate = NaN;
        if (sf.drift >= 0) {
            std::vector<double> drift;
            for (const RunOutcome* row : members) {
                drift.push_back(row->figures[static_cast<std::size_t>(sf.drift)]);
                if (row->values[rateColumn] == 0)
                    g.driftAtZeroRate = drift.back();
            }
            // Without a run at zero rate, where the drift's line crosses it.
            if (std::isnan(g.driftAtZeroRate))
                g.driftAtZeroRate = FitLine(rates, drift).intercept;
        }
        c.groups.push_back(std::move(g));
    }

    if (!c.otherField.empty() && c.groups.size() >= 2) {
        Coefficients k;
        std::vector<double> others, drift;
        std::size_t nearestZero = 0;
        for (std::size_t i = 0; i < c.groups.size(); ++i) {
            others.push_back(*c.groups[i].other);
            drift.push_back(c.groups[i].driftAtZeroRate);
            if (std::abs(others[i]) < std::abs(others[nearestZero]))
                nearestZero = i;
        }
        for (std::size_t r = 0; r < sf.responses.size(); ++r) {
            std::vector<double> factors, biases;
            for (const CharacteristicGroup& g : c.groups) {
                factors.push_back(g.responses[r].scaleFactor);
                biases.push_back(g.responses[r].bias);
            }
            const LineFit f = FitLine(others, factors);
            const double reference = f.slope * others[nearestZero] + f.intercept;
            k.scaleFactorPpm.push_back(Finite(f.slope / reference * 1e6));
            k.bias.push_back(FitLine(others, biases).slope);
        }
        k.driftAtZeroRate = sf.drift >= 0 ? FitLine(others, drift).slope : NaN;
        c.coefficients = std::move(k);
    }
    return c;
}

Json CharacteristicJson(const Study& study, const Characteristic& c)
{
    const bool inDegrees = IsRadiansPerSecond(c.rateUnit);
    Json out = Json::object();
    out["rate"] = c.rateField;
    if (!c.rateUnit.empty())
        out["rate_unit"] = c.rateUnit;
    if (!c.otherField.empty())
        out["by"] = c.otherField;
    Json groups = Json::array();
    for (const CharacteristicGroup& g : c.groups) {
        Json j = Json::object();
        if (g.other)
            j[c.otherField] = *g.other;
        for (const ResponseLine& line : g.responses) {
            Json r = Json::object();
            r["scale_factor"] = Number(line.scaleFactor);
            r["scale_factor_se"] = Number(line.scaleFactorError);
            r["zero_rate_output"] = Number(line.zeroRateOutput);
            r["bias"] = Number(line.bias);
            if (inDegrees)
                r["bias_deg_per_h"] = Number(line.bias * DegreesPerHour);
            r["nonlinearity_percent"] = Number(line.nonlinearityPercent);
            r["asymmetry_percent"] = Number(line.asymmetryPercent);
            Json residuals = Json::array();
            for (double x : line.residuals)
                residuals.push_back(Number(x));
            r["residuals"] = std::move(residuals);
            j[line.figure] = std::move(r);
        }
        if (study.scaleFactor->drift >= 0)
            j["drift_at_zero_rate"] = Number(g.driftAtZeroRate);
        groups.push_back(std::move(j));
    }
    out["groups"] = std::move(groups);
    if (c.coefficients) {
        // Per unit of the second field.
        Json k = Json::object();
        for (std::size_t r = 0; r < c.coefficients->bias.size(); ++r) {
            Json j = Json::object();
            j["scale_factor_ppm"] = Number(c.coefficients->scaleFactorPpm[r]);
            j["bias"] = Number(c.coefficients->bias[r]);
            if (inDegrees)
                j["bias_deg_per_h"] = Number(c.coefficients->bias[r] * DegreesPerHour);
            k[c.groups.front().responses[r].figure] = std::move(j);
        }
        if (study.scaleFactor->drift >= 0)
            k["drift_at_zero_rate"] = Number(c.coefficients->driftAtZeroRate);
        out["per_" + c.otherField] = std::move(k);
    }
    return out;
}

} // namespace study
