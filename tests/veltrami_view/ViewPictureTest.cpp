// What the panel shows, read back from the X server.
#include "ViewFixture.h"

#include "Field.h"
#include "Forms.h"
#include "Main.h"
#include "OpenGLPanel.h"

#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>

namespace viewtest {
namespace {

using veltrami::Form1;
using veltrami::Form2;

TEST_F(ViewTest, ShippedDataShowsBothFramesTheRotorAndTheAxesOnBlack)
{
    Start(ShippedDataWith());
    Calculate();
    ShowView();
    const QImage picture = Picture(0, 0, 0);
    Keep(picture, QStringLiteral("shipped"));
    Keep(Form2->screen()->grabWindow(Form2->winId()).toImage(), QStringLiteral("view-window"));
    ASSERT_EQ(picture.size(), QSize(389, 389));
    EXPECT_TRUE(services.Errors.isEmpty()) << services.Errors.join(QLatin1Char('|')).toStdString();

    EXPECT_TRUE(IsBlack(picture.pixel(3, 3)));
    EXPECT_TRUE(IsBlack(picture.pixel(385, 385)));
    EXPECT_GT(CountNear(picture, OuterFramePoint(0, 0.975f, 0.75f), 2, IsBlue), 12) << "outer frame, top bar";
    EXPECT_GT(CountNear(picture, OuterFramePoint(0, -0.975f, -0.75f), 2, IsBlue), 12) << "outer frame, bottom bar";
    EXPECT_GT(CountNear(picture, InnerFramePoint(0.975f, 0, 1.0f), 2, IsGreen), 12) << "inner frame, side bar";
    EXPECT_GT(CountNear(picture, InnerFramePoint(0.25f, 0.3f, 0), 2, IsGrey), 12) << "rotor face";
    for (const QPoint tip : {AxesPoint(9, 0, 0), AxesPoint(0, 9.5f, 0), AxesPoint(0, 0, 9)})
        EXPECT_GT(CountNear(picture, tip, 1, IsWhite), 0) << "axis at " << tip.x() << ", " << tip.y();
}

TEST_F(ViewTest, WithoutTorquesOrKineticMomentNothingIsRedAndTheRotorStandsStill)
{
    Start(ShippedDataWith({{KineticMoment, "0"}, {MomentBetAmplitude, "0"}, {MomentAlfAmplitude, "0"}}));
    Calculate();
    ShowView();
    const QImage first = Picture(0, 0, 0);
    Keep(first, QStringLiteral("still"));
    EXPECT_EQ(CountAll(first, IsRed), 0);
    EXPECT_GT(CountNear(first, InnerFramePoint(0.975f, 0, 1.0f), 2, IsGreen), 12) << "the axle's colour stays green";
    EXPECT_GT(CountNear(first, InnerFramePoint(0.25f, 0.3f, 0), 2, IsGrey), 12) << "rotor face";
    EXPECT_EQ(Differing(first, Picture(0, 0, 10)), 0) << "the rotor turned without a kinetic moment";
}

TEST_F(ViewTest, RotorTurnsTwoDegreesPerSampleAndAFullTurnAtSample180)
{
    Start(ShippedDataWith());
    Calculate();
    ShowView();
    const QImage start = Picture(0, 0, 0);
    const QImage fullTurn = Picture(0, 0, 180);
    const QImage twenty = Picture(0, 0, 10);
    const QImage halfTurn = Picture(0, 0, 90);
    Keep(twenty, QStringLiteral("rotor-20-degrees"));
    EXPECT_LE(Differing(start, fullTurn), 10);
    EXPECT_GT(Differing(start, twenty), 200);
    EXPECT_GT(Differing(start, halfTurn), 100) << "the marker sector shows half a turn";
    EXPECT_LE(Differing(Picture(0, 0, 1), Picture(0, 0, 181)), 10);
}

struct ArrowRow {
    const char* name;
    bool outer;  // else the inner frame's arrow
    bool positive;
    float level;
};

// A point on the arrow's head and its mirror across the bar it points at; for the inner
// arrow also a point on the middle of a full-length shaft.
struct ArrowPoints {
    QPoint head, mirror, shaft;
};

ArrowPoints PointsOf(const ArrowRow& row)
{
    const float side = row.positive ? 1.0f : -1.0f;
    if (row.outer) {
        // Positive: from the -x side of the top bar's face at x = -0.1.
        return {OuterFramePoint(-0.2f * side, 0.95f, 1.3f), OuterFramePoint(0.2f * side, 0.95f, 1.3f),
                OuterFramePoint(-0.45f * side, 0.95f, 1.3f)};
    }
    // Positive: down onto the side bar's face at y = 0.1.
    return {InnerFramePoint(0.95f, 0.2f * side, -0.9f), InnerFramePoint(0.95f, -0.2f * side, -0.9f),
            InnerFramePoint(0.95f, 0.45f * side, -0.9f)};
}

TEST_F(ViewTest, TorqueArrowsPointAtTheirFrameFromTheSideTheirDirectionGives)
{
    const ArrowRow rows[] = {
        {"outer, positive", true, true, 1},
        {"outer, negative", true, false, 1},
        {"inner, positive", false, true, 1},
        {"inner, negative", false, false, 1},
        {"inner, positive, level 0: head only", false, true, 0},
        {"outer, negative, level 0: head only", true, false, 0},
    };
    for (const ArrowRow& row : rows) {
        SCOPED_TRACE(row.name);
        Start(ShippedDataWith({{KineticMoment, "0"},
                               {MomentBetAmplitude, row.outer ? "0" : "4"},
                               {MomentAlfAmplitude, row.outer ? "4" : "0"}}));
        Calculate();
        ShowView();
        if (row.outer) {
            Form2->OuterTorquePositive = row.positive;
            Form2->OuterTorqueLevel = row.level;
        } else {
            Form2->InnerTorquePositive = row.positive;
            Form2->InnerTorqueLevel = row.level;
        }
        const QImage picture = Picture(0, 0, 0);
        Keep(picture, QString::fromLatin1(row.name).replace(QLatin1Char(' '), QLatin1Char('-')).remove(QLatin1Char(',')).remove(QLatin1Char(':')));
        const ArrowPoints at = PointsOf(row);
        EXPECT_GT(CountNear(picture, at.head, 2, IsRed), 4);
        EXPECT_EQ(CountNear(picture, at.mirror, 3, IsRed), 0);
        EXPECT_EQ(CountNear(picture, at.shaft, 1, IsRed) > 0, row.level == 1);
        EXPECT_TRUE(services.Errors.isEmpty());
    }
}

} // namespace
} // namespace viewtest
