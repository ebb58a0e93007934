// The view driving the main window's timer, its buttons and its texture.
#include "ViewFixture.h"

#include "Field.h"
#include "Forms.h"
#include "Input1.h"
#include "Main.h"
#include "OpenGLPanel.h"
#include "Playback.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <GL/gl.h>

#include <vector>

namespace viewtest {
namespace {

using veltrami::Form1;
using veltrami::Form2;

QString TimeLabel(const char* seconds)
{
    return QStringLiteral("Время, сек ") + QString::fromLatin1(seconds).replace(QLatin1Char('.'), QLocale().decimalPoint());
}

TEST_F(ViewTest, RewindThenStartReplaysFromSampleOne)
{
    Start(ShippedDataWith({{26, "0.5"}}));  // alpha away from 0 at the first sample
    Calculate();
    ShowView();
    Form1->CurrentSample = 50;
    QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
    ASSERT_TRUE(Form1->Timer1->isActive());
    Form2->ViewAlpha = 1;
    Form2->InnerTorqueLevel = 0.37f;

    QTest::mouseClick(Form2->Button3, Qt::LeftButton);
    EXPECT_FALSE(Form1->Timer1->isActive());
    EXPECT_FALSE(Form2->SpeedButton1->isChecked());
    EXPECT_EQ(Form1->CurrentSample, 0);
    EXPECT_EQ(Form2->Label1->text(), TimeLabel("0.000"));
    ASSERT_NE(Form1->Model.Alf[0], 0.0);
    EXPECT_EQ(Form2->ViewAlpha, veltrami::ViewAngle(Form1->Model.Alf[0]));
    EXPECT_EQ(Form2->InnerTorqueLevel, 0.37f) << "the moment indicators keep their last values";

    // What each tick left in the view, seen right after the main window's handler.
    std::vector<std::pair<int, QString>> ticks;
    QObject::connect(Form1->Timer1, &QTimer::timeout, Form2,
                     [&ticks] { ticks.emplace_back(Form1->CurrentSample, Form2->Label1->text()); });
    QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&ticks] { return !ticks.empty(); }, 5000));
    QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
    EXPECT_FALSE(Form1->Timer1->isActive());
    EXPECT_EQ(ticks.front().first, 1);
    EXPECT_EQ(ticks.front().second, TimeLabel("0.010"));
}

TEST_F(ViewTest, StartStopDrivesTheTimerAndHidingTheViewStopsIt)
{
    Start(ShippedDataWith());
    Calculate();
    bool ranWhileShown = false;
    bool stoppedBySecondPress = false;
    WhenShown(Form2, [&] {
        QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
        QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
        stoppedBySecondPress = !Form1->Timer1->isActive() && !Form2->SpeedButton1->isChecked();
        QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
        ranWhileShown = Form1->Timer1->isActive() && Form2->SpeedButton1->isChecked() &&
                        QTest::qWaitFor([] { return Form1->CurrentSample > 2; }, 5000);
        Form2->close();
    });
    QTest::mouseClick(Form1->Button3, Qt::LeftButton);
    EXPECT_TRUE(stoppedBySecondPress);
    EXPECT_TRUE(ranWhileShown);
    EXPECT_FALSE(Form1->Timer1->isActive());
    EXPECT_FALSE(Form2->SpeedButton1->isChecked());
    const int stoppedAt = Form1->CurrentSample;
    QTest::qWait(50);
    EXPECT_EQ(Form1->CurrentSample, stoppedAt);
}

TEST_F(ViewTest, SpeedBarSetsTheTimerIntervalAndFactorBarsShowTheirFactor)
{
    Start(ShippedDataWith());
    Calculate();
    EXPECT_EQ(Form1->Timer1->interval(), 100);
    ShowView();
    EXPECT_EQ(Form1->Timer1->interval(), 10) << "showing takes the bar's right end";
    Form2->TrackBar3->setValue(0);
    EXPECT_EQ(Form1->Timer1->interval(), 100);
    Form2->TrackBar3->setValue(90);
    EXPECT_EQ(Form1->Timer1->interval(), 10);
    Form2->TrackBar3->setValue(35);
    Form2->hide();
    Form1->Timer1->setInterval(100);
    ShowView();
    EXPECT_EQ(Form1->Timer1->interval(), 65);

    Form2->TrackBar1->setValue(25000);
    Form2->TrackBar2->setValue(1);
    EXPECT_EQ(Form2->TrackBar1->toolTip(), QStringLiteral("25000"));
    EXPECT_EQ(Form2->TrackBar2->toolTip(), QStringLiteral("1"));
}

TEST_F(ViewTest, FactorBarsMagnifyTheAnglesAtEachPaint)
{
    Start(ShippedDataWith({{KineticMoment, "0"}}));
    Calculate();
    ShowView();
    Form2->TrackBar1->setValue(10000);
    Form2->TrackBar2->setValue(10000);
    const QImage tenThousandTimes = Picture(0.003f, 0.002f, 0);
    Keep(tenThousandTimes, QStringLiteral("alpha-30-beta-20"));
    EXPECT_GT(CountNear(tenThousandTimes, OuterFramePoint(0, 0.975f, 1.0f, 30), 2, IsBlue), 12);
    EXPECT_GT(CountNear(tenThousandTimes, InnerFramePoint(-0.975f, 0, -1.0f, 30, 20), 2, IsGreen), 12);

    Form2->TrackBar1->setValue(20000);
    Form2->TrackBar2->setValue(40000);
    EXPECT_EQ(Differing(tenThousandTimes, Picture(0.0015f, 0.0005f, 0)), 0) << "same factor times angle";
    EXPECT_GT(Differing(tenThousandTimes, Picture(0.003f, 0.002f, 0)), 1000);
}

TEST_F(ViewTest, UnusableTextureIsToldOnceAndTheSceneIsDrawnWithout)
{
    struct Row {
        const char* name;
        QString path;
        const char* reason;
        GLint shading;  // a file not read ends the set-up before the flat shading
    };
    QImage odd(100, 48, QImage::Format_RGB32);
    odd.fill(Qt::yellow);
    ASSERT_TRUE(odd.save(dir.filePath(QStringLiteral("odd.bmp")), "BMP"));
    const Row rows[] = {
        {"missing file", dir.filePath(QStringLiteral("textur1.bmp")), "не читается", GL_SMOOTH},
        {"sides not powers of two", dir.filePath(QStringLiteral("odd.bmp")), "степени двойки", GL_FLAT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        services.Clear();
        texturePath = row.path;
        Start(ShippedDataWith());
        Calculate();
        ShowView();
        for (int i = 0; i < 3; ++i)
            Form2->RepaintView();
        Form2->hide();
        ShowView();
        QTest::qWait(20);
        ASSERT_EQ(services.Errors.size(), 1);
        EXPECT_TRUE(services.Errors[0].contains(row.path)) << services.Errors[0].toStdString();
        EXPECT_TRUE(services.Errors[0].contains(QString::fromUtf8(row.reason))) << services.Errors[0].toStdString();
        EXPECT_TRUE(services.Notices.isEmpty());
        GLint shading = 0;
        Form2->OpenGLPanel1->MakeOpenGLPanelCurrent();
        glGetIntegerv(GL_SHADE_MODEL, &shading);
        Form2->OpenGLPanel1->MakeOpenGLPanelNotCurrent();
        EXPECT_EQ(shading, row.shading);

        const QImage picture = Picture(0, 0, 0);
        Keep(picture, QStringLiteral("untextured"));
        EXPECT_GT(CountNear(picture, OuterFramePoint(0, 0.975f, 0.75f), 2, IsBlue), 12);
        EXPECT_GT(CountNear(picture, InnerFramePoint(0.975f, 0, 1.0f), 2, IsGreen), 12);
        EXPECT_GT(CountNear(picture, InnerFramePoint(0.25f, 0.3f, 0), 2, IsGrey), 12);
        EXPECT_EQ(services.Errors.size(), 1);
    }
}

TEST_F(ViewTest, ViewShowsOnlyRecordedSamples)
{
    Start(ShippedDataWith());
    Calculate();
    Form1->CurrentSample = 1000;
    // A recalculation with a shorter run: the index is left beyond its end.
    veltrami::Form3->Edit(StopTime)->setText(QStringLiteral("1"));
    Form1->Button2Click();
    const int recorded = Form1->Model.Recorded();
    ASSERT_LT(recorded, 1000);
    ASSERT_EQ(Form1->CurrentSample, 1000);

    ShowView();
    EXPECT_EQ(Form2->ShownSample(), recorded - 1);
    const auto last = static_cast<std::size_t>(recorded - 1);
    EXPECT_EQ(Form2->ViewAlpha, veltrami::ViewAngle(Form1->Model.Alf[last]));
    EXPECT_EQ(Form2->ViewBeta, veltrami::ViewAngle(Form1->Model.Bet[last]));
    EXPECT_EQ(Differing(Picture(0, 0, 1000), Picture(0, 0, recorded - 1)), 0) << "the rotor turned past the run";

    // Before any run there is nothing recorded: the rewind shows the rest position.
    Start(ShippedDataWith());
    ShowView();
    Form2->ViewAlpha = 1;
    QTest::mouseClick(Form2->Button3, Qt::LeftButton);
    EXPECT_EQ(Form1->CurrentSample, 0);
    EXPECT_EQ(Form2->ViewAlpha, 0.0f);
    EXPECT_EQ(Form2->ShownSample(), 0);
    EXPECT_EQ(Form2->Label1->text(), TimeLabel("0.000"));
}

} // namespace
} // namespace viewtest
