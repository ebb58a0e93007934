#include "ExportTestSupport.h"
#include "GimbalModel.h"
#include "GraphWindows.h"
#include "RecordingCanvas.h"
#include "FormParts.h"
#include "Locale.h"
#include "ScriptedServices.h"
#include "CurveExport.h"
#include "TimeField.h"
#include "FrequencyWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
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
    const QRect graph = f.graph.frameGeometry();
    EXPECT_EQ(f.choice.frameGeometry().topLeft(), QPoint(graph.right() + 1, graph.top())) << "beside the graph";
    EXPECT_EQ(f.choice.windowTitle().trimmed(), QString()) << "a title that shows empty";
    EXPECT_FALSE(f.choice.windowTitle().isEmpty()) << "the window system names an untitled window after the program";
    f.graph.hide();
}

// End times with a fraction: the field shows them whole, Enter on them draws every recorded
// sample, and a shorter time typed with the decimal separator draws from 0 to that time.
TEST(VeltramiGraphWindow, AnEndTimeWithAFractionIsShownWholeAndDrawsTheWholeRun)
{
    const struct Row {
        float stop, printStep;
        double within; // a time typed in the field
        const char* typed;
    } rows[] = {{0.12345f, 0.001f, 0.05, "0.05"}, {0.00012345f, 0.000001f, 0.0001, "0.0001"}, {0.7f, 0.005f, 0.35, "0.35"}};
    for (const Row& row : rows) {
        Fixture f;
        f.model.Params.StopTime = row.stop;
        f.model.Params.PrintStep = row.printStep;
        OpenGraph(f);
        EXPECT_EQ(f.graph.MaskEdit1->text().toStdString(), timegraph::StopTimeText(row.stop, gyroapp::LocaleSeparators()));
        f.services.Clear();
        QTest::keyClick(f.graph.MaskEdit1, Qt::Key_Return);
        EXPECT_TRUE(f.services.Notices.isEmpty()) << row.stop;
        EXPECT_EQ(timegraph::DrawnSampleCount(f.graph.ShownTime(), row.printStep, 120), 120u) << row.stop;
        // Typing takes six digits and the decimal separator; a time within the run draws
        // [0, that time].
        const QString sep = QString::fromStdString(gyroapp::LocaleSeparators().decimal);
        f.graph.MaskEdit1->clear();
        QTest::keyClicks(f.graph.MaskEdit1, QStringLiteral("12") + sep + QStringLiteral("34567"));
        EXPECT_EQ(f.graph.MaskEdit1->text(), QStringLiteral("12") + sep + QStringLiteral("3456")) << "six digits only";
        const QString typed = QString::fromUtf8(row.typed).replace(QLatin1Char('.'), sep);
        f.graph.MaskEdit1->clear();
        QTest::keyClicks(f.graph.MaskEdit1, typed);
        EXPECT_EQ(f.graph.MaskEdit1->text(), typed);
        QTest::keyClick(f.graph.MaskEdit1, Qt::Key_Return);
        EXPECT_TRUE(f.services.Notices.isEmpty()) << row.typed;
        EXPECT_EQ(f.graph.ShownTime(), row.within) << row.typed;
        EXPECT_NEAR(double(timegraph::DrawnSampleCount(f.graph.ShownTime(), row.printStep, 120)),
                    row.within / row.printStep, 1.5)
            << row.typed;
        f.graph.hide();
    }
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

// The graph with the first and last curve and their markers: every kind of figure.
void OpenFullGraph(Fixture& f)
{
    f.choice.CheckBoxes[3]->setChecked(true);
    f.graph.CheckBox1->setChecked(true);
    OpenGraph(f);
}

TEST(VeltramiPlotMenus, HoldTheirActionsInRussian)
{
    Fixture f;
    EXPECT_EQ(f.graph.PaintBox1->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(exporttest::MenuTexts(*f.graph.PaintBox1),
              (QStringList{"Сохранить как PNG...", "Сохранить как SVG...", "Сохранить как PDF...",
                           "Экспорт графиков в CSV...", "Печать...", "Весь расчет\tCtrl+0", "Огибающая\tCtrl+E",
                           "Частота огибающей...", "Спектр...\tCtrl+F"}));
    EXPECT_EQ(f.portrait.PaintBox1->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(exporttest::MenuTexts(*f.portrait.PaintBox1),
              (QStringList{"Сохранить как PNG...", "Сохранить как SVG...", "Сохранить как PDF...", "Печать..."}));
}

TEST(VeltramiGraphZoom, TypedEnvelopeFrequencyAndAPortraitThatFollowsTheSpan)
{
    Fixture f;
    QTemporaryDir dir;
    f.portrait.FollowGraph(f.graph);
    OpenGraph(f);
    // The fixture's curves are sin(t): amplitude 1 at 1 1/s, nothing slow.
    f.graph.AskFrequency = [](const QString&) { return std::optional<QString>(QStringLiteral("1")); };
    f.graph.EnvelopeFrequencyAction->trigger();
    ASSERT_TRUE(f.graph.EnvelopesShown());
    const QString path = dir.filePath(QStringLiteral("envelopes.csv"));
    exporttest::AnswerFile(*f.graph.PlotMenu1, path);
    f.graph.PlotMenu1->ExportCsvAction->trigger();
    const QStringList lines = QString::fromUtf8(exporttest::ReadAll(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 120);
    EXPECT_EQ(lines[0], QStringLiteral("t (сек),Угол альфа (амплитуда),Угол альфа (медленная часть)"));
    for (int i = 1; i < lines.size(); ++i) {
        EXPECT_NEAR(lines[i].section(QLatin1Char(','), 1, 1).toDouble(), 1, 1e-6) << i;
        EXPECT_NEAR(lines[i].section(QLatin1Char(','), 2, 2).toDouble(), 0, 1e-6) << i;
    }
    f.graph.EnvelopeAction->trigger();

    // The spectrum of the shown curve: its one peak at 1 1/s, within a bin.
    std::vector<timegraph::Peak> peaks;
    double bin = 0;
    QTimer::singleShot(100, [&] {
        auto* spectrum = qobject_cast<timegraph::SpectrumForm*>(QApplication::activeModalWidget());
        ASSERT_NE(spectrum, nullptr);
        EXPECT_EQ(spectrum->windowTitle(), QStringLiteral("Спектр"));
        ASSERT_EQ(spectrum->Curves().size(), 1u);
        bin = spectrum->Curves()[0].spectrum.binWidth;
        peaks = timegraph::LargestPeaks(spectrum->Curves()[0].spectrum, 1);
        spectrum->Button1->click();
    });
    QTest::keyClick(f.graph.PaintBox1, Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(peaks.size(), 1u);
    EXPECT_NEAR(peaks[0].frequency, 1, bin);

    canvas::RecordingCanvas whole;
    f.portrait.PaintBox1Paint(whole);
    QTest::keyClick(f.graph.PaintBox1, Qt::Key_Equal, Qt::ControlModifier);
    QTest::keyClick(f.graph.PaintBox1, Qt::Key_Equal, Qt::ControlModifier);
    ASSERT_TRUE(f.graph.Zoom().Zoomed());
    EXPECT_NEAR(f.graph.Zoom().Span()->Length(), 12 / (timegraph::ZoomStep * timegraph::ZoomStep), 1e-9);
    EXPECT_NEAR(f.graph.Zoom().Span()->from + f.graph.Zoom().Span()->to, 12, 1e-9) << "about the centre";
    canvas::RecordingCanvas zoomed;
    f.portrait.PaintBox1Paint(zoomed);
    EXPECT_LT(zoomed.Segments().size(), whole.Segments().size()) << "the span's samples only";
    f.graph.hide();
}

TEST(VeltramiPlotMenus, PngFilesHoldThePixelsOfTheScreen)
{
    Fixture f;
    QTemporaryDir dir;
    OpenFullGraph(f);
    // The suffix left off in the dialog is added.
    exporttest::AnswerFile(*f.graph.PlotMenu1, dir.filePath(QStringLiteral("graph")));
    f.graph.PlotMenu1->SavePngAction->trigger();
    const QImage saved(dir.filePath(QStringLiteral("graph.png")));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(exporttest::Rgb(saved), exporttest::Rgb(f.graph.PaintBox1->grab().toImage()));
    f.graph.hide();

    f.portrait.show();
    QTest::qWait(50);
    exporttest::AnswerFile(*f.portrait.PlotMenu1, dir.filePath(QStringLiteral("portrait.png")));
    f.portrait.PlotMenu1->SavePngAction->trigger();
    const QImage portrait(dir.filePath(QStringLiteral("portrait.png")));
    ASSERT_FALSE(portrait.isNull());
    EXPECT_EQ(exporttest::Rgb(portrait), exporttest::Rgb(f.portrait.PaintBox1->grab().toImage()));
    EXPECT_TRUE(f.services.Notices.isEmpty());
    f.portrait.hide();
}

TEST(VeltramiPlotMenus, SvgAndPdfFilesHoldThePlotAndItsTexts)
{
    Fixture f;
    QTemporaryDir dir;
    OpenFullGraph(f);
    // Every text the screen shows: value labels, time labels, markers.
    canvas::RecordingCanvas screen;
    f.graph.PaintBox1Paint(screen);
    QStringList drawn;
    for (const auto& call : screen.Of(canvas::RecordingCanvas::Kind::Text))
        drawn << QString::fromStdString(call.text);
    ASSERT_GT(drawn.size(), 40);

    exporttest::AnswerFile(*f.graph.PlotMenu1, dir.filePath(QStringLiteral("graph.svg")));
    f.graph.PlotMenu1->SaveSvgAction->trigger();
    const exporttest::Svg svg = exporttest::ReadSvg(dir.filePath(QStringLiteral("graph.svg")));
    EXPECT_TRUE(svg.wellFormed);
    EXPECT_EQ(svg.viewBox, QStringLiteral("0 0 669 361"));
    EXPECT_EQ(svg.texts, drawn);

    const QString pdf = dir.filePath(QStringLiteral("graph.pdf"));
    exporttest::AnswerFile(*f.graph.PlotMenu1, pdf);
    f.graph.PlotMenu1->SavePdfAction->trigger();
    EXPECT_TRUE(exporttest::LooksLikePdf(pdf));
    if (const auto text = exporttest::PdfText(pdf)) {
        for (const QString& label : drawn)
            EXPECT_TRUE(text->contains(label)) << label.toStdString();
    }
    EXPECT_TRUE(f.services.Notices.isEmpty());
    f.graph.hide();
}

TEST(VeltramiPlotMenus, CsvHoldsTheShownTimeSpanUnderTheChoiceWindowsNames)
{
    Fixture f;
    QTemporaryDir dir;
    f.choice.CheckBoxes[2]->setChecked(true);
    OpenGraph(f);
    f.graph.MaskEdit1->setText(QStringLiteral("6"));
    QTest::keyClick(f.graph.MaskEdit1, Qt::Key_Return);
    // Typed but not confirmed: the screen still shows 0 .. 6 s, and so does the table.
    f.graph.MaskEdit1->setText(QStringLiteral("3"));

    const QString path = dir.filePath(QStringLiteral("curves.csv"));
    exporttest::AnswerFile(*f.graph.PlotMenu1, path);
    f.graph.PlotMenu1->ExportCsvAction->trigger();
    const QStringList lines = QString::fromUtf8(exporttest::ReadAll(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 60) << "samples 0 .. 59 of 0 .. 6 s";
    EXPECT_EQ(lines[0], QStringLiteral("t (сек),") + f.choice.CheckBoxes[0]->text() + QLatin1Char(',') +
                            f.choice.CheckBoxes[2]->text());
    EXPECT_TRUE(lines.back().startsWith(QStringLiteral("5.9,"))) << lines.back().toStdString();
    EXPECT_EQ(lines.back().split(QLatin1Char(','))[1].toDouble(), f.model.Alf[59]);

    // With nothing chosen there is nothing to write, and the user is told.
    f.services.Clear();
    f.choice.CheckBoxes[0]->setChecked(false);
    f.choice.CheckBoxes[2]->setChecked(false);
    exporttest::AnswerFile(*f.graph.PlotMenu1, dir.filePath(QStringLiteral("none.csv")));
    f.graph.PlotMenu1->ExportCsvAction->trigger();
    EXPECT_EQ(f.services.Notices, QStringList{canvas::NothingToExportMessage()});
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none.csv"))));
    f.graph.hide();
}

TEST(VeltramiPlotMenus, PrintingNeedsAPrinterAndTheUsersConsent)
{
    Fixture f;
    QTemporaryDir dir;
    OpenGraph(f);
    int setUps = 0;
    const QString paper = dir.filePath(QStringLiteral("paper.pdf"));

    exporttest::PrintInto(*f.graph.PlotMenu1, paper, setUps);
    f.graph.PlotMenu1->PrinterAvailable = [] { return false; };
    f.graph.PlotMenu1->PrintAction->trigger();
    EXPECT_EQ(f.services.Notices, QStringList{canvas::NoPrinterMessage()});
    EXPECT_EQ(setUps, 0);
    EXPECT_FALSE(QFile::exists(paper));

    f.services.Clear();
    exporttest::PrintInto(*f.graph.PlotMenu1, paper, setUps, false);
    f.graph.PlotMenu1->PrintAction->trigger();
    EXPECT_EQ(setUps, 1);
    EXPECT_FALSE(QFile::exists(paper)) << "cancelled in the print dialog";

    exporttest::PrintInto(*f.graph.PlotMenu1, paper, setUps);
    f.graph.PlotMenu1->PrintAction->trigger();
    EXPECT_TRUE(exporttest::LooksLikePdf(paper));
    if (const auto text = exporttest::PdfText(paper)) {
        const QString firstTimeLabel = QStringLiteral("0") + QString::fromStdString(gyroapp::LocaleSeparators().decimal) + "6";
        EXPECT_TRUE(text->contains(firstTimeLabel)) << "the first time label";
    }
    f.graph.hide();

    const QString portrait = dir.filePath(QStringLiteral("portrait.pdf"));
    exporttest::PrintInto(*f.portrait.PlotMenu1, portrait, setUps);
    f.portrait.PlotMenu1->PrintAction->trigger();
    EXPECT_TRUE(exporttest::LooksLikePdf(portrait));
    EXPECT_TRUE(f.services.Notices.isEmpty());
}

TEST(VeltramiPlotMenus, AFileThatCannotBeWrittenIsReported)
{
    Fixture f;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no such folder/graph.png"));
    exporttest::AnswerFile(*f.portrait.PlotMenu1, path);
    f.portrait.PlotMenu1->SavePngAction->trigger();
    EXPECT_EQ(f.services.Notices, QStringList{canvas::WriteFailedMessage(path)});
    EXPECT_TRUE(f.services.Errors.isEmpty());
}

TEST(VeltramiGraphReadOut, TooltipFollowsTheMouseAndNamesTheNearestSample)
{
    Fixture f;
    OpenGraph(f);
    struct Row {
        int x;
        const char* sample;
    } rows[] = {{0, "Отсчет 0,"}, {30, "Отсчет 0,"}, {233, "Отсчет 40,"}, {639, "Отсчет 119,"}, {668, "Отсчет 119,"}};
    for (const Row& row : rows) {
        const QPoint at(row.x, 100);
        const QString text = exporttest::TooltipAt(*f.graph.PaintBox1, at);
        EXPECT_EQ(text, f.graph.ReadOut(at)) << row.x;
        EXPECT_TRUE(text.contains(QString::fromUtf8(row.sample))) << text.toStdString();
        EXPECT_TRUE(text.contains(f.choice.CheckBoxes[0]->text())) << text.toStdString();
    }
    f.graph.hide();
}

} // namespace
