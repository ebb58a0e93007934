#include "GraphWindows.h"

#include "AppServices.h"
#include "ComparisonMenu.h"
#include "FormParts.h"
#include "GraphWindowParts.h"
#include "Locale.h"
#include "PlotOutput.h"
#include "QPainterCanvas.h"
#include "TuningForkComparison.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace pelisond {

namespace {

std::vector<QString> CurveNames()
{
    std::vector<QString> names;
    for (int n = 1; n <= CurveCount; ++n)
        names.push_back(QString::fromUtf8(CurveName(n)));
    return names;
}

} // namespace

TForm9::TForm9(QWidget* parent) : ChoiceForm({270, 259}, {12, 12, 241, 197}, CurveNames(), {92, 216, 75, 25}, parent) {}

CurveChoice TForm9::Choice() const
{
    CurveChoice choice{};
    for (int i = 0; i < CurveCount; ++i)
        choice[i] = CheckBoxes[i]->isChecked();
    return choice;
}

TForm5::TForm5(const TuningForkModel& model, QWidget* parent)
    : PortraitForm(QStringLiteral("Фазовый портрет Fi-Fi с точкой"), parent), model_(model)
{
    canvas::MakeLabel(this, QStringLiteral("Фазовый портрет Fi-Fi с точкой"), {168, 440}, "MS Sans Serif", 13, true);
}

void TForm5::PaintBox1Paint(canvas::Canvas& c)
{
    const std::optional<GraphData> kept = KeptGraphData(comparison_);
    DrawPhasePortrait(c, GraphDataOf(model_), PaintBox1->width(), PaintBox1->height(), kept ? &*kept : nullptr,
                      FollowedSpan());
}

void TForm5::SetComparison(comparison::RunComparison& runs)
{
    comparison_ = &runs;
    Comparison1 = new comparison::ComparisonMenu(this, PaintBox1, {621, 473}, comparison::HooksFor(runs, model_));
}

TForm8::TForm8(const TuningForkModel& model, TForm9& choice, QWidget* parent) : TForm8(model, parent)
{
    choice_ = &choice;
}

TForm8::TForm8(const TuningForkModel& model, QWidget* parent) : GraphForm(parent), model_(model)
{
    BuildGraphArea();
    canvas::MakeLabel(this, QStringLiteral("Координаты X1,X2/Координаты Y1,Y2"), {8, 8}, "Times New Roman", 19);
    canvas::MakeLabel(this, QStringLiteral("Угол ФИ(рад)/Дрейф (гр/ч)"), {464, 8}, "Times New Roman", 19);
    Edit1 = MakeTimeField({8, 421, 149, 33}, {16, 428, 53, 21});
    RadioGroup1 = new canvas::RadioGroup(QStringLiteral("Масштаб"),
                                         {QStringLiteral("Автоматически"), QStringLiteral("Фиксированный")}, 2, this);
    RadioGroup1->setGeometry(200, 408, 241, 53);
    RadioGroup1->setItemIndex(0);
    QWidget::setTabOrder(Button1, Button2);
    QWidget::setTabOrder(Button2, CheckBox1);
    QWidget::setTabOrder(CheckBox1, Edit1);
    QWidget::setTabOrder(Edit1, RadioGroup1);
    connect(RadioGroup1, &canvas::RadioGroup::itemIndexChanged, this,
            [this] { gyroapp::RunHandler([this] { RadioGroup1Click(); }); });
}

void TForm8::SetRanges()
{
    ranges_ = ComputeRanges(model_.Extremes, RadioGroup1->itemIndex() == 1 ? ScaleMode::Fixed : ScaleMode::Automatic);
}

void TForm8::FormShow()
{
    timegraph::ShowStopTime(Edit1, model_.Params.StopTime);
    SetRanges();
    PaintBox1->update();
    GraphForm::FormShow();
}

void TForm8::RadioGroup1Click()
{
    SetRanges();
    PaintBox1->repaint();
}

void TForm8::Edit1Enter() { TimeFieldEnter(); }

void TForm8::DrawPlot(canvas::Canvas& c, double T)
{
    const std::optional<GraphData> kept = KeptGraphData(comparison_);
    DrawGraph(c, GraphDataOf(model_), ranges_, CurrentChoice(), CheckBox1->isChecked(), T,
              gyroapp::LocaleSeparators(), PaintBox1->width(), PaintBox1->height(), kept ? &*kept : nullptr,
              CurrentView());
}

std::optional<std::string> TForm8::Csv()
{
    const std::optional<GraphData> kept = KeptGraphData(comparison_);
    return GraphCsv(GraphDataOf(model_), CurrentChoice(), ShownTime(), kept ? &*kept : nullptr, CurrentView());
}

std::vector<timegraph::GraphForm::ShownCurve> TForm8::ShownCurves() const
{
    const GraphData data = GraphDataOf(model_);
    const CurveChoice chosen = CurrentChoice();
    std::vector<ShownCurve> out;
    for (int n = 1; n <= CurveCount; ++n)
        if (chosen[n - 1])
            out.push_back({CurveName(n), *CurveColor(n), data.Series[CurveSeries(n)]});
    return out;
}

std::vector<timegraph::SpectrumMark> TForm8::Marks() const
{
    return {{model_.Params.DriveFrequency, "частота возбуждения"}};
}

void TForm8::SetComparison(comparison::RunComparison& runs)
{
    comparison_ = &runs;
    Comparison1 = new comparison::ComparisonMenu(this, PaintBox1, {699, 498}, comparison::HooksFor(runs, model_));
}

CurveChoice TForm8::CurrentChoice() const { return choice_ ? choice_->Choice() : CurveChoice{}; }

QString TForm8::ReadOut(QPoint at) const
{
    const std::optional<GraphData> kept = KeptGraphData(comparison_);
    return QString::fromStdString(GraphReadOut(GraphDataOf(model_), CurrentChoice(), ShownTime(), at.x(),
                                               gyroapp::LocaleSeparators(), PaintBox1->width(), PaintBox1->height(),
                                               kept ? &*kept : nullptr, SpanView()));
}

} // namespace pelisond
