#include "ModelParameters.h"

namespace veltrami {

const std::array<ParameterRow, ModelParameters::Count> ParameterRows = {{
    {&ModelParameters::Step, "Step", "Шаг расчета, с", "0.1", 5, 2},
    {&ModelParameters::PrintStep, "PrintStep", "Шаг печати, с", "0,1", 4, 0},
    {&ModelParameters::StopTime, "StopTime", "Время остановки счета,с", "12", 5, 0},
    {&ModelParameters::Mass, "Mass", "Масса гироскопа, кг", "1", 6, 0},
    {&ModelParameters::DampAlfNominal, "DampAlfNominal", "Номинал коэффициента демпфирования по alf  Н м с", "0.01", 6, 0},
    {&ModelParameters::DampBetNominal, "DampBetNominal", "Номинал коэффициента демпфирования по beta  Н м с", "0,01", 5, 0},
    {&ModelParameters::Gravity, "Gravity", "Ускорение свободного падения,  m/c^2", "10", 5, 0},
    {&ModelParameters::InertiaEquatorial, "InertiaEquatorial", "Экваториальный момент инерции гироскопа   Н м c^2", "0,0003", 5, 0},
    {&ModelParameters::InertiaPolar, "InertiaPolar", "Полярный момент инерции гироскопа   Н м c^2", "0,0004", 6, 0},
    {&ModelParameters::InnerInertiaX1, "InnerInertiaX1", "Момент инерции внутренней рамки относительно оси x1  Н м c^2", "0,0002", 5, 0},
    {&ModelParameters::InnerInertiaY1, "InnerInertiaY1", "Момент инерции внутренней рамки относительно оси y1  Н м c^2", "0,0002", 5, 0},
    {&ModelParameters::InnerInertiaZ1, "InnerInertiaZ1", "Момент инерции внутренней рамки относительно оси z1  Н м c^2", "0,0003", 5, 0},
    {&ModelParameters::OuterInertiaX2, "OuterInertiaX2", "Момент инерции наружной рамки относительно оси x2  Н м c^2", "0,0015", 5, 0},
    {&ModelParameters::KineticMoment, "KineticMoment", "Кинетический момент  Н м c", "1", 5, 0},
    {&ModelParameters::MassOffsetZ, "MassOffsetZ", "Смещение центра масс гироскопа по оси z,   м", "0", 5, 0},
    {&ModelParameters::MomentBetAmplitude, "MomentBetAmplitude", "Амплитуда гармонич момента внешн воздейств по внутр рамке beta, Н м ", "4", 5, 0},
    {&ModelParameters::MomentBetFrequency, "MomentBetFrequency", "Частота гармонич момента внешн воздейств по внутр рамке beta, 1/c", "20", 6, 0},
    {&ModelParameters::MomentAlfAmplitude, "MomentAlfAmplitude", "Амплитуда гармонич момента внешн воздейств по наруж рамке alf, Н м", "0", 6, 0},
    {&ModelParameters::MomentAlfFrequency, "MomentAlfFrequency", "Частота гармонич внешнего механ воздействия по наруж рамке alf, 1/c", "20", 6, 0},
    {&ModelParameters::DampMax, "DampMax", "Максимальный коэффициент демпфирования по alf, bet  Н м с", "0", 6, 0},
    {&ModelParameters::DampMin, "DampMin", "Минимальный коэффициент демпфирования по alf, bet  Н м с", "0", 6, 0},
    {&ModelParameters::DampFrequency, "DampFrequency", "Частота гармонического изменения коэффициента демпфирования, 1/c", "1.125", 6, 0},
    {&ModelParameters::InitialTime, "InitialTime", "нач условие на время, с", "0", 3, 0},
    {&ModelParameters::InitialAlfRate, "InitialAlfRate", "Начальное условие на угловую скорость  альфа с точкой, рад/c", "0", 3, 0},
    {&ModelParameters::InitialBetRate, "InitialBetRate", "Начальное условие на угловую скорость  бета с точкой, рад/c", "0", 3, 0},
    {&ModelParameters::InitialAlf, "InitialAlf", "Начальное условие на угол альфа, рад", "0", 3, 0},
    {&ModelParameters::InitialBet, "InitialBet", "Начальное условие на угол бета, рад", "0", 3, 0},
}};

int FindParameter(std::string_view name)
{
    for (std::size_t k = 0; k < ParameterRows.size(); ++k)
        if (ParameterRows[k].name == name)
            return static_cast<int>(k);
    return -1;
}

} // namespace veltrami
