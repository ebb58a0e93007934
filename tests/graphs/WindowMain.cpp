#include "Fonts.h"

#include <QApplication>

#include <gtest/gtest.h>

// The windows need a widget application; Windows face names resolve to their stand-ins.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    gyroapp::InstallFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
