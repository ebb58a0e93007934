#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace veltrami {

// The 27 inputs of the gimbal gyroscope, 32-bit as the data file and the parameter
// window hold them, in the order of the file and of the fields Edit1 .. Edit27.
struct ModelParameters {
    float Step = 0;
    float PrintStep = 0;
    float StopTime = 0;
    float Mass = 0;
    float DampAlfNominal = 0;
    float DampBetNominal = 0;
    float Gravity = 0;
    float InertiaEquatorial = 0;
    float InertiaPolar = 0;
    float InnerInertiaX1 = 0;
    float InnerInertiaY1 = 0;
    float InnerInertiaZ1 = 0;
    float OuterInertiaX2 = 0;
    float KineticMoment = 0;
    float MassOffsetZ = 0;
    float MomentBetAmplitude = 0;
    float MomentBetFrequency = 0;
    float MomentAlfAmplitude = 0;
    float MomentAlfFrequency = 0;
    float DampMax = 0;
    float DampMin = 0;
    float DampFrequency = 0;
    float InitialTime = 0;
    float InitialAlfRate = 0;
    float InitialBetRate = 0;
    float InitialAlf = 0;
    float InitialBet = 0;

    static constexpr std::size_t Count = 27;

    // Parameter k (0-based) in file and field order.
    float& at(std::size_t k);
    float at(std::size_t k) const;
};

// One row of the parameter table: field name, label and nominal caption of the
// parameter window, and the significant digits the field is written with.
struct ParameterRow {
    float ModelParameters::*field;
    std::string_view name;
    std::string_view label;
    std::string_view nominal;
    int digits;
    int exponentDigits;
};

extern const std::array<ParameterRow, ModelParameters::Count> ParameterRows;

// Index of the field with this name, or -1.
int FindParameter(std::string_view name);

inline float& ModelParameters::at(std::size_t k) { return this->*ParameterRows[k].field; }
inline float ModelParameters::at(std::size_t k) const { return this->*ParameterRows[k].field; }

} // namespace veltrami
