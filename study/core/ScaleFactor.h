#pragma once

#include "RunEvaluator.h"
#include "Study.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

// The rate characteristic of a gyroscope from a rate sweep, in a test engineer's terms: for
// each response figure the least-squares line against the input rate, its slope the scale
// factor (with its standard error) and its value at zero rate the zero-rate output; the bias
// as the input rate that zero-rate output stands for; the nonlinearity as the largest
// deviation from the line in per cent of full scale (the line's output at the largest input
// rate of the sweep); the asymmetry of the slopes for positive and negative rates; the
// residuals. The drift figure, where one is given, at zero rate.
namespace study {

struct LineFit {
    double slope = 0;
    double intercept = 0;
    double maxDeviation = 0;  // largest |y - (slope x + intercept)|
    double slopeError = 0;    // standard error of the slope; not finite with two points
};

// Least squares over the points with finite coordinates; not finite with fewer than two
// distinct x.
LineFit FitLine(std::span<const double> x, std::span<const double> y);

struct ResponseLine {
    std::string figure;
    double scaleFactor = 0;
    double scaleFactorError = 0;
    double zeroRateOutput = 0;
    double bias = 0;                    // zero-rate output / scale factor, in the rate's unit
    double nonlinearityPercent = 0;
    double asymmetryPercent = 0;        // (K+ - K-) / mean of K+ and K-, in %
    std::vector<double> rates, responses, residuals;  // the points fitted
};

// One characteristic; with a second grid field, one per value of it.
struct CharacteristicGroup {
    std::optional<double> other;  // the second field's value
    std::vector<ResponseLine> responses;
    double driftAtZeroRate = 0;   // not finite without a drift figure
};

// How the characteristic changes with the second field, per unit of it.
struct Coefficients {
    std::vector<double> scaleFactorPpm;   // per response: of the scale factor at the field's value nearest 0
    std::vector<double> bias;             // per response, in the rate's unit
    double driftAtZeroRate = 0;
};

struct Characteristic {
    std::string rateField;
    std::string rateUnit;         // as the parameter table gives it; may be empty
    std::string otherField;       // empty without a second field
    std::vector<CharacteristicGroup> groups;
    std::optional<Coefficients> coefficients;  // with a second field of at least two values
};

Characteristic ComputeCharacteristic(const Study& study, std::span<const RunOutcome> rows);
Json CharacteristicJson(const Study& study, const Characteristic& c);

} // namespace study
