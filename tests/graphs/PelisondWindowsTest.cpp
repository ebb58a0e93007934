#include "ComparisonMenu.h"
#include "ExportTestSupport.h"
#include "GraphWindows.h"
#include "FormParts.h"
#include "Locale.h"
#include "RecordingCanvas.h"
#include "ScriptedServices.h"
#include "FrequencyWindow.h"
#include "TimeField.h"
#include "TuningForkModel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

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

TEST(PelisondPlotMenus, HoldTheirActionsInRussian)
{
    Fixture f;
    EXPECT_EQ(exporttest::MenuTexts(*f.graph.PaintBox1),
              (QStringList{"Сохранить как PNG...", "Сохранить как SVG...", "Сохранить как PDF...",
                           "Экспорт графиков в CSV...", "Печать...", "Весь расчет\tCtrl+0", "Огибающая\tCtrl+E",
                           "Спектр...\tCtrl+F"}));
    EXPECT_EQ(exporttest::MenuTexts(*f.portrait.PaintBox1),
              (QStringList{"Сохранить как PNG...", "Сохранить как SVG...", "Сохранить как PDF...", "Печать..."}));
}

TEST(PelisondPlotMenus, CsvOfAllElevenCurvesUnderTheChoiceWindowsNames)
{
    Fixture f;
    QTemporaryDir dir;
    for (QCheckBox* box : f.choice.CheckBoxes)
        box->setChecked(true);
    OpenGraph(f);

    const QString path = dir.filePath(QStringLiteral("curves.csv"));
    exporttest::AnswerFile(*f.graph.PlotMenu1, path);
    f.graph.PlotMenu1->ExportCsvAction->trigger();
    const QStringList lines = QString::fromUtf8(exporttest::ReadAll(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 119) << "0.119 / 0.001 in single precision lies just below 119";
    QStringList header{QStringLiteral("t (сек)")};
    for (const QCheckBox* box : f.choice.CheckBoxes)
        header << box->text();
    EXPECT_EQ(lines[0], header.join(QLatin1Char(',')));
    EXPECT_EQ(lines.back().split(QLatin1Char(',')).size(), 12);
    EXPECT_TRUE(lines.back().startsWith(QStringLiteral("0.118,"))) << lines.back().toStdString();
    f.graph.hide();
}

TEST(PelisondPlotMenus, PicturesOfTheGraphAndThePortrait)
{
    Fixture f;
    QTemporaryDir dir;
    f.graph.CheckBox1->setChecked(true);
    OpenGraph(f);
    canvas::RecordingCanvas screen;
    f.graph.PaintBox1Paint(screen);
    QStringList drawn;
    for (const auto& call : screen.Of(canvas::RecordingCanvas::Kind::Text))
        drawn << QString::fromStdString(call.text);

    exporttest::AnswerFile(*f.graph.PlotMenu1, dir.filePath(QStringLiteral("graph.svg")));
    f.graph.PlotMenu1->SaveSvgAction->trigger();
    const exporttest::Svg svg = exporttest::ReadSvg(dir.filePath(QStringLiteral("graph.svg")), QStringLiteral("#ffff00"));
    EXPECT_TRUE(svg.wellFormed);
    EXPECT_EQ(svg.texts, drawn) << "four value scales, time labels and markers";
    // The X1 curve as a line through the samples' own places, between the screen's pixels:
    // sample i (of 119, 0,001 s apart over 0,119 s) stands at x = 60 + 549 i / 119, on the
    // file's grid of a tenth of a pixel; only the points of nearly straight stretches go.
    ASSERT_GT(svg.strokePoints.size(), 80);
    int between = 0;
    for (const QPointF& p : svg.strokePoints) {
        const double sample = (p.x() - 60) * 119 / 549;
        EXPECT_NEAR(sample, std::round(sample), 0.011) << p.x();
        between += p.x() != std::floor(p.x());
    }
    EXPECT_GT(between, 100);
    exporttest::AnswerFile(*f.graph.PlotMenu1, dir.filePath(QStringLiteral("graph.png")));
    f.graph.PlotMenu1->SavePngAction->trigger();
    EXPECT_EQ(exporttest::Rgb(QImage(dir.filePath(QStringLiteral("graph.png")))),
              exporttest::Rgb(f.graph.PaintBox1->grab().toImage()));
    f.graph.hide();

    f.portrait.show();
    QTest::qWait(50);
    exporttest::AnswerFile(*f.portrait.PlotMenu1, dir.filePath(QStringLiteral("portrait.png")));
    f.portrait.PlotMenu1->SavePngAction->trigger();
    EXPECT_EQ(exporttest::Rgb(QImage(dir.filePath(QStringLiteral("portrait.png")))),
              exporttest::Rgb(f.portrait.PaintBox1->grab().toImage()));
    EXPECT_TRUE(f.services.Notices.isEmpty());
    f.portrait.hide();
}

// Notches of the mouse wheel over the plot, away from the user for a positive count.
void Wheel(QWidget& box, QPoint at, int notches)
{
    QWheelEvent wheel(at, box.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&box, &wheel);
}

QStringList ExportedRows(Fixture& f, const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("span.csv"));
    exporttest::AnswerFile(*f.graph.PlotMenu1, path);
    f.graph.PlotMenu1->ExportCsvAction->trigger();
    return QString::fromUtf8(exporttest::ReadAll(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

TEST(PelisondGraphZoom, ZoomedSpanExportsItsSamplesAndCtrlZeroGivesTheRunBack)
{
    Fixture f;
    QTemporaryDir dir;
    OpenGraph(f);
    const QImage whole = exporttest::Rgb(f.graph.PaintBox1->grab().toImage());
    Wheel(*f.graph.PaintBox1, {334, 100}, 3);
    ASSERT_TRUE(f.graph.Zoom().Zoomed());
    const timegraph::TimeSpan zoomed = *f.graph.Zoom().Span();
    EXPECT_NEAR(zoomed.Length(), 0.119 / std::pow(timegraph::ZoomStep, 3), 1e-12);
    // The arrow key and a drag to the left both move the span later.
    QTest::keyClick(f.graph.PaintBox1, Qt::Key_Right);
    EXPECT_NEAR(f.graph.Zoom().Span()->from, zoomed.from + timegraph::PanShare * zoomed.Length(), 1e-12);
    QTest::mousePress(f.graph.PaintBox1, Qt::LeftButton, Qt::NoModifier, {400, 100});
    QTest::mouseMove(f.graph.PaintBox1, {300, 100});
    QTest::mouseRelease(f.graph.PaintBox1, Qt::LeftButton, Qt::NoModifier, {300, 100});
    const timegraph::TimeSpan span = *f.graph.Zoom().Span();
    EXPECT_GT(span.from, zoomed.from + timegraph::PanShare * zoomed.Length());

    // The table holds the samples of the span and no other: times 0,001 s apart.
    const QStringList lines = ExportedRows(f, dir);
    ASSERT_GT(lines.size(), 3);
    int expected = 0;
    for (int i = 0; i < 119; ++i)
        expected += i * 0.001 >= span.from - 1e-9 && i < span.to / double(0.001f);
    EXPECT_EQ(lines.size() - 1, expected);
    for (int i = 1; i < lines.size(); ++i) {
        const double t = lines[i].section(QLatin1Char(','), 0, 0).toDouble();
        EXPECT_GE(t, span.from - 1e-9) << lines[i].toStdString();
        EXPECT_LE(t, span.to) << lines[i].toStdString();
    }
    const QImage zoomedPicture = exporttest::Rgb(f.graph.PaintBox1->grab().toImage());
    EXPECT_NE(zoomedPicture, whole);
    exporttest::AnswerFile(*f.graph.PlotMenu1, dir.filePath(QStringLiteral("span.png")));
    f.graph.PlotMenu1->SavePngAction->trigger();
    EXPECT_EQ(exporttest::Rgb(QImage(dir.filePath(QStringLiteral("span.png")))), zoomedPicture) << "the file shows the span";

    QTest::keyClick(f.graph.PaintBox1, Qt::Key_0, Qt::ControlModifier);
    EXPECT_FALSE(f.graph.Zoom().Zoomed());
    EXPECT_EQ(exporttest::Rgb(f.graph.PaintBox1->grab().toImage()), whole) << "pixel for pixel";
    EXPECT_EQ(ExportedRows(f, dir).size(), 1 + 119);

    // The time field keeps its meaning: a good time shows [0, that time], a wrong one
    // leaves the zoom as it was.
    Wheel(*f.graph.PaintBox1, {334, 100}, 1);
    f.graph.Edit1->setText(QStringLiteral("1"));
    QTest::keyClick(f.graph.Edit1, Qt::Key_Return);
    EXPECT_TRUE(f.graph.Zoom().Zoomed());
    f.graph.Edit1->setText(QStringLiteral("0"));
    QTest::keyClick(f.graph.Edit1, Qt::Key_Return);
    EXPECT_FALSE(f.graph.Zoom().Zoomed());
    EXPECT_EQ(f.graph.ShownSpan(), (timegraph::TimeSpan{0, 0}));
    f.graph.hide();
}

TEST(PelisondGraphZoom, EnvelopesAtTheDriveFrequencyAndTheSpectrumOfTheShownCurves)
{
    Fixture f;
    QTemporaryDir dir;
    // The fixture's curves are sin(100 t) with t = 0,001 i.
    f.model.Params.DriveFrequency = 100;
    OpenGraph(f);
    QTest::keyClick(f.graph.PaintBox1, Qt::Key_E, Qt::ControlModifier);
    ASSERT_TRUE(f.graph.EnvelopesShown());
    const QStringList lines = ExportedRows(f, dir);
    ASSERT_EQ(lines.size(), 1 + 119);
    EXPECT_EQ(lines[0], QStringLiteral("t (сек),X1 (амплитуда),X1 (медленная часть)"));
    for (int i = 1; i < lines.size(); ++i) {
        EXPECT_NEAR(lines[i].section(QLatin1Char(','), 1, 1).toDouble(), 1e-4, 1e-7) << i;
        EXPECT_NEAR(lines[i].section(QLatin1Char(','), 2, 2).toDouble(), 0, 1e-7) << i;
    }
    f.graph.EnvelopeAction->trigger();
    EXPECT_FALSE(f.graph.EnvelopesShown());

    std::size_t curves = 0;
    QStringList menu;
    QTimer::singleShot(100, [&] {
        auto* spectrum = qobject_cast<timegraph::SpectrumForm*>(QApplication::activeModalWidget());
        ASSERT_NE(spectrum, nullptr);
        EXPECT_EQ(spectrum->windowTitle(), QStringLiteral("Спектр"));
        curves = spectrum->Curves().size();
        menu = exporttest::MenuTexts(*spectrum->PaintBox1);
        spectrum->Button1->click();
    });
    QTest::keyClick(f.graph.PaintBox1, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(curves, 1u);
    EXPECT_EQ(menu, (QStringList{"Сохранить как PNG...", "Сохранить как SVG...", "Сохранить как PDF...",
                                 "Экспорт графиков в CSV...", "Печать..."}));
    EXPECT_TRUE(f.services.Notices.isEmpty());
    f.graph.hide();
}

TEST(PelisondGraphReadOut, TooltipNamesTheSamplesAtTheEdges)
{
    Fixture f;
    OpenGraph(f);
    // The plot rectangle spans columns 60 .. 609.
    struct Row {
        int x;
        const char* sample;
    } rows[] = {{0, "Отсчет 0,"}, {60, "Отсчет 0,"}, {609, "Отсчет 118,"}, {668, "Отсчет 118,"}};
    for (const Row& row : rows) {
        const QPoint at(row.x, 50);
        const QString text = exporttest::TooltipAt(*f.graph.PaintBox1, at);
        EXPECT_EQ(text, f.graph.ReadOut(at)) << row.x;
        EXPECT_TRUE(text.contains(QString::fromUtf8(row.sample))) << text.toStdString();
    }
    f.graph.hide();
}

} // namespace

TEST(PelisondComparison, KeptRunStaysInBothWindowsAndTheCsvUntilRemoved)
{
    Fixture f;
    comparison::RunComparison runs;
    f.graph.SetComparison(runs);
    f.portrait.SetComparison(runs);
    EXPECT_EQ(exporttest::MenuTexts(*f.portrait.PaintBox1),
              (QStringList{"Сохранить как PNG...", "Сохранить как SVG...", "Сохранить как PDF...", "Печать...",
                           "Запомнить расчет для сравнения", "Убрать сравнение"}));
    EXPECT_FALSE(f.graph.Comparison1->RemoveAction->isEnabled());
    OpenGraph(f);
    f.graph.Comparison1->KeepAction->trigger();
    ASSERT_NE(runs.Kept(), nullptr);
    const std::vector<double> keptX1 = runs.Kept()->series[pelisond::X1];

    // Another run: other values at another print step, with another base rate.
    for (auto& s : f.model.Series)
        for (double& v : s)
            v = -v;
    f.model.Params.PrintStep = 0.002f;
    f.model.Params.BaseRate = 2;
    f.model.SampleCount = 59;
    f.graph.Comparison1->Refresh();
    EXPECT_TRUE(f.graph.Comparison1->RemoveAction->isEnabled());
    EXPECT_TRUE(f.graph.Comparison1->Line->toolTip().contains(
        QStringLiteral("; Угловая скорость вращения основания 1/c: 0 → 2")))
        << f.graph.Comparison1->Line->toolTip().toStdString();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("curves.csv"));
    exporttest::AnswerFile(*f.graph.PlotMenu1, path);
    f.graph.PlotMenu1->ExportCsvAction->trigger();
    const QStringList lines = QString::fromUtf8(exporttest::ReadAll(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 119) << "the kept run's 119 samples set the length";
    EXPECT_EQ(lines[0], QStringLiteral("t (сек),X1,t (сек) (запомненный расчет),X1 (запомненный расчет)"));
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines[i].split(QLatin1Char(','));
        ASSERT_EQ(cells.size(), 4) << i;
        EXPECT_EQ(cells[1].isEmpty(), i > 59) << "the current run's 59 samples, row " << i;
        EXPECT_EQ(cells[3].toDouble(), keptX1[static_cast<std::size_t>(i - 1)]) << "row " << i;
    }

    QImage portrait;
    QTimer::singleShot(50, [&] {
        portrait = f.portrait.PaintBox1->grab().toImage();
        f.portrait.Comparison1->RemoveAction->trigger();
        f.portrait.close();
    });
    f.portrait.ShowModal();
    int pale = 0;
    for (int y = 0; y < portrait.height(); ++y)
        for (int x = 0; x < portrait.width(); ++x)
            pale += portrait.pixel(x, y) == qRgb(128, 128, 128);
    EXPECT_GT(pale, 100) << "the kept run's dots";
    EXPECT_EQ(runs.Kept(), nullptr);
    f.graph.PlotMenu1->ExportCsvAction->trigger();
    EXPECT_TRUE(QString::fromUtf8(exporttest::ReadAll(path)).startsWith(QStringLiteral("t (сек),X1\n")));
    f.graph.hide();
}
