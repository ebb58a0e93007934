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

using timegraph::MakeButton;

TForm9::TForm9(QWidget* parent)
    : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(gyroapp::BlankTitle());
    setFont(canvas::ToQFont({"MS Sans Serif", 11}));
    // Its place is beside the graph window, set whenever that window shows it.
    PlaceWindow({270, 259}, pos());
    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(0, 0, 270, 259);
    GroupBox1 = new QGroupBox(QStringLiteral("Какие графики выводить"), Panel1);
    GroupBox1->setGeometry(12, 12, 241, 197);
    for (int i = 0; i < CurveCount; ++i) {
        CheckBoxes[i] = new QCheckBox(QString::fromUtf8(CurveName(i + 1)), GroupBox1);
        CheckBoxes[i]->setGeometry(8, 16 + 16 * i, i < 2 ? 97 : 213, 17);
    }
    CheckBoxes[0]->setChecked(true);
    QWidget::setTabOrder(CheckBoxes[0], CheckBoxes[2]);
    QWidget::setTabOrder(CheckBoxes[2], CheckBoxes[1]);
    QWidget::setTabOrder(CheckBoxes[1], CheckBoxes[3]);
    for (int i = 3; i + 1 < CurveCount; ++i)
        QWidget::setTabOrder(CheckBoxes[i], CheckBoxes[i + 1]);
    Button1 = MakeButton(Panel1, QStringLiteral("OK"), {92, 216, 75, 25});
    QWidget::setTabOrder(CheckBoxes[CurveCount - 1], Button1);
    gyroapp::ConnectHandler(Button1, &QPushButton::clicked, this, &TForm9::Button1Click);
}

CurveChoice TForm9::Choice() const
{
    CurveChoice choice{};
    for (int i = 0; i < CurveCount; ++i)
        choice[i] = CheckBoxes[i]->isChecked();
    return choice;
}

void TForm9::Button1Click() { SetModalResult(gyroapp::mrOk); }

TForm5::TForm5(const TuningForkModel& model, QWidget* parent)
    : ModalForm(parent), model_(model)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Фазовый портрет"));
    setFont(canvas::ToQFont({"MS Sans Serif", 11}));
    PlaceWindow({621, 473}, {86, 87});
    setFixedSize(621, 473);
    canvas::MakeBevel(this, {0, 0, 621, 473}, true);
    auto* panel1 = new QFrame(this);
    panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel1->setGeometry(8, 8, 601, 417);
    auto* panel2 = new QFrame(panel1);
    panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel2->setGeometry(8, 8, 585, 401);
    PaintBox1 = new canvas::PaintBox(panel2);
    PaintBox1->setGeometry(8, 8, 569, 385);
    PaintBox1->OnPaint = [this](canvas::Canvas& c) { PaintBox1Paint(c); };
    PlotMenu1 = new canvas::PlotMenu(PaintBox1, [this](canvas::Canvas& c) { PaintBox1Paint(c); },
                                     QStringLiteral("Фазовый портрет Fi-Fi с точкой"), QStringLiteral("Фазовый портрет"));
    canvas::MakeLabel(this, QStringLiteral("Фазовый портрет Fi-Fi с точкой"), {168, 440}, "MS Sans Serif", 13, true);
    Button3 = MakeButton(this, QStringLiteral("Закрыть"), {536, 432, 75, 25});
    gyroapp::ConnectHandler(Button3, &QPushButton::clicked, this, &TForm5::Button3Click);
}

void TForm5::Button3Click() { SetModalResult(gyroapp::mrOk); }

void TForm5::PaintBox1Paint(canvas::Canvas& c)
{
    const std::optional<GraphData> kept = KeptGraphData(comparison_);
    DrawPhasePortrait(c, GraphDataOf(model_), PaintBox1->width(), PaintBox1->height(), kept ? &*kept : nullptr,
                      graph_ ? graph_->Zoom().Span() : std::nullopt);
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
    canvas::MakeBevel(this, {8, 421, 149, 33});
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(16, 428, 53, 21);
    Edit1->installEventFilter(this);
    SetTimeField(Edit1);
    canvas::MakeLabel(this, QStringLiteral("Время t "), {92, 430}, "MS Sans Serif", 15, true);
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
