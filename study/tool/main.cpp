// gyro-study: parameter studies of either gyroscope model, from a study file or a preset.
#include "StudyTool.h"

#include <iostream>

int main(int argc, char** argv)
{
    return studytool::StudyToolMain(argc, argv, std::cout, std::cerr);
}
