#include "Application.h"
#include "Choice.h"
#include "ComparisonMenu.h"
#include "Field.h"
#include "Forms.h"
#include "FormParts.h"
#include "Graph.h"
#include "GimbalPicture.h"
#include "Input1.h"
#include "Main.h"
#include "ParameterSetMenu.h"
#include "Playback.h"
#include "WindowTestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QAction>
#include <QCheckBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using testsupport::Local;
using testsupport::VeltramiWindows;
using veltrami::Form1;
using veltrami::Form2;
using veltrami::Form3;

// Everything a run leaves for the other windows to read.
struct RunSnapshot {
    std::vector<double> alfDot, betDot, alf, bet, momentBet, momentAlf;
    std::vector<float> extremes;
    int sampleCount = 0;
    int recorded = 0;
    bool calculated = false;

    static RunSnapshot Of(const veltrami::GimbalModel& m)
    {
        return {m.AlfDot, m.BetDot, m.Alf, m.Bet, m.MomentBet, m.MomentAlf,
                {m.AlfDotMin, m.AlfDotMax, m.BetDotMin, m.BetDotMax, m.AlfMin, m.AlfMax, m.BetMin, m.BetMax,
                 m.MomentBetMin, m.MomentBetMax, m.MomentAlfMin, m.MomentAlfMax},
                m.SampleCount, m.Recorded(), m.Calculated};
    }
    bool operator==(const RunSnapshot&) const = default;
};

bool SameParameters(const veltrami::ModelParameters& a, const veltrami::ModelParameters& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(VeltramiWindows, MainWindowHasItsControlsAndPicture)
{
    Start();
    EXPECT_EQ(Form1->windowTitle(), QStringLiteral("Моделирование гироскопа с кардановым подвесом ротора"));
    EXPECT_EQ(Form1->Button1->text(), QStringLiteral("Параметры расчета"));
    EXPECT_EQ(Form1->Button1->geometry(), QRect(24, 12, 113, 25));
    EXPECT_EQ(Form1->Button2->text(), QStringLiteral("Рассчитать!"));
    EXPECT_EQ(Form1->Button2->geometry(), QRect(24, 44, 75, 25));
    EXPECT_EQ(Form1->Button3->text(), QStringLiteral("Визуализация"));
    EXPECT_EQ(Form1->Button3->geometry(), QRect(152, 12, 85, 25));
    EXPECT_EQ(Form1->Image1->geometry(), QRect(332, 16, 161, 181));
    EXPECT_FALSE(Form1->Timer1->isActive());
    EXPECT_EQ(Form1->Timer1->interval(), 100);
    for (QPushButton* button : {Form1->Button1, Form1->Button2, Form1->Button3})
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width())
            << button->text().toStdString();

    // A line drawing: mostly white paper, with enough black lines to show the device.
    const QImage picture = Form1->Image1->grab().toImage();
    const int dark = testsupport::CountDark(picture);
    const int all = picture.width() * picture.height();
    EXPECT_GT(dark, all / 40);
    EXPECT_LT(dark, all / 3);
    testsupport::SaveScreenshot(Form1, QStringLiteral("main"));
    QImage large(518, 543, QImage::Format_RGB32);
    QPainter painter(&large);
    veltrami::GimbalPicture::Draw(painter, large.size());
    painter.end();
    testsupport::SaveScreenshot(large, QStringLiteral("picture"));

    // Every label stands clear of the lines and of the other labels, at the window's size
    // and larger.
    for (const QSize size : {Form1->Image1->size(), large.size()}) {
        EXPECT_EQ(veltrami::GimbalPicture::LabelBoxes(size).size(), 6u);
        EXPECT_EQ(testsupport::LabelClashes<veltrami::GimbalPicture>(size), "") << size.width() << "x" << size.height();
    }
}

TEST_F(VeltramiWindows, StartUpFillsTheFieldsInTheirRowFormatsAndUsesTheShownValues)
{
    Start(testsupport::DataWith({{1, "0.0000123"}, {2, "0.000002"}, {3, "0.0001"}, {4, "1234567"}, {26, "0.12345"},
                                 {8, "0.00015"}}));
    EXPECT_EQ(Form3->Edit(1)->text(), Local("1.23E-05"));
    EXPECT_EQ(Form3->Edit(2)->text(), QStringLiteral("2E-6"));
    EXPECT_EQ(Form3->Edit(3)->text(), Local("0.0001"));
    EXPECT_EQ(Form3->Edit(4)->text(), Local("1.23457E6"));
    EXPECT_EQ(Form3->Edit(5)->text(), Local("0.01"));
    EXPECT_EQ(Form3->Edit(8)->text(), Local("0.00015"));
    EXPECT_EQ(Form3->Edit(22)->text(), Local("1.125"));
    EXPECT_EQ(Form3->Edit(26)->text(), Local("0.123"));
    EXPECT_EQ(Form3->Edit(27)->text(), QStringLiteral("0"));
    // The model works with the values as shown, not as in the file.
    EXPECT_EQ(Form1->Params.InitialAlf, 0.123f);
    EXPECT_EQ(Form1->Params.Mass, 1234570.0f);
    EXPECT_EQ(Form1->Params.InertiaEquatorial, 0.00015f);
    EXPECT_FALSE(Form1->Model.Calculated);
    EXPECT_TRUE(services.Questions.isEmpty());
    EXPECT_TRUE(services.Errors.isEmpty());
}

TEST_F(VeltramiWindows, NominalStartUpAllocatesAndCalculatesNothing)
{
    Start();
    EXPECT_EQ(Form3->Edit(1)->text(), Local("0.001"));
    EXPECT_EQ(Form3->Edit(2)->text(), Local("0.1"));
    EXPECT_EQ(Form1->Model.SampleCount, 119);
    EXPECT_FALSE(Form1->Model.Calculated);
    EXPECT_EQ(Form1->Model.Recorded(), 0);
    EXPECT_EQ(Form1->CurrentSample, 0);
    EXPECT_TRUE(services.Notices.isEmpty());

    // Enter presses the focused "Рассчитать!".
    Form1->Button2->setFocus();
    QTest::keyClick(Form1->Button2, Qt::Key_Return);
    EXPECT_TRUE(Form1->Model.Calculated);
}

TEST_F(VeltramiWindows, MissingDataFileEndsTheProgramAfterTheNotice)
{
    StartWithoutData();
    EXPECT_EQ(services.Notices, QStringList{QStringLiteral("Can't find data")});
    EXPECT_TRUE(gyroapp::TerminationRequested());
    EXPECT_NE(gyroapp::TerminationCode(), 0);
    // Nothing was read, filled or allocated.
    EXPECT_TRUE(Form3->Edit(1)->text().isEmpty());
    EXPECT_EQ(Form1->Model.SampleCount, 0);
    EXPECT_EQ(Form1->Params.StopTime, 0.0f);

    // A program in that state does not enter its event loop.
    auto* app = static_cast<gyroapp::Application*>(QCoreApplication::instance());
    EXPECT_EQ(app->Run(), gyroapp::TerminationCode());
}

TEST_F(VeltramiWindows, CancelledWindowKeepsTheEditedTextForTheNextCalculation)
{
    Start();
    EditParameters([] { Form3->Edit(3)->setText(QStringLiteral("6")); }, false);
    EXPECT_EQ(Form3->Edit(3)->text(), QStringLiteral("6"));
    EXPECT_EQ(Form1->Params.StopTime, 12.0f);
    EXPECT_TRUE(services.Questions.isEmpty());
    EXPECT_FALSE(Form1->Model.Calculated);

    // Opening it again shows the edit, and "Рассчитать!" takes it.
    QString shown;
    EditParameters([&] { shown = Form3->Edit(3)->text(); }, false);
    EXPECT_EQ(shown, QStringLiteral("6"));
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    EXPECT_EQ(Form1->Params.StopTime, 6.0f);
    EXPECT_EQ(Form1->Model.SampleCount, 59);
    EXPECT_TRUE(Form1->Model.Calculated);
    EXPECT_TRUE(services.Questions.isEmpty());
    EXPECT_EQ(services.BusyPeriods, 1);
    EXPECT_EQ(services.BusyDepth, 0);
}

TEST_F(VeltramiWindows, AcceptAndNoLeavesTheParametersAsTheyWere)
{
    Start();
    const veltrami::ModelParameters before = Form1->Params;
    Form1->CurrentSample = 5;
    services.Answer({false});
    EditParameters([] { Form3->Edit(26)->setText(Local("0.5")); }, true);
    EXPECT_EQ(services.Questions, QStringList{QStringLiteral("Произвести перерасчет?")});
    EXPECT_TRUE(SameParameters(Form1->Params, before));
    EXPECT_FALSE(Form1->Model.Calculated);
    EXPECT_EQ(Form1->CurrentSample, 5);
    EXPECT_EQ(Form3->Edit(26)->text(), Local("0.5"));

    // Visualising before any run calculates with the parameters of start-up.
    services.Answer({true});
    Visualise();
    EXPECT_TRUE(viewOpened);
    EXPECT_EQ(services.Questions.last(), QStringLiteral("Расчет данных не произведен. Произвести расчет?"));
    EXPECT_TRUE(Form1->Model.Calculated);
    EXPECT_EQ(Form1->Params.InitialAlf, 0.0f);
    veltrami::GimbalModel reference;
    reference.Params = before;
    ASSERT_TRUE(reference.AllocateSeries().ok());
    ASSERT_TRUE(reference.Calculate().ok());
    EXPECT_EQ(Form1->Model.Alf, reference.Alf);
}

TEST_F(VeltramiWindows, AcceptAndYesRecalculatesFromSampleZero)
{
    Start();
    Form1->CurrentSample = 5;
    services.Answer({true});
    EditParameters([] { Form3->Edit(26)->setText(Local("0.5")); }, true);
    EXPECT_EQ(Form1->Params.InitialAlf, 0.5f);
    EXPECT_TRUE(Form1->Model.Calculated);
    EXPECT_EQ(Form1->CurrentSample, 0);
    EXPECT_EQ(Form1->Model.Recorded(), 119);
    EXPECT_EQ(services.BusyDepth, 0);
}

TEST_F(VeltramiWindows, FieldWithTheOtherSeparatorStopsReadingThere)
{
    Start();
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    const RunSnapshot run = RunSnapshot::Of(Form1->Model);
    const float inertiaX1 = Form1->Params.InnerInertiaX1;
    Form1->CurrentSample = 7;
    const QString typed = QStringLiteral("0") + testsupport::OtherDecimal() + QStringLiteral("5");

    services.Answer({true});
    EditParameters(
        [&] {
            Form3->Edit(3)->setText(QStringLiteral("6"));
            Form3->Edit(5)->setText(typed);
            Form3->Edit(10)->setText(Local("0.0005"));
        },
        true);
    ASSERT_EQ(services.Errors.size(), 1);
    EXPECT_EQ(services.Errors[0], QStringLiteral("'%1' is not a valid floating point value").arg(typed));
    EXPECT_EQ(Form1->Params.StopTime, 6.0f);
    EXPECT_EQ(Form1->Params.DampAlfNominal, 0.01f);
    EXPECT_EQ(Form1->Params.InnerInertiaX1, inertiaX1);
    EXPECT_EQ(Form1->CurrentSample, 0);
    EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == run);
    EXPECT_EQ(Form3->Edit(5)->text(), typed);

    // "Рассчитать!" meets the same field the same way, and the program goes on.
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    EXPECT_EQ(services.Errors.size(), 2);
    EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == run);
    EXPECT_EQ(services.BusyDepth, 0);
}

QStringList FieldTexts()
{
    QStringList texts;
    for (int k = 1; k <= Form3->RowCount(); ++k)
        texts << Form3->Edit(k)->text();
    return texts;
}

TEST_F(VeltramiWindows, SavedParameterSetOpensToTheSameFieldsAndTheSameRun)
{
    Start(testsupport::DataWith({{3, "6"}, {26, "0.123"}}));
    auto* sets = Form3->findChild<gyroapp::ParameterSetMenu*>();
    ASSERT_NE(sets, nullptr);
    EXPECT_EQ(sets->OpenAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(sets->SaveAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(Form3->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(Form3->actions(), (QList<QAction*>{sets->OpenAction, sets->SaveAction}));
    // Edits typed but not yet accepted are what the set keeps.
    Form3->Edit(4)->setText(Local("1.23457E6"));
    Form3->Edit(8)->setText(Local("0.00025"));
    Form3->Edit(24)->setText(QStringLiteral("-3"));
    const QStringList saved = FieldTexts();
    const QString path = dir.filePath(QStringLiteral("мой набор"));
    services.AnswerFiles({path});
    sets->SaveAction->trigger();
    ASSERT_TRUE(services.Notices.isEmpty()) << services.Notices.join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(services.Errors.isEmpty()) << services.Errors.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(services.FileDialogStarts.value(0), QDir::home().filePath(QStringLiteral("набор параметров.dat")))
        << "the first save starts away from the program's folder";
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    const RunSnapshot run = RunSnapshot::Of(Form1->Model);
    const veltrami::ModelParameters params = Form1->Params;

    // The run tool's reader takes the set as it takes the program's file.
    veltrami::GimbalModel fromFile;
    ASSERT_TRUE(fromFile.LoadParameters(QFile::encodeName(path + QStringLiteral(".dat")).toStdString()));
    EXPECT_TRUE(SameParameters(fromFile.Params, params));

    for (int k = 1; k <= Form3->RowCount(); ++k)
        Form3->Edit(k)->setText(QStringLiteral("7"));
    services.AnswerFiles({path + QStringLiteral(".dat")});
    sets->OpenAction->trigger();
    EXPECT_EQ(FieldTexts(), saved);
    EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == run) << "opening a set calculates nothing";
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    EXPECT_TRUE(SameParameters(Form1->Params, params));
    EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == run);
    EXPECT_TRUE(services.Notices.isEmpty());

    // Values finer than their rows' digits open with the digits they need, and the run takes
    // them to the last bit.
    const std::string fine = testsupport::DataWith({{1, "0.0012345678"}, {2, "0.10000001"}, {3, "1.2345678"},
                                                    {5, "0.0123456789"}, {8, "0.00030000001"}, {14, "1.0000001"},
                                                    {17, "20.000002"}, {24, "-0.3333333"}, {26, "0.123456"}});
    const QString finePath = dir.filePath(QStringLiteral("fine.dat"));
    ASSERT_TRUE(testsupport::WriteDataFile(finePath, fine));
    services.AnswerFiles({finePath});
    sets->OpenAction->trigger();
    EXPECT_EQ(Form3->Edit(26)->text(), Local("0.123456"));
    EXPECT_EQ(Form3->Edit(14)->text(), Local("1.0000001"));
    EXPECT_EQ(Form3->Edit(22)->text(), Local("1.125")) << "a value its row shows exactly keeps its look";
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    ASSERT_TRUE(services.Errors.isEmpty()) << services.Errors.join(QLatin1Char('|')).toStdString();
    const std::vector<float> values = testsupport::FileValues(fine);
    for (std::size_t k = 0; k < veltrami::ModelParameters::Count; ++k)
        EXPECT_EQ(Form1->Params.at(k), values[k]) << "Edit" << k + 1 << " " << Form3->Edit(int(k) + 1)->text().toStdString();
}

TEST_F(VeltramiWindows, ParameterSetIsNeitherWrittenOverTheProgramFileNorFromABadField)
{
    Start();
    auto* sets = Form3->findChild<gyroapp::ParameterSetMenu*>();
    ASSERT_NE(sets, nullptr);
    const QString own = dir.filePath(QStringLiteral("veltrami.dat"));
    Form3->Edit(3)->setText(QStringLiteral("6"));
    // Named plainly, and by a detour without the suffix.
    services.AnswerFiles({own, dir.filePath(QStringLiteral("missing/../veltrami"))});
    sets->SaveAction->trigger();
    sets->SaveAction->trigger();
    EXPECT_EQ(services.Notices, QStringList({gyroapp::OwnDataFileMessage(own),
                                             gyroapp::OwnDataFileMessage(dir.filePath(QStringLiteral("missing/../veltrami.dat")))}));
    QFile file(own);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), testsupport::NominalData);
    EXPECT_TRUE(services.Questions.isEmpty()) << "refused before anything is asked";

    // Any other file that exists is replaced only when the user says so.
    const QString other = dir.filePath(QStringLiteral("other.dat"));
    const auto contentOf = [](const QString& path) {
        QFile saved(path);
        return saved.open(QIODevice::ReadOnly) ? saved.readAll().toStdString() : std::string();
    };
    ASSERT_TRUE(testsupport::WriteDataFile(other, "1\n"));
    services.Clear();
    services.AnswerFiles({other, dir.filePath(QStringLiteral("other"))});
    services.Answer({false, true});
    sets->SaveAction->trigger();
    EXPECT_EQ(services.Questions.size(), 1);
    EXPECT_EQ(testsupport::FileValues(contentOf(other)), std::vector<float>{1});
    sets->SaveAction->trigger();
    EXPECT_EQ(services.Questions.size(), 2) << "the name with its suffix added is asked about too";
    EXPECT_EQ(testsupport::FileValues(contentOf(other)).at(2), 6.0f);

    // A field that is not a number: the conversion error, no dialog, no file.
    services.Clear();
    Form3->Edit(5)->setText(QStringLiteral("abc"));
    services.AnswerFiles({dir.filePath(QStringLiteral("set.dat"))});
    sets->SaveAction->trigger();
    EXPECT_EQ(services.Errors, QStringList{QStringLiteral("'abc' is not a valid floating point value")});
    EXPECT_TRUE(services.FileDialogs.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("set.dat"))));
}

// Opens a window modally as the 3D view does and runs inWindow once the window stands and
// any choice it asks for is made (both angles ticked); then closes it.
void InWindow(QDialog* window, const std::function<void()>& inWindow)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, window, inWindow] {
        if (veltrami::Form9->isVisible()) {
            veltrami::Form9->CheckBoxes[1]->setChecked(true);
            QTest::mouseClick(veltrami::Form9->Button1, Qt::LeftButton);
            return;
        }
        if (!window->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        inWindow();
        window->close();
    });
    poll->start();
    static_cast<gyroapp::ModalForm*>(window)->ShowModal();
}

int CountColour(const QImage& picture, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            n += picture.pixel(x, y) == colour;
    return n;
}

TEST_F(VeltramiWindows, KeptRunStaysBehindRecalculatedRunsUntilRemoved)
{
    Start();
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    ASSERT_TRUE(Form1->Model.Calculated);
    const std::vector<double> first(Form1->Model.Alf.begin(), Form1->Model.Alf.begin() + Form1->Model.Recorded());
    InWindow(veltrami::Form8, [] { veltrami::Form8->Comparison1->KeepAction->trigger(); });
    ASSERT_NE(Form1->Comparison.Kept(), nullptr);

    Form3->Edit(2)->setText(Local("0.05"));
    Form3->Edit(16)->setText(Local("2.5"));
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    ASSERT_EQ(Form1->Params.PrintStep, 0.05f);
    ASSERT_TRUE(services.Notices.isEmpty()) << services.Notices.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Form1->Comparison.Kept()->series[0], first) << "the kept run outlives the recalculation";

    const QRgb paleYellow = qRgb(255, 255, 128), grey = qRgb(128, 128, 128);
    InWindow(veltrami::Form8, [&] {
        EXPECT_EQ(veltrami::Form8->size(), QSize(699, 498 + 18)) << "one line more under the graph";
        EXPECT_EQ(veltrami::Form8->Comparison1->Line->toolTip(),
                  QStringLiteral("Сравнение с запомненным расчетом: Шаг печати, с: %1 → %2; "
                                 "Амплитуда гармонич момента внешн воздейств по внутр рамке beta, Н м: 4 → %3")
                      .arg(Local("0.1"), Local("0.05"), Local("2.5")));
        const QImage graph = veltrami::Form8->PaintBox1->grab().toImage();
        EXPECT_GT(CountColour(graph, paleYellow), 200) << "the kept alpha curve, dashed";
        EXPECT_GT(CountColour(graph, qRgb(255, 255, 0)), 200) << "the current one in front";
        testsupport::SaveScreenshot(veltrami::Form8, QStringLiteral("veltrami-comparison"));
    });
    InWindow(veltrami::Form5, [&] {
        EXPECT_TRUE(veltrami::Form5->Comparison1->Line->isVisible());
        EXPECT_GT(CountColour(veltrami::Form5->PaintBox1->grab().toImage(), grey), 200);
        testsupport::SaveScreenshot(veltrami::Form5, QStringLiteral("veltrami-comparison-portrait"));
        veltrami::Form5->Comparison1->RemoveAction->trigger();
        EXPECT_EQ(veltrami::Form5->size(), QSize(621, 473));
        EXPECT_EQ(CountColour(veltrami::Form5->PaintBox1->grab().toImage(), grey), 0);
    });
    EXPECT_EQ(Form1->Comparison.Kept(), nullptr);
    InWindow(veltrami::Form8, [&] {
        EXPECT_EQ(veltrami::Form8->size(), QSize(699, 498));
        EXPECT_FALSE(veltrami::Form8->Comparison1->Line->isVisible());
        EXPECT_EQ(CountColour(veltrami::Form8->PaintBox1->grab().toImage(), paleYellow), 0);
    });
}

TEST_F(VeltramiWindows, CalculatingTwiceGivesTheSameSeriesWithoutGrowingMemory)
{
    Start(testsupport::DataWith({{2, "0.01"}, {3, "200"}}));
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    const RunSnapshot first = RunSnapshot::Of(Form1->Model);
    ASSERT_GT(first.recorded, 19000);
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == first);

    // A series of this run is 160 kB; further runs must not keep any.
    const std::size_t inUse = mallinfo2().uordblks;
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    const std::size_t after = mallinfo2().uordblks;
    EXPECT_LT(after, inUse + 80 * 1024) << "grew by " << (after - inUse) << " bytes";
    EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == first);
    EXPECT_TRUE(services.Notices.isEmpty());
}

TEST_F(VeltramiWindows, TicksAdvanceTheSampleAndStopTwoBeforeTheEnd)
{
    Start();
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    ASSERT_TRUE(services.Notices.isEmpty()) << services.Notices.join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(Form1->Model.Recorded(), 119);
    Form1->Timer1->start();

    Form1->Timer1Timer();
    EXPECT_EQ(Form1->CurrentSample, 1);
    EXPECT_EQ(Form2->Label1->text(), QStringLiteral("Время, сек ") + Local("0.100"));
    EXPECT_EQ(Form2->ViewAlpha, veltrami::ViewAngle(Form1->Model.Alf[1]));
    EXPECT_EQ(Form2->ViewBeta, veltrami::ViewAngle(Form1->Model.Bet[1]));
    for (int k = 2; k <= 15; ++k)
        Form1->Timer1Timer();
    EXPECT_EQ(Form2->Label1->text(), QStringLiteral("Время, сек ") + Local("1.500"));

    int ticks = 0;
    while (Form1->Timer1->isActive() && ticks < 1000) {
        Form1->Timer1Timer();
        ++ticks;
        // The inner moment changes sign; the outer one is zero throughout.
        const double m = Form1->Model.MomentBet[static_cast<std::size_t>(Form1->CurrentSample)];
        ASSERT_EQ(Form2->InnerTorquePositive, m > 0) << "sample " << Form1->CurrentSample;
        ASSERT_FALSE(std::isnan(Form2->OuterTorqueLevel)) << "sample " << Form1->CurrentSample;
        ASSERT_EQ(Form2->OuterTorqueLevel, 0.0f);
    }
    EXPECT_FALSE(Form1->Timer1->isActive());
    EXPECT_EQ(Form1->CurrentSample, 117);
    EXPECT_EQ(Form2->Label1->text(), QStringLiteral("Время, сек ") + Local("11.700"));

    // "Визуализация" after the end starts again at sample 0.
    int shownAt = -1;
    Visualise([&] { shownAt = Form1->CurrentSample; });
    EXPECT_TRUE(viewOpened);
    EXPECT_EQ(shownAt, 0);
    EXPECT_TRUE(services.Questions.isEmpty());
}

TEST_F(VeltramiWindows, StartStopInTheOpenViewRunsTheTimerToTheEnd)
{
    Start();
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    Form1->CurrentSample = 100;
    bool ranToEnd = false;
    Visualise([&] {
        testsupport::SaveScreenshot(Form2, QStringLiteral("view"));
        Form1->Timer1->setInterval(1);
        QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
        EXPECT_TRUE(Form1->Timer1->isActive());
        ranToEnd = QTest::qWaitFor([] { return !Form1->Timer1->isActive(); }, 60000);
    });
    EXPECT_TRUE(ranToEnd);
    EXPECT_EQ(Form1->CurrentSample, 117);
    EXPECT_FALSE(Form2->SpeedButton1->isChecked());
    EXPECT_FALSE(Form1->Timer1->isActive());
}

TEST_F(VeltramiWindows, RefusedRunChangesNothing)
{
    Start();
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    const RunSnapshot run = RunSnapshot::Of(Form1->Model);
    const veltrami::ModelParameters before = Form1->Params;

    EditParameters([] { Form3->Edit(1)->setText(QStringLiteral("0")); }, false);
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    ASSERT_EQ(services.Notices.size(), 1);
    EXPECT_FALSE(services.Notices[0].isEmpty());
    EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == run);
    EXPECT_TRUE(SameParameters(Form1->Params, before));
    EXPECT_TRUE(services.Errors.isEmpty());

    // A value beyond what a 32-bit parameter holds is refused naming the parameter, and no
    // field before it is taken either.
    EditParameters([] {
        Form3->Edit(1)->setText(Local("0.0001"));
        Form3->Edit(4)->setText(QStringLiteral("1e39"));
    }, false);
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    ASSERT_EQ(services.Errors.size(), 1);
    EXPECT_TRUE(services.Errors[0].contains(QStringLiteral("«Масса гироскопа, кг»"))) << services.Errors[0].toStdString();
    EXPECT_TRUE(RunSnapshot::Of(Form1->Model) == run);
    EXPECT_TRUE(SameParameters(Form1->Params, before));
}

TEST_F(VeltramiWindows, DivergedRunShowsOnlyTheRecordedSamples)
{
    Start();
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    Form1->CurrentSample = 50;

    // The nominal step of 0.1 s: the run gives up after a sample or two.
    EditParameters([] { Form3->Edit(1)->setText(Local("0.1")); }, false);
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    ASSERT_EQ(services.Notices.size(), 1);
    EXPECT_TRUE(services.Notices[0].startsWith(QStringLiteral("Расчет разошелся"))) << services.Notices[0].toStdString();
    EXPECT_TRUE(services.Notices[0].contains(QStringLiteral("не более %1 с").arg(Local("0.0002"))))
        << "the advised step is written as the fields write numbers: " << services.Notices[0].toStdString();
    EXPECT_EQ(services.BusyAtMessage.front(), 0) << "the notice came under the hourglass";
    EXPECT_EQ(Form1->CurrentSample, 50);
    const int recorded = Form1->Model.Recorded();
    ASSERT_LT(recorded, Form1->Model.SampleCount - 1);

    // The view opens at the first sample and the timer never goes past the last recorded one.
    bool ranToEnd = false;
    Visualise([&] {
        EXPECT_EQ(Form1->CurrentSample, 0);
        EXPECT_FALSE(std::isnan(Form2->InnerTorqueLevel));
        Form1->Timer1->setInterval(1);
        QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
        ranToEnd = QTest::qWaitFor([] { return !Form1->Timer1->isActive(); }, 60000);
    });
    EXPECT_TRUE(viewOpened);
    EXPECT_TRUE(ranToEnd);
    EXPECT_EQ(Form1->CurrentSample, std::max(recorded - 1, 0));
}

TEST_F(VeltramiWindows, VisualisingBeforeARunThatDivergesShowsWhatWasRecorded)
{
    Start(testsupport::DivergingData);
    services.Answer({true});
    Visualise();
    ASSERT_EQ(services.Notices.size(), 1);
    EXPECT_TRUE(viewOpened);
    EXPECT_TRUE(Form1->Model.Calculated);
    const int recorded = Form1->Model.Recorded();
    Form1->Timer1->start();
    for (int i = 0; i < 200 && Form1->Timer1->isActive(); ++i) {
        Form1->Timer1Timer();
        ASSERT_LT(Form1->CurrentSample, std::max(recorded, 1));
    }
    EXPECT_FALSE(Form1->Timer1->isActive());
    EXPECT_FALSE(std::isnan(Form2->InnerTorqueLevel));
    EXPECT_FALSE(std::isnan(Form2->OuterTorqueLevel));
}



TEST_F(VeltramiWindows, CancelledLongRunKeepsItsSamplesAndTellsTheUser)
{
    Start(testsupport::DataWith({{1, "0.0001"}}));
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    ASSERT_EQ(services.ProgressTexts.size(), 1) << "every calculation reports its progress";
    Form1->Timer1->start(1000);
    services.ProbeDuringRun = [] { return Form1->Timer1->isActive(); };
    services.CancelAtUpdate = services.ProgressUpdates + 3;

    // 120,000 steps: the progress is asked every few thousand of them.
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    EXPECT_FALSE(services.ProbeSeenTrue) << "the animation timer ticked during the run";
    EXPECT_TRUE(Form1->Timer1->isActive()) << "the animation goes on after the run";
    Form1->Timer1->stop();
    ASSERT_EQ(services.Notices.size(), 1);
    EXPECT_TRUE(services.Notices[0].startsWith(QStringLiteral("Расчет прерван"))) << services.Notices[0].toStdString();
    const auto& m = Form1->Model;
    EXPECT_GT(m.Recorded(), 0);
    EXPECT_LT(m.Recorded(), m.SampleCount - 1);
    for (auto* series : {&m.AlfDot, &m.BetDot, &m.Alf, &m.Bet, &m.MomentBet, &m.MomentAlf})
        EXPECT_EQ(int(series->size()), m.Recorded());
    EXPECT_LE(m.BetMax, 1.0f) << "the extremes follow the samples kept";
    EXPECT_TRUE(m.Calculated);
}

} // namespace
