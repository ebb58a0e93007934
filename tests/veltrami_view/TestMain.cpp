#include "Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    gyroapp::Application app(argc, argv, QStringLiteral("veltrami"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
