#include "Application.h"
#include "Field.h"
#include "Forms.h"
#include "Input1.h"
#include "Main.h"
#include "ParameterSetMenu.h"
#include "Playback.h"
#include "TuningForkPicture.h"
#include "WindowTestSupport.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using pelisond::Form1;
using pelisond::Form2;
using pelisond::Form3;
using testsupport::Local;
using testsupport::PelisondWindows;

// Everything a run leaves for the other windows to read.
struct RunSnapshot {
    std::array<std::vector<double>, pelisond::SeriesCount> series;
    std::vector<float> extremes;
    int sampleCount = 0;
    int recorded = 0;
    bool calculated = false;

    static RunSnapshot Of(const pelisond::TuningForkModel& m)
    {
        RunSnapshot s{m.Series, {}, m.SampleCount, m.Recorded(), m.Calculated};
        for (const pelisond::SeriesExtremes& e : m.Extremes) {
            s.extremes.push_back(e.Max);
            s.extremes.push_back(e.Min);
        }
        return s;
    }
    bool operator==(const RunSnapshot&) const = default;
};

bool SameParameters(const pelisond::ModelParameters& a, const pelisond::ModelParameters& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Runs the animation tick by tick until the timer stops itself; every sample it shows
// must have been recorded. Returns the number of ticks.
int TickToTheEnd()
{
    Form1->Timer1->start();
    int ticks = 0;
    while (Form1->Timer1->isActive() && ticks < 100000) {
        Form1->Timer1Timer();
        ++ticks;
        EXPECT_TRUE(Form1->SampleRecorded(Form1->CurrentSample)) << "sample " << Form1->CurrentSample;
        if (!Form1->SampleRecorded(Form1->CurrentSample))
            break;
    }
    return ticks;
}

TEST_F(PelisondWindows, MainWindowHasItsControlsAndPicture)
{
    Start(testsupport::ShortRunData());
    EXPECT_EQ(Form1->windowTitle(), QStringLiteral("Моделирование ММГ камертонного типа"));
    EXPECT_EQ(Form1->size(), QSize(438, 189));
    EXPECT_EQ(Form1->minimumSize(), Form1->maximumSize());
    EXPECT_FALSE(Form1->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(Form1->Button1->text(), QStringLiteral("Параметры расчета"));
    EXPECT_EQ(Form1->Button1->geometry(), QRect(24, 12, 113, 25));
    EXPECT_EQ(Form1->Button3->text(), QStringLiteral("Визуализация"));
    EXPECT_EQ(Form1->Button3->geometry(), QRect(24, 64, 113, 25));
    EXPECT_EQ(Form1->Bevel1->geometry(), QRect(216, 12, 197, 161));
    EXPECT_EQ(Form1->Image1->geometry(), QRect(220, 16, 189, 153));
    EXPECT_TRUE(Form1->Bevel1->contentsRect().translated(Form1->Bevel1->pos()).contains(Form1->Image1->geometry()))
        << "the picture inside its frame";
    EXPECT_FALSE(Form1->Timer1->isActive());
    EXPECT_EQ(Form1->Timer1->interval(), 50);
    EXPECT_EQ(Form1->N, 11);
    for (QPushButton* button : {Form1->Button1, Form1->Button3})
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width())
            << button->text().toStdString();

    // A line drawing: mostly white paper, with enough black lines to show the device.
    const QImage picture = Form1->Image1->grab().toImage();
    const int dark = testsupport::CountDark(picture);
    const int all = picture.width() * picture.height();
    EXPECT_GT(dark, all / 40);
    EXPECT_LT(dark, all / 3);
    testsupport::SaveScreenshot(Form1, QStringLiteral("main"));
    QImage large(800, 648, QImage::Format_RGB32);
    QPainter painter(&large);
    pelisond::TuningForkPicture::Draw(painter, large.size());
    painter.end();
    testsupport::SaveScreenshot(large, QStringLiteral("picture"));

    // Every label stands clear of the lines and of the other labels, at the window's size
    // and larger; x1 beside the dashed swing, y1 and y2 beside their arrowheads stand a
    // few pixels clear. The drawing stays on its paper.
    for (const QSize size : {Form1->Image1->size(), large.size()}) {
        const std::vector<QRectF> boxes = pelisond::TuningForkPicture::LabelBoxes(size);
        ASSERT_EQ(boxes.size(), 14u);
        EXPECT_EQ(testsupport::LabelClashes<pelisond::TuningForkPicture>(size), "") << size.width() << "x" << size.height();
        QImage lines(size, QImage::Format_RGB32);
        QPainter linesOnly(&lines);
        pelisond::TuningForkPicture::Draw(linesOnly, size, false);
        linesOnly.end();
        const int clearance = qRound(7.0 * size.height() / 324); // in the drawing's units: 7
        EXPECT_EQ(testsupport::LabelClashes(lines, {boxes[8], boxes[9], boxes[11]}, clearance), "")
            << "x1, y1, y2 at " << size.width() << "x" << size.height();
        QImage whole(size, QImage::Format_RGB32);
        QPainter all(&whole);
        pelisond::TuningForkPicture::Draw(all, size);
        all.end();
        EXPECT_EQ(testsupport::InkAtEdges(whole, 2), 0) << size.width() << "x" << size.height();
    }
}

TEST_F(PelisondWindows, StartUpFillsTheFieldsInTheirFormatsAndUsesTheShownValues)
{
    Start(testsupport::DataWith({{5, "1234567"}, {18, "39.46"}, {19, "1.234"}}));
    struct Row {
        int k;
        QString text;
    } const rows[] = {
        {1, Local("0.000003")},   {2, Local("0.000030")},   {3, Local("0.119")},
        {4, QStringLiteral("500")}, {5, Local("1.2346E00006")}, {6, Local("0.00000420")},
        {7, Local("0.00000100")}, {8, Local("0.2")},        {9, QStringLiteral("49500")},
        {11, Local("1.15E9")},    {12, Local("6.2E10")},    {13, QStringLiteral("62800")},
        {14, QStringLiteral("1")}, {15, QStringLiteral("0")}, {17, Local("39.4")},
        {18, Local("39.5")},      {19, Local("1.23")},      {20, Local("9.51E17")},
        {21, Local("1.554E11")},  {23, Local("6.448E11")},  {25, QStringLiteral("90000")},
        {30, QStringLiteral("0")},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Form3->Edit(row.k)->text(), row.text) << "Edit" << row.k;
    // The model works with the values as shown, not as in the file.
    EXPECT_EQ(Form1->Params.Mass2, 39.5f);
    EXPECT_EQ(Form1->Params.FrameMass, 1.23f);
    EXPECT_EQ(Form1->Params.Step, 0.000003f);
    EXPECT_EQ(Form1->Params.ExpansionCoef, 0.0000042f);
    // Allocated, not calculated.
    EXPECT_EQ(Form1->Model.SampleCount, 3966);
    EXPECT_FALSE(Form1->Model.Calculated);
    EXPECT_EQ(Form1->Model.Recorded(), 0);
    EXPECT_EQ(Form1->CurrentSample, 0);
    EXPECT_EQ(services.BusyPeriods, 0);
    EXPECT_TRUE(services.Notices.isEmpty());
    EXPECT_TRUE(services.Errors.isEmpty());

    EditParameters(
        [] {
            testsupport::SaveScreenshot(Form3, QStringLiteral("parameters-top"));
            Form3->ScrollBox1->verticalScrollBar()->setValue(Form3->ScrollBox1->verticalScrollBar()->maximum());
            testsupport::SaveScreenshot(Form3, QStringLiteral("parameters-bottom"));
        },
        false);
}

QStringList FieldTexts()
{
    QStringList texts;
    for (int k = 1; k <= Form3->RowCount(); ++k)
        texts << Form3->Edit(k)->text();
    return texts;
}

TEST_F(PelisondWindows, SavedParameterSetOpensToTheSameFieldsAndAShorterSetIsRefused)
{
    Start(testsupport::DataWith({{3, "0.003"}, {6, "0.0000051"}, {12, "6.3E10"}, {19, "1.23"}}));
    auto* sets = Form3->findChild<gyroapp::ParameterSetMenu*>();
    ASSERT_NE(sets, nullptr);
    Form3->Edit(14)->setText(Local("-2.5"));
    const QStringList saved = FieldTexts();
    const QString path = dir.filePath(QStringLiteral("set.dat"));
    services.AnswerFiles({path});
    sets->SaveAction->trigger();
    ASSERT_TRUE(services.Notices.isEmpty()) << services.Notices.join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(services.Errors.isEmpty()) << services.Errors.join(QLatin1Char('|')).toStdString();

    for (int k = 1; k <= Form3->RowCount(); ++k)
        Form3->Edit(k)->setText(QStringLiteral("1"));
    const QStringList edited = FieldTexts();
    // The gimbal gyroscope's set holds 27 numbers: refused, the fields left alone.
    const QString gimbal = dir.filePath(QStringLiteral("veltrami-set.dat"));
    ASSERT_TRUE(testsupport::WriteDataFile(
        gimbal, "0.001,0.1,12,1,0.01,0.01,10,0.0003,0.0004,0.0002,0.0002,0.0003,0.0015,1,0,4,20,0,20,0,0,1.125,0,0,0,0,0\n"));
    services.AnswerFiles({gimbal, path});
    sets->OpenAction->trigger();
    ASSERT_EQ(services.Notices.size(), 1);
    EXPECT_TRUE(services.Notices[0].contains(QStringLiteral("27 из 30"))) << services.Notices[0].toStdString();
    EXPECT_EQ(FieldTexts(), edited);
    sets->OpenAction->trigger();
    EXPECT_EQ(FieldTexts(), saved);
    EXPECT_EQ(services.Notices.size(), 1);
    EXPECT_FALSE(Form1->Model.Calculated) << "opening a set calculates nothing";

    // Values finer than their rows' formats show (2.5e-06 would read 0,000002, 62831.85 would
    // read 62831,9): they open with the digits they need, and "Принять" runs with every bit.
    const std::string fine = testsupport::DataWith(
        {{1, "2.5e-06"}, {2, "3.0000002e-05"}, {3, "0.003"}, {4, "500.00003"}, {5, "1500.0001"},
         {6, "4.2000003e-06"}, {7, "1.2345678e-07"}, {13, "62831.85"}, {17, "39.412345"}, {18, "39.41"},
         {19, "1.2345"}, {27, "0.0012345"}, {30, "-7.654321"}});
    const QString finePath = dir.filePath(QStringLiteral("fine.dat"));
    ASSERT_TRUE(testsupport::WriteDataFile(finePath, fine));
    services.AnswerFiles({finePath});
    sets->OpenAction->trigger();
    EXPECT_EQ(Form3->Edit(1)->text(), Local("0.0000025"));
    EXPECT_EQ(Form3->Edit(13)->text(), Local("62831.85"));
    EXPECT_EQ(Form3->Edit(4)->text(), Local("500.00003"));
    EXPECT_EQ(Form3->Edit(12)->text(), Local("6.2E10")) << "a value its format shows exactly keeps its look";
    EXPECT_EQ(Form3->Edit(8)->text(), Local("0.2"));
    const std::vector<float> values = testsupport::FileValues(fine);
    EditParameters([] {}, true);
    ASSERT_TRUE(services.Errors.isEmpty()) << services.Errors.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(Form1->Model.Calculated);
    for (std::size_t k = 0; k < pelisond::ModelParameters::Count; ++k) {
        if (k + 1 == 20 || k + 1 == 23 || k + 1 == 24)
            continue; // the stiffnesses the run derives
        EXPECT_EQ(Form1->Params.at(k), values[k]) << "Edit" << k + 1 << " " << Form3->Edit(int(k) + 1)->text().toStdString();
    }
}

TEST_F(PelisondWindows, MissingDataFileEndsTheProgramAfterTheNotice)
{
    StartWithoutData();
    EXPECT_EQ(services.Notices, QStringList{QStringLiteral("Can't find data!")});
    EXPECT_TRUE(gyroapp::TerminationRequested());
    EXPECT_NE(gyroapp::TerminationCode(), 0);
    // Nothing was read, filled, allocated or calculated.
    EXPECT_TRUE(Form3->Edit(1)->text().isEmpty());
    EXPECT_EQ(Form1->Model.SampleCount, 0);
    EXPECT_EQ(Form1->Params.StopTime, 0.0f);
    EXPECT_EQ(services.BusyPeriods, 0);

    // A program in that state does not enter its event loop.
    auto* app = static_cast<gyroapp::Application*>(QCoreApplication::instance());
    EXPECT_EQ(app->Run(), gyroapp::TerminationCode());
}

TEST_F(PelisondWindows, VisualisingRightAfterStartUpCalculatesOnceWithTheNominalRun)
{
    Start();
    QString timeShown;
    Visualise([&] {
        timeShown = Form2->Label1->text();
        testsupport::SaveScreenshot(Form2, QStringLiteral("view"));
    });
    EXPECT_TRUE(viewOpened);
    EXPECT_EQ(timeShown, QStringLiteral("Время, сек ") + Local("0.0000"));
    EXPECT_TRUE(Form1->Model.Calculated);
    EXPECT_EQ(services.BusyPeriods, 1);
    EXPECT_EQ(services.BusyDepth, 0);
    EXPECT_TRUE(services.Questions.isEmpty());
    EXPECT_TRUE(services.Notices.isEmpty());
    // Ten steps a sample: samples 0 .. 3966 are written, the windows use 0 .. 3965.
    EXPECT_EQ(Form1->Model.SampleCount, 3966);
    EXPECT_EQ(Form1->Model.Recorded(), 3967);
    const RunSnapshot run = RunSnapshot::Of(Form1->Model);

    Visualise();
    EXPECT_TRUE(viewOpened);
    EXPECT_EQ(services.BusyPeriods, 1) << "calculated again";
    EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == run);

    // The nominal run ticks through to the 3964th sample: 0,1189 s.
    Form1->CurrentSample = 3900;
    TickToTheEnd();
    EXPECT_EQ(Form1->CurrentSample, 3964);
    EXPECT_EQ(Form2->Label1->text(), QStringLiteral("Время, сек ") + Local("0.1189"));
}

TEST_F(PelisondWindows, CancelledWindowKeepsTheEditedTextsForTheNextAcceptance)
{
    Start(testsupport::ShortRunData());
    const pelisond::ModelParameters before = Form1->Params;
    Form1->CurrentSample = 5;
    EditParameters([] { Form3->Edit(3)->setText(Local("0.006")); }, false);
    EXPECT_EQ(Form3->Edit(3)->text(), Local("0.006"));
    EXPECT_TRUE(SameParameters(Form1->Params, before));
    EXPECT_EQ(Form1->CurrentSample, 5);
    EXPECT_FALSE(Form1->Model.Calculated);
    EXPECT_EQ(services.BusyPeriods, 0);

    // Opening it again shows the edit, and "Принять" takes it and recalculates.
    QString shown;
    EditParameters([&] { shown = Form3->Edit(3)->text(); }, true);
    EXPECT_EQ(shown, Local("0.006"));
    EXPECT_EQ(Form1->Params.StopTime, 0.006f);
    EXPECT_EQ(Form1->Model.SampleCount, 200);
    EXPECT_TRUE(Form1->Model.Calculated);
    EXPECT_GE(Form1->Model.Recorded(), 200);
    EXPECT_EQ(Form1->CurrentSample, 0);
    EXPECT_EQ(services.BusyPeriods, 1);
    EXPECT_TRUE(services.Questions.isEmpty());
}

TEST_F(PelisondWindows, FieldThatIsNotANumberKeepsTheEarlierRunIntactAndDrawable)
{
    Start(testsupport::ShortRunData());
    Visualise();
    ASSERT_TRUE(Form1->Model.Calculated);
    const RunSnapshot run = RunSnapshot::Of(Form1->Model);
    const float stiffnessX1 = Form1->Params.StiffnessX1;
    const float printStep = Form1->Params.PrintStep;

    // The nominal caption's Cyrillic Е, and the separator of the other locale.
    const QString badTexts[] = {QStringLiteral("1554Е8"), QStringLiteral("1554") + testsupport::OtherDecimal() + "0E8"};
    for (const QString& bad : badTexts) {
        services.Clear();
        Form1->CurrentSample = 7;
        EditParameters(
            [&] {
                Form3->Edit(3)->setText(Local("0.006"));
                Form3->Edit(21)->setText(bad);
            },
            true);
        ASSERT_EQ(services.Errors.size(), 1) << bad.toStdString();
        EXPECT_EQ(services.Errors[0], QStringLiteral("'%1' is not a valid floating point value").arg(bad));
        // Fields before the bad one are taken, it and the later ones are not, nothing else moves.
        EXPECT_EQ(Form1->Params.StopTime, 0.006f);
        EXPECT_EQ(Form1->Params.StiffnessX1, stiffnessX1);
        EXPECT_EQ(Form1->Params.PrintStep, printStep);
        EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == run) << bad.toStdString();
        EXPECT_EQ(Form1->Model.SampleCount, 100);
        EXPECT_EQ(Form1->CurrentSample, 0);
        EXPECT_EQ(Form3->Edit(21)->text(), bad);
        EXPECT_EQ(services.BusyPeriods, 0);

        // The earlier run still plays to its end without calculating again.
        Visualise([] { TickToTheEnd(); });
        EXPECT_TRUE(viewOpened);
        EXPECT_EQ(Form1->CurrentSample, 98);
        EXPECT_EQ(services.BusyPeriods, 0);
        EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == run);
    }

    // Written with the Latin E the same number is accepted.
    services.Clear();
    EditParameters([] { Form3->Edit(21)->setText(QStringLiteral("1554E8")); }, true);
    EXPECT_TRUE(services.Errors.isEmpty());
    EXPECT_EQ(Form1->Params.StiffnessX1, 1554e8f);
    EXPECT_EQ(Form1->Model.SampleCount, 200);
    EXPECT_EQ(services.BusyPeriods, 1);
}

TEST_F(PelisondWindows, CalculationReplacesTheTypedStiffnessesWhileTheFieldsKeepTheText)
{
    Start(testsupport::ShortRunData());
    EditParameters(
        [] {
            Form3->Edit(20)->setText(QStringLiteral("1"));
            Form3->Edit(23)->setText(QStringLiteral("2"));
            Form3->Edit(24)->setText(QStringLiteral("3"));
        },
        true);
    ASSERT_TRUE(Form1->Model.Calculated);
    const pelisond::ResonanceStiffnesses expected = pelisond::ComputeResonanceStiffnesses(Form1->Params);
    EXPECT_EQ(Form1->Params.StiffnessFi, expected.Fi);
    EXPECT_EQ(Form1->Params.StiffnessY1, expected.Y1);
    EXPECT_EQ(Form1->Params.StiffnessY2, expected.Y2);
    EXPECT_NEAR(Form1->Params.StiffnessY1, 6.4486e11, 0.0001e11);
    EXPECT_NEAR(Form1->Params.StiffnessFi, 9.510e17, 0.001e17);
    EXPECT_EQ(Form1->Params.StiffnessX1, 1554e8f) << "only fields 20, 23 and 24 are computed";
    EXPECT_EQ(Form3->Edit(20)->text(), QStringLiteral("1"));
    EXPECT_EQ(Form3->Edit(23)->text(), QStringLiteral("2"));
    EXPECT_EQ(Form3->Edit(24)->text(), QStringLiteral("3"));
    const RunSnapshot first = RunSnapshot::Of(Form1->Model);

    // Accepting again reads the typed texts once more and computes the same stiffnesses and run.
    EditParameters([] {}, true);
    EXPECT_EQ(Form1->Params.StiffnessFi, expected.Fi);
    EXPECT_EQ(Form1->Params.StiffnessY1, expected.Y1);
    EXPECT_EQ(Form1->Params.StiffnessY2, expected.Y2);
    EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == first);
    EXPECT_EQ(services.BusyPeriods, 2);
}

TEST_F(PelisondWindows, TicksAdvanceAndStopTwoSamplesBeforeTheEnd)
{
    Start(testsupport::ShortRunData());
    Visualise();
    ASSERT_EQ(Form1->Model.SampleCount, 100);
    Form1->Timer1->start();
    for (int k = 1; k <= 50; ++k)
        Form1->Timer1Timer();
    EXPECT_EQ(Form1->CurrentSample, 50);
    EXPECT_EQ(Form2->Label1->text(), QStringLiteral("Время, сек ") + Local("0.0015"));
    EXPECT_EQ(TickToTheEnd(), 49);
    EXPECT_FALSE(Form1->Timer1->isActive());
    EXPECT_EQ(Form1->CurrentSample, 98);
    EXPECT_EQ(Form2->Label1->text(), QStringLiteral("Время, сек ") + Local("0.0029"));

    // "Визуализация" after the end starts again at sample 0; stopped earlier, it resumes.
    int shownAt = -1;
    Visualise([&] { shownAt = Form1->CurrentSample; });
    EXPECT_EQ(shownAt, 0);
    Form1->CurrentSample = 40;
    Visualise([&] { shownAt = Form1->CurrentSample; });
    EXPECT_EQ(shownAt, 40);
    EXPECT_EQ(services.BusyPeriods, 1);
}

TEST_F(PelisondWindows, StartStopInTheOpenViewRunsTheTimerAndHidingStopsIt)
{
    Start(testsupport::ShortRunData());
    bool ranToEnd = false;
    Visualise([&] {
        EXPECT_EQ(Form1->Timer1->interval(), 10);
        Form1->Timer1->setInterval(1);
        QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
        EXPECT_TRUE(Form1->Timer1->isActive());
        ranToEnd = QTest::qWaitFor([] { return !Form1->Timer1->isActive(); }, 60000);
    });
    EXPECT_TRUE(ranToEnd);
    EXPECT_EQ(Form1->CurrentSample, 98);
    EXPECT_FALSE(Form2->SpeedButton1->isChecked());

    Form1->CurrentSample = 0;
    Visualise([&] {
        QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
        EXPECT_TRUE(Form1->Timer1->isActive());
    });
    EXPECT_FALSE(Form1->Timer1->isActive()) << "hiding the view stops the animation";
    EXPECT_FALSE(Form2->SpeedButton1->isChecked());
}

TEST_F(PelisondWindows, WithTwoSamplesOrFewerTheFirstTickStops)
{
    struct Row {
        const char* stopTime;
        int sampleCount;
    } const rows[] = {{"0.00007", 2}, {"0.00003", 1}, {"0", 0}};
    for (const Row& row : rows) {
        Restart(testsupport::DataWith({{3, row.stopTime}}));
        int shownAt = -1;
        Visualise([&] { shownAt = Form1->CurrentSample; });
        ASSERT_TRUE(viewOpened) << row.stopTime;
        EXPECT_EQ(Form1->Model.SampleCount, row.sampleCount) << row.stopTime;
        EXPECT_EQ(shownAt, 0) << row.stopTime;
        Form1->Timer1->start();
        Form1->Timer1Timer();
        EXPECT_FALSE(Form1->Timer1->isActive()) << row.stopTime;
        EXPECT_EQ(Form1->CurrentSample, 0) << row.stopTime;
        Visualise([&] { shownAt = Form1->CurrentSample; });
        EXPECT_EQ(shownAt, 0) << row.stopTime;
        EXPECT_EQ(services.BusyPeriods, 1) << row.stopTime;
    }
}

TEST_F(PelisondWindows, RefusedRunIsToldAndKeepsTheEarlierRun)
{
    Start(testsupport::ShortRunData());
    Visualise();
    const RunSnapshot run = RunSnapshot::Of(Form1->Model);
    const pelisond::ModelParameters before = Form1->Params;
    Form1->CurrentSample = 30;

    const char* refused[] = {"0", "-0.000003"};
    for (const char* step : refused) {
        services.Clear();
        EditParameters([&] { Form3->Edit(1)->setText(Local(step)); }, true);
        ASSERT_EQ(services.Notices.size(), 1) << step;
        EXPECT_TRUE(services.Notices[0].contains(QStringLiteral("Шаг расчета"))) << services.Notices[0].toStdString();
        EXPECT_TRUE(services.Errors.isEmpty());
        EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == run) << step;
        EXPECT_TRUE(SameParameters(Form1->Params, before)) << step;
        EXPECT_EQ(services.BusyPeriods, 0) << step;
    }
    Visualise([] { TickToTheEnd(); });
    EXPECT_EQ(Form1->CurrentSample, 98);
}

TEST_F(PelisondWindows, RefusalAtStartUpIsToldAndTheViewStaysClosed)
{
    Start(testsupport::DataWith({{1, "0"}}));
    ASSERT_EQ(services.Notices.size(), 1);
    EXPECT_FALSE(gyroapp::TerminationRequested());
    Visualise();
    EXPECT_FALSE(viewOpened);
    EXPECT_EQ(services.Notices.size(), 2);
    EXPECT_FALSE(Form1->Model.Calculated);
    EXPECT_EQ(services.BusyDepth, 0);
}

TEST_F(PelisondWindows, DivergedRunIsToldAndShowsOnlyTheRecordedSamples)
{
    // A step far too long for the sensing mode: every step is recorded until the state overflows.
    Start(testsupport::DataWith({{1, "0.0001"}}));
    Visualise();
    ASSERT_EQ(services.Notices.size(), 1);
    EXPECT_TRUE(services.Notices[0].startsWith(QStringLiteral("Расчет остановлен"))) << services.Notices[0].toStdString();
    EXPECT_EQ(services.BusyAtMessage.front(), 0) << "the notice came under the hourglass";
    EXPECT_TRUE(viewOpened);
    const int recorded = Form1->Model.Recorded();
    ASSERT_GT(recorded, 0);
    ASSERT_LT(recorded, Form1->Model.SampleCount - 1);
    TickToTheEnd();
    EXPECT_EQ(Form1->CurrentSample, recorded - 1);
    int shownAt = -1;
    Visualise([&] { shownAt = Form1->CurrentSample; });
    EXPECT_EQ(shownAt, 0);
}

TEST_F(PelisondWindows, CancelledLongRunIsToldAndKeepsItsSamples)
{
    // The nominal run is about 40,000 steps: the progress is asked every few thousand.
    Start();
    services.CancelAtUpdate = 4;
    Visualise();
    ASSERT_EQ(services.ProgressTexts.size(), 1);
    ASSERT_EQ(services.Notices.size(), 1);
    EXPECT_TRUE(services.Notices[0].startsWith(QStringLiteral("Расчет прерван"))) << services.Notices[0].toStdString();
    EXPECT_TRUE(viewOpened) << "the samples of a cancelled run can be shown";
    const int recorded = Form1->Model.Recorded();
    EXPECT_GT(recorded, 1);
    EXPECT_LT(recorded, Form1->Model.SampleCount - 1);
    TickToTheEnd();
    EXPECT_EQ(Form1->CurrentSample, recorded - 1);
}

} // namespace
