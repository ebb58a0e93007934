#pragma once

#include "RunEvaluator.h"
#include "Study.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

// The rate characteristic of a gyroscope from a rate sweep: for each response figure the
// least-squares line against the input rate (its slope is the scale factor), the nonlinearity
// as the largest deviation from that line in per cent of full scale (the line's output at
// the largest input rate of the sweep), and the bias as the drift figure at zero rate.
namespace study {

struct LineFit {
    double slope = 0;
    double intercept = 0;
    double maxDeviation = 0;  // largest |y - (slope x + intercept)|
};

// Least squares over the points with finite coordinates; not finite with fewer than two
// distinct x.
LineFit FitLine(std::span<const double> x, std::span<const double> y);

struct ResponseLine {
    std::string figure;
    double scaleFactor = 0;
    double offset = 0;
    double nonlinearityPercent = 0;
    std::vector<double> rates, responses;  // the points fitted
};

// One characteristic; with a second grid field, one per value of it.
struct CharacteristicGroup {
    std::optional<double> other;  // the second field's value
    std::vector<ResponseLine> responses;
    double bias = 0;              // not finite without a bias figure
};

struct Characteristic {
    std::string rateField;
    std::string otherField;       // empty without a second field
    std::vector<CharacteristicGroup> groups;
};

Characteristic ComputeCharacteristic(const Study& study, std::span<const RunOutcome> rows);
Json CharacteristicJson(const Study& study, const Characteristic& c);

} // namespace study
