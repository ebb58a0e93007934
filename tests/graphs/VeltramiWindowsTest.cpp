#include "GimbalModel.h"
#include "GraphWindows.h"
#include "FormParts.h"
#include "Locale.h"
#include "ScriptedServices.h"
#include "TimeField.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace {

// A gimbal run of 121 samples, 0.1 s apart, with distinct angles and rates.
struct Fixture {
    veltrami::GimbalModel model;
    veltrami::TForm9 choice;
    veltrami::TForm8 graph{model, choice};
    veltrami::TForm5 portrait{model};
    gyroapp::ScriptedServices services;

    Fixture()
    {
        model.Params.PrintStep = 0.1f;
        model.Params.StopTime = 12;
        model.SampleCount = model.RecordedCount = 120;
        for (auto* s : {&model.Alf, &model.Bet, &model.AlfDot, &model.BetDot})
            for (int i = 0; i < 120; ++i)
                s->push_back(std::sin(i * 0.1));
        model.AlfMin = model.BetMin = model.AlfDotMin = model.BetDotMin = -1;
        model.AlfMax = model.BetMax = model.AlfDotMax = model.BetDotMax = 1;
    }
};

// Shows the graph window, lets its activation show the choice, closes the choice with OK.
void OpenGraph(Fixture& f)
{
    QTimer::singleShot(50, [&] { f.choice.Button1->click(); });
    f.graph.show();
    QTest::qWait(200);
}

TEST(VeltramiGraphWindow, OpensWithTheEndTimeAndTheChoiceOfTheAlphaCurve)
{
    Fixture f;
    OpenGraph(f);
    EXPECT_EQ(f.graph.MaskEdit1->text(), QStringLiteral("12"));
    EXPECT_EQ(f.choice.Choice(), (veltrami::CurveChoice{true, false, false, false}));
    EXPECT_EQ(f.graph.PaintBox1->size(), QSize(669, 361));
    const QImage image = f.graph.PaintBox1->grab().toImage();
    EXPECT_EQ(image.pixelColor(40, 2), QColor(Qt::black)) << "plot rectangle";
    f.graph.hide();
}

TEST(VeltramiGraphWindow, EnterChecksTheTimeAgainstTheEndTime)
{
    struct Row {
        const char* typed;
        QStringList notices;
        const char* after;
    } rows[] = {
        {"12", {}, "12"},
        {"0", {}, "0"},
        {"13", {QString::fromUtf8(timegraph::TimeTooLargeMessage)}, "12"},
        {"", {QString::fromStdString(timegraph::TimeNotANumberMessage(""))}, "12"},
    };
    Fixture f;
    OpenGraph(f);
    for (const Row& row : rows) {
        f.services.Clear();
        f.graph.MaskEdit1->setText(QString::fromUtf8(row.typed));
        QTest::keyClick(f.graph.MaskEdit1, Qt::Key_Return);
        EXPECT_EQ(f.services.Notices, row.notices) << row.typed;
        EXPECT_EQ(f.graph.MaskEdit1->text(), QString::fromUtf8(row.after)) << row.typed;
        EXPECT_TRUE(f.graph.isVisible()) << "Enter does not close the window: " << row.typed;
    }
    f.graph.hide();
}

TEST(VeltramiGraphWindow, AFieldWithoutANumberAtRepaintIsReportedAndRestored)
{
    Fixture f;
    OpenGraph(f);
    f.services.Clear();
    f.graph.MaskEdit1->setText(QString());
    f.graph.CheckBox1->click(); // repaints
    QTest::qWait(50);
    EXPECT_EQ(f.services.Notices.size(), 1);
    EXPECT_EQ(f.graph.MaskEdit1->text(), QStringLiteral("12"));
    f.graph.hide();
}

TEST(VeltramiPhasePortraitWindow, SwitchingTheFrameRedraws)
{
    Fixture f;
    for (int i = 0; i < 120; ++i)
        f.model.Bet[i] = 0; // a frame that never turns lies on the middle line
    f.model.BetMin = f.model.BetMax = 0;
    f.portrait.show();
    QTest::qWait(50);
    f.portrait.RadioGroup1->item(1)->click();
    const QImage image = f.portrait.PaintBox1->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        dark += image.pixelColor(569 / 2, y) == QColor(Qt::black);
    EXPECT_GT(dark, 300) << "the beta portrait stands on the middle column";
    f.portrait.hide();
}

} // namespace
