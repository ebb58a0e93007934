#include "Canvas.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

// Painting text needs the font database of a GUI application.
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
