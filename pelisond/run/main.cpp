// pelisond-run: the tuning-fork gyroscope run without windows, for scripted runs and checks.
#include "RunTool.h"
#include "TuningForkModel.h"

#include <iostream>

using pelisond::ModelParameters;
using pelisond::TuningForkModel;

int main(int argc, char** argv)
{
    TuningForkModel model;
    runtool::RunToolModel tool;
    tool.program = "pelisond-run";
    tool.dataFileName = "pelisond.dat";
    tool.missingMessage = "Can't find data!";
    tool.description =
        "Загружает 30 параметров ММГ камертонного типа, интегрирует уравнения движения методом\n"
        "Рунге-Кутты четвертого порядка с постоянным шагом и выводит записанные отсчеты вместе с\n"
        "оценкой дрейфа в градусах в час.";
    for (const auto& row : pelisond::ParameterRows) {
        tool.fieldNames.emplace_back(row.name);
        tool.fieldLabels.emplace_back(row.label);
    }
    tool.field = [&](std::size_t k) -> float& { return model.Params.at(k); };
    tool.load = [&](const std::string& path) { return model.LoadParameters(path); };
    tool.roundTrip = [&] { pelisond::RoundTripThroughDisplay(model.Params); };
    tool.startTime = [] { return 0.0; };
    tool.stopTime = [&] { return double(model.Params.StopTime); };
    tool.run = [&](const std::function<bool(double)>& cancel) {
        RunStatus status = model.AllocateSeries();
        return status.ok() ? model.Calculate(cancel) : status;
    };
    tool.csvColumns.assign(pelisond::SeriesNames.begin(), pelisond::SeriesNames.end());
    tool.recorded = [&] { return model.Recorded(); };
    tool.sample = [&](int i, double& time, std::vector<double>& v) {
        time = model.Time[i];
        v.resize(pelisond::SeriesCount);
        for (int k = 0; k < pelisond::SeriesCount; ++k)
            v[k] = model.Series[k][i];
    };
    tool.sampleCount = [&] { return model.SampleCount; };
    tool.capacity = [&] { return model.NominalCapacity(); };
    tool.stepsPerSample = [&] { return model.StepsPerSample(); };
    tool.summaryBody = [&](runtool::JsonWriter& json) {
        json.BeginObject("Extremes");
        for (int k = 0; k < pelisond::SeriesCount; ++k) {
            json.BeginObject(pelisond::SeriesNames[k]);
            json.Number("Max", model.Extremes[k].Max);
            json.Number("Min", model.Extremes[k].Min);
            json.EndObject();
        }
        json.EndObject();
        json.BeginObject("Params");
        for (std::size_t k = 0; k < ModelParameters::Count; ++k)
            json.Number(pelisond::ParameterRows[k].name, model.Params.at(k));
        json.EndObject();
    };
    return runtool::RunToolMain(argc, argv, tool, std::cout, std::cerr);
}
