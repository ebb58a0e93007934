#include "GraphWindows.h"
#include "FormParts.h"
#include "Locale.h"
#include "ScriptedServices.h"
#include "TimeField.h"
#include "TuningForkModel.h"

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

struct Fixture {
    pelisond::TuningForkModel model;
    pelisond::TForm9 choice;
    pelisond::TForm8 graph{model, choice};
    pelisond::TForm5 portrait{model};
    gyroapp::ScriptedServices services;

    Fixture()
    {
        model.Params.PrintStep = 0.001f;
        model.Params.StopTime = 0.119f;
        model.SampleCount = model.RecordedCount = 119;
        for (auto& s : model.Series)
            for (int i = 0; i < 119; ++i)
                s.push_back(std::sin(i * 0.1) * 0.0001);
        for (auto& e : model.Extremes)
            e = {0.0001f, -0.0001f};
        model.Extremes[pelisond::Drift] = {0.002f, -0.0005f};
    }
};

void OpenGraph(Fixture& f)
{
    QTimer::singleShot(50, [&] { f.choice.Button1->click(); });
    f.graph.show();
    QTest::qWait(200);
}

TEST(PelisondGraphWindow, ScaleModeSetsTheNineRanges)
{
    Fixture f;
    OpenGraph(f);
    EXPECT_EQ(f.graph.Edit1->text().toStdString(), timegraph::StopTimeText(0.119f, gyroapp::LocaleSeparators()));
    EXPECT_EQ(f.graph.CurrentRanges()[8], (pelisond::Range{-0.001f, 0.002f}));
    f.graph.RadioGroup1->item(1)->click();
    EXPECT_EQ(f.graph.CurrentRanges()[0], (pelisond::Range{-30, 30}));
    EXPECT_EQ(f.graph.CurrentRanges()[8], (pelisond::Range{-0.001f, 1.5f * 0.002f}));
    f.graph.RadioGroup1->item(0)->click();
    EXPECT_EQ(f.graph.CurrentRanges()[0], (pelisond::Range{-0.0001f, 0.0001f}));
    f.graph.hide();
}

TEST(PelisondGraphWindow, EnterChecksTheTimeAgainstTheEndTime)
{
    Fixture f;
    OpenGraph(f);
    const QString stop = f.graph.Edit1->text();
    struct Row {
        QString typed;
        int notices;
        QString after;
    } rows[] = {{stop, 0, stop}, {QStringLiteral("0"), 0, QStringLiteral("0")}, {QStringLiteral("1"), 1, stop},
                {QStringLiteral("abc"), 1, stop}};
    for (const Row& row : rows) {
        f.services.Clear();
        f.graph.Edit1->setText(row.typed);
        QTest::keyClick(f.graph.Edit1, Qt::Key_Return);
        EXPECT_EQ(f.services.Notices.size(), row.notices) << row.typed.toStdString();
        EXPECT_EQ(f.graph.Edit1->text(), row.after) << row.typed.toStdString();
    }
    f.graph.hide();
}

TEST(PelisondPhasePortraitWindow, PaintsItsDots)
{
    Fixture f;
    f.portrait.show();
    QTest::qWait(50);
    const QImage image = f.portrait.PaintBox1->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += image.pixelColor(x, y) == QColor(Qt::black);
    EXPECT_GT(dark, 500);
    f.portrait.hide();
}

} // namespace
