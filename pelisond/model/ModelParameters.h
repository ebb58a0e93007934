#pragma once

#include "NarrowToFloat.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace numfmt { struct Separators; }

namespace pelisond {

// The 30 inputs of the tuning-fork gyroscope, 32-bit as the data file and the parameter
// window hold them, in the order of the file and of the fields Edit1 .. Edit30.
// Lengths in micrometres, masses in micrograms, times in seconds.
struct ModelParameters {
    float Step = 0;
    float PrintStep = 0;
    float StopTime = 0;
    float ElementHalfWidth = 0;
    float AxisDistance = 0;
    float ExpansionCoef = 0;
    float ModulusTempCoef = 0;
    float PoissonRatio = 0;
    float DampX1 = 0;
    float DampX2 = 0;
    float DampFi = 0;
    float DriveAmplitude = 0;
    float DriveFrequency = 0;
    float BaseRate = 0;
    float TempDropAbs = 0;
    float TempDropX = 0;
    float Mass1 = 0;
    float Mass2 = 0;
    float FrameMass = 0;
    float StiffnessFi = 0;
    float StiffnessX1 = 0;
    float StiffnessX2 = 0;
    float StiffnessY1 = 0;
    float StiffnessY2 = 0;
    float DampY1 = 0;
    float DampY2 = 0;
    float FrameElongation = 0;
    float ElementElongation = 0;
    float MassOffsetY1 = 0;
    float MassOffsetY2 = 0;

    static constexpr std::size_t Count = 30;

    // Parameter k (0-based) in file and field order.
    float& at(std::size_t k);
    float at(std::size_t k) const;
};

// How a field is written into its edit box.
enum class DisplayKind { Fixed, General };

// One row of the parameter table: field name, label and nominal caption of the
// parameter window, and the format the field is written with.
struct ParameterRow {
    float ModelParameters::*field;
    std::string_view name;
    std::string_view label;
    std::string_view nominal;
    DisplayKind kind;
    int precision;
    int decimals;        // fixed format only
    int exponentDigits;  // general format only
};

extern const std::array<ParameterRow, ModelParameters::Count> ParameterRows;

// Index of the field with this name, or -1.
int FindParameter(std::string_view name);

inline float& ModelParameters::at(std::size_t k) { return this->*ParameterRows[k].field; }
inline float ModelParameters::at(std::size_t k) const { return this->*ParameterRows[k].field; }

using gyromodel::NarrowToFloat;

// Text of field k as its edit box shows it.
std::string FormatParameter(const ModelParameters& params, std::size_t k, const numfmt::Separators& sep);

// Converts the edit texts back into the fields, in field order, each narrowed to 32 bits.
// The first text that is not a number raises numfmt::ConversionError, one beyond the 32-bit
// range parametervalue::OutOfRange; the fields before it already hold their new values, it
// and the later ones keep theirs.
void ReadParameters(ModelParameters& params, std::span<const std::string, ModelParameters::Count> texts,
                    std::string_view decimalSeparator);

// Writes every field as its edit box shows it and reads it back, so that the model works
// with the values as displayed (Mass2 to 3 significant digits, Step to 6 decimals, ...).
// Fields that are not finite cannot be displayed and are left as they are.
void RoundTripThroughDisplay(ModelParameters& params);

} // namespace pelisond
