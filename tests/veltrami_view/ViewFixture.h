#pragma once

#include "GuiTestSupport.h"
#include "ScriptedServices.h"

#include <QImage>
#include <QMatrix4x4>
#include <QPoint>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>

namespace viewtest {

// Parameter numbers (1-based, file order) the view reads.
constexpr int KineticMoment = 14;
constexpr int MomentBetAmplitude = 16;
constexpr int MomentAlfAmplitude = 18;
constexpr int StopTime = 3;

// The data file shipped with the program, with parameter k replaced by the given text.
std::string ShippedDataWith(std::initializer_list<std::pair<int, const char*>> replaced = {});

using testsupport::WhenShown;

// Pixel classes of the scene.
bool IsRed(QRgb c);
bool IsBlue(QRgb c);
bool IsGreen(QRgb c);
bool IsGrey(QRgb c);
bool IsWhite(QRgb c);
bool IsBlack(QRgb c);
// Pixels of a class within radius of a point, and in the whole picture.
int CountNear(const QImage& image, QPoint at, int radius, bool (*is)(QRgb));
int CountAll(const QImage& image, bool (*is)(QRgb));
// Pixels that differ between two pictures of one size.
int Differing(const QImage& a, const QImage& b);

// Where a point of the scene lands in the panel's picture, the view turned and the
// frames at the given angles. Coordinates are those of the outer frame, the inner frame
// (before its 0.9 squeeze along z) or the unmagnified axes.
QPoint OuterFramePoint(float x, float y, float z, double alphaDegrees = 0);
QPoint InnerFramePoint(float x, float y, float z, double alphaDegrees = 0, double betaDegrees = 0);
QPoint AxesPoint(float x, float y, float z);

// veltrami's windows on a data file in a temporary directory, with the shipped texture
// and scripted message boxes.
class ViewTest : public ::testing::Test {
protected:
    void TearDown() override;

    void Start(const std::string& data);
    // "Рассчитать!"; the run must go through without a notice.
    void Calculate();
    // Shows the 3D view without its modal loop and waits until its panel is on screen.
    void ShowView();
    // The panel's picture with the frames at the given angles and the given sample.
    QImage Picture(float viewAlpha, float viewBeta, int sample);
    // Keeps the picture when the run asked for screenshots (GYRO_SCREENSHOTS).
    static void Keep(const QImage& picture, const QString& name);

    QString texturePath = QStringLiteral(VIEW_TEXTURE);
    QTemporaryDir dir;
    gyroapp::ScriptedServices services;
};

} // namespace viewtest
