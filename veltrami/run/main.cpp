// veltrami-run: the gimbal gyroscope run without windows, for scripted runs and checks.
#include "GimbalModel.h"
#include "RunTool.h"

#include <iostream>

using veltrami::GimbalModel;
using veltrami::ModelParameters;

int main(int argc, char** argv)
{
    GimbalModel model;
    runtool::RunToolModel tool;
    tool.program = "veltrami-run";
    tool.dataFileName = "veltrami.dat";
    tool.missingMessage = "Can't find data";
    tool.description =
        "Загружает 27 параметров гироскопа с кардановым подвесом, интегрирует уравнения движения\n"
        "методом Рунге-Кутты четвертого порядка с постоянным шагом и выводит записанные отсчеты.";
    for (const auto& row : veltrami::ParameterRows) {
        tool.fieldNames.emplace_back(row.name);
        tool.fieldLabels.emplace_back(row.label);
    }
    tool.field = [&](std::size_t k) -> float& { return model.Params.at(k); };
    tool.load = [&](const std::string& path) { return model.LoadParameters(path); };
    tool.roundTrip = [&] { veltrami::RoundTripThroughDisplay(model.Params); };
    tool.startTime = [&] { return double(model.Params.InitialTime); };
    tool.stopTime = [&] { return double(model.Params.StopTime); };
    tool.run = [&](const std::function<bool(double)>& cancel) {
        RunStatus status = model.AllocateSeries();
        return status.ok() ? model.Calculate(cancel) : status;
    };
    tool.csvColumns = {"AlfDot", "BetDot", "Alf", "Bet", "MomentBet", "MomentAlf"};
    tool.recorded = [&] { return model.Recorded(); };
    tool.sample = [&](int i, double& time, std::vector<double>& v) {
        time = model.Time[i];
        v = {model.AlfDot[i], model.BetDot[i], model.Alf[i], model.Bet[i], model.MomentBet[i], model.MomentAlf[i]};
    };
    tool.sampleCount = [&] { return model.SampleCount; };
    tool.capacity = [&] { return model.NominalCapacity(); };
    tool.stepsPerSample = [&] { return model.StepsPerSample(); };
    tool.summaryBody = [&](runtool::JsonWriter& json) {
        const std::pair<const char*, float> extremes[] = {
            {"AlfMin", model.AlfMin}, {"AlfMax", model.AlfMax},
            {"BetMin", model.BetMin}, {"BetMax", model.BetMax},
            {"AlfDotMin", model.AlfDotMin}, {"AlfDotMax", model.AlfDotMax},
            {"BetDotMin", model.BetDotMin}, {"BetDotMax", model.BetDotMax},
            {"MomentBetMin", model.MomentBetMin}, {"MomentBetMax", model.MomentBetMax},
            {"MomentAlfMin", model.MomentAlfMin}, {"MomentAlfMax", model.MomentAlfMax},
        };
        for (const auto& [name, value] : extremes)
            json.Number(name, value);
        json.BeginObject("Params");
        for (std::size_t k = 0; k < ModelParameters::Count; ++k)
            json.Number(veltrami::ParameterRows[k].name, model.Params.at(k));
        json.EndObject();
    };
    return runtool::RunToolMain(argc, argv, tool, std::cout, std::cerr);
}
