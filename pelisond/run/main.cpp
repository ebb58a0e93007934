// pelisond-run: the tuning-fork gyroscope run without windows, for scripted runs and checks.
#include "RunTool.h"
#include "TuningForkSimulation.h"

#include <iostream>

int main(int argc, char** argv)
{
    pelisond::TuningForkSimulation model;
    runtool::ToolText tool;
    tool.description =
        "Загружает 30 параметров ММГ камертонного типа, интегрирует уравнения движения методом\n"
        "Рунге-Кутты четвертого порядка с постоянным шагом и выводит записанные отсчеты вместе с\n"
        "оценкой дрейфа в градусах в час.";
    return runtool::RunToolMain(argc, argv, model, tool, std::cout, std::cerr);
}
