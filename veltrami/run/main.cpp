// veltrami-run: the gimbal gyroscope run without windows, for scripted runs and checks.
#include "GimbalSimulation.h"
#include "RunTool.h"

#include <iostream>

int main(int argc, char** argv)
{
    veltrami::GimbalSimulation model;
    runtool::ToolText tool;
    tool.description =
        "Загружает 27 параметров гироскопа с кардановым подвесом, интегрирует уравнения движения\n"
        "методом Рунге-Кутты четвертого порядка с постоянным шагом и выводит записанные отсчеты.";
    tool.flatExtremes = {"Alf", "Bet", "AlfDot", "BetDot", "MomentBet", "MomentAlf"};
    return runtool::RunToolMain(argc, argv, model, tool, std::cout, std::cerr);
}
