#include "ModelParameters.h"

#include "NumberFormat.h"
#include "ParameterValue.h"

#include <cmath>

namespace pelisond {

// Labels and nominal captions exactly as the parameter window shows them; the nominal
// captions are static texts (some with the Cyrillic letter Е), never applied as values.
const std::array<ParameterRow, ModelParameters::Count> ParameterRows = {{
    {&ModelParameters::Step, "Step",
     "Шаг расчета, с", "0.000003", DisplayKind::Fixed, 6, 6, 0},
    {&ModelParameters::PrintStep, "PrintStep",
     "Шаг печати, с", "0,00003", DisplayKind::Fixed, 6, 6, 0},
    {&ModelParameters::StopTime, "StopTime",
     "Время остановки счета,с", "0,119", DisplayKind::General, 5, 0, 0},
    {&ModelParameters::ElementHalfWidth, "ElementHalfWidth",
     "Полуширина колеблющегося ЧЭ  мкм", "500", DisplayKind::General, 6, 0, 0},
    {&ModelParameters::AxisDistance, "AxisDistance",
     "Расстояние от выходной оси до оси подвеса колеблющегося ЧЭ мкм", "1500", DisplayKind::General, 5, 0, 5},
    {&ModelParameters::ExpansionCoef, "ExpansionCoef",
     "Температурный коэффициент линейного расширения 1/^C", "0,0000042", DisplayKind::Fixed, 8, 8, 0},
    {&ModelParameters::ModulusTempCoef, "ModulusTempCoef",
     "Температурный коэффициент модуля упругости E  1/^C ", "0.000001", DisplayKind::Fixed, 8, 8, 0},
    {&ModelParameters::PoissonRatio, "PoissonRatio",
     "Коэффициент Пуассона поперечной деформации", "0,2", DisplayKind::General, 6, 0, 0},
    {&ModelParameters::DampX1, "DampX1",
     "Коэффициент вязкого трения по X1 мкг/c", "49500", DisplayKind::General, 5, 0, 0},
    {&ModelParameters::DampX2, "DampX2",
     "Коэффициент вязкого трения по X2 мкг/c", "49500", DisplayKind::General, 5, 0, 0},
    {&ModelParameters::DampFi, "DampFi",
     "Коэффициент вязкого трения по Fi мкг мкм^2/c", "1150000000", DisplayKind::General, 5, 0, 0},
    {&ModelParameters::DriveAmplitude, "DriveAmplitude",
     "Амплитуда вынуждающей силы мкг мкм/c^2 (0.062 миллиНьют)", "62000000000", DisplayKind::General, 6, 0, 0},
    {&ModelParameters::DriveFrequency, "DriveFrequency",
     "Частота вынуждающей силы  1/c", "62800", DisplayKind::General, 6, 0, 0},
    {&ModelParameters::BaseRate, "BaseRate",
     "Угловая скорость вращения основания 1/c", "1", DisplayKind::General, 6, 0, 0},
    {&ModelParameters::TempDropAbs, "TempDropAbs",
     "Мксимальное значение абсолютного температурного перепада ^C", "0", DisplayKind::General, 6, 0, 0},
    {&ModelParameters::TempDropX, "TempDropX",
     "Максимальное значение температурного перепада по X ^C", "0", DisplayKind::General, 6, 0, 0},
    {&ModelParameters::Mass1, "Mass1",
     "Масса первого колеблющегося ЧЭ  мкг", "39,4", DisplayKind::General, 6, 0, 0},
    {&ModelParameters::Mass2, "Mass2",
     "Масса второго колеблющегося ЧЭ  мкг", "39,4", DisplayKind::General, 3, 0, 0},
    {&ModelParameters::FrameMass, "FrameMass",
     "Масса  элементов рамки ММГ  мкг", "1,2", DisplayKind::General, 3, 0, 0},
    {&ModelParameters::StiffnessFi, "StiffnessFi",
     "(выбир в программе из усл резон) номинальная жесткость по FI мкг мкм^2/c^2", "951Е15", DisplayKind::General, 5, 0, 0},
    {&ModelParameters::StiffnessX1, "StiffnessX1",
     "Номинальная жесткость по X первого  ЧЭ мкг/c^2", "1554Е8", DisplayKind::General, 5, 0, 0},
    {&ModelParameters::StiffnessX2, "StiffnessX2",
     "Номинальная жесткость по X второго  ЧЭ мкг/c^2", "1554Е8", DisplayKind::General, 5, 0, 0},
    {&ModelParameters::StiffnessY1, "StiffnessY1",
     "(выбир в программе из усл резон) номинальная жесткость по Y первого  ЧЭ мкг/c^2", "6448Е8", DisplayKind::General, 5, 0, 0},
    {&ModelParameters::StiffnessY2, "StiffnessY2",
     "Номинальная жесткость по Y второго  ЧЭ мкг/c^2", "6448Е8", DisplayKind::General, 5, 0, 0},
    {&ModelParameters::DampY1, "DampY1",
     "Коэффициент вязкого трения по Y1 мкг/c ", "90000", DisplayKind::General, 5, 0, 0},
    {&ModelParameters::DampY2, "DampY2",
     "Коэффициент вязкого трения по Y2 мкг/c ", "90000", DisplayKind::General, 5, 0, 0},
    {&ModelParameters::FrameElongation, "FrameElongation",
     "Технологическое удлинение по X по обе стороны рамки  мкм", "0", DisplayKind::General, 3, 0, 0},
    {&ModelParameters::ElementElongation, "ElementElongation",
     "Технологическое удлинение по X первого и второго ЧЭ мкм ", "0", DisplayKind::General, 3, 0, 0},
    {&ModelParameters::MassOffsetY1, "MassOffsetY1",
     "Технологическое смещение центра масс по Y первого  ЧЭ мкм ", "0", DisplayKind::General, 3, 0, 0},
    {&ModelParameters::MassOffsetY2, "MassOffsetY2",
     "Технологическое смещение центра масс по Y второго  ЧЭ мкм ", "0", DisplayKind::General, 3, 0, 0},
}};

int FindParameter(std::string_view name)
{
    for (std::size_t k = 0; k < ParameterRows.size(); ++k)
        if (ParameterRows[k].name == name)
            return static_cast<int>(k);
    return -1;
}

std::string FormatParameter(const ModelParameters& params, std::size_t k, const numfmt::Separators& sep)
{
    const ParameterRow& row = ParameterRows[k];
    const double value = params.at(k);
    if (row.kind == DisplayKind::Fixed)
        return numfmt::FormatFixed(value, row.precision, row.decimals, sep);
    return numfmt::FormatGeneral(value, row.precision, sep, row.exponentDigits);
}

void ReadParameters(ModelParameters& params, std::span<const std::string, ModelParameters::Count> texts,
                    std::string_view decimalSeparator)
{
    for (std::size_t k = 0; k < ModelParameters::Count; ++k)
        params.at(k) = parametervalue::NarrowChecked(numfmt::TextToFloat(texts[k], decimalSeparator),
                                                     ParameterRows[k].label);
}

void RoundTripThroughDisplay(ModelParameters& params)
{
    const numfmt::Separators point = numfmt::PointSeparators();
    for (std::size_t k = 0; k < ModelParameters::Count; ++k) {
        if (!std::isfinite(params.at(k)))
            continue;
        params.at(k) = NarrowToFloat(numfmt::TextToFloat(FormatParameter(params, k, point), point.decimal));
    }
}

} // namespace pelisond
