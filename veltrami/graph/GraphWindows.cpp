#include "GraphWindows.h"

#include "AppServices.h"
#include "ComparisonMenu.h"
#include "FormParts.h"
#include "GimbalComparison.h"
#include "GimbalModel.h"
#include "GraphWindowParts.h"
#include "Locale.h"
#include "PlotOutput.h"
#include "QPainterCanvas.h"

#include <cmath>

#include <QAction>
#include <QCheckBox>
#include <QInputDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace veltrami {

namespace {

// Digits the time field takes from the keyboard.
constexpr int MaskDigits = 6;

} // namespace

TForm9::TForm9(QWidget* parent)
    : ChoiceForm({296, 183}, {12, 12, 273, 93},
                 {QString::fromUtf8(CurveName(1)), QString::fromUtf8(CurveName(2)), QString::fromUtf8(CurveName(3)),
                  QString::fromUtf8(CurveName(4))},
                 {104, 128, 75, 25}, parent)
{
}

CurveChoice TForm9::Choice() const
{
    return {CheckBoxes[0]->isChecked(), CheckBoxes[1]->isChecked(), CheckBoxes[2]->isChecked(),
            CheckBoxes[3]->isChecked()};
}

TForm5::TForm5(const GimbalModel& model, QWidget* parent)
    : PortraitForm(QStringLiteral("Фазовый портрет"), parent), model_(model)
{
    RadioGroup1 = new canvas::RadioGroup(QStringLiteral("Фазовый портрет"),
                                         {QStringLiteral("альфа-альфа с точкой"), QStringLiteral("бета-бета с точкой")},
                                         2, this);
    RadioGroup1->setGeometry(16, 428, 369, 37);
    RadioGroup1->setItemIndex(0);
    connect(RadioGroup1, &canvas::RadioGroup::itemIndexChanged, this, [this] { RadioGroup1Click(); });
}

void TForm5::RadioGroup1Click() { PaintBox1->repaint(); }

void TForm5::PaintBox1Paint(canvas::Canvas& c)
{
    const std::optional<GraphData> kept = KeptGraphData(comparison_);
    DrawPhasePortrait(c, GraphDataOf(model_), RadioGroup1->itemIndex(), PaintBox1->width(), PaintBox1->height(),
                      kept ? &*kept : nullptr, FollowedSpan());
}

void TForm5::SetComparison(comparison::RunComparison& runs)
{
    comparison_ = &runs;
    Comparison1 = new comparison::ComparisonMenu(this, PaintBox1, {621, 473}, comparison::HooksFor(runs, model_));
}

TForm8::TForm8(const GimbalModel& model, TForm9& choice, QWidget* parent) : TForm8(model, parent)
{
    choice_ = &choice;
}

TForm8::TForm8(const GimbalModel& model, QWidget* parent) : GraphForm(parent), model_(model)
{
    BuildGraphArea();
    canvas::MakeLabel(this, QStringLiteral("Углы"), {8, 8}, "Times New Roman", 19);
    canvas::MakeLabel(this, QStringLiteral("Уголовые скорости"), {520, 8}, "Times New Roman", 19);
    MaskEdit1 = MakeTimeField({8, 421, 413, 33}, {16, 425, 65, 21});
    // Typing admits six digits only; the end time itself is shown whole, fraction and all.
    timegraph::ShowStopTimeInMask(MaskEdit1, model_.Params.StopTime, MaskDigits);
    QWidget::setTabOrder(Button1, MaskEdit1);
    QWidget::setTabOrder(MaskEdit1, Button2);
    QWidget::setTabOrder(Button2, CheckBox1);

    EnvelopeFrequencyAction = new QAction(QStringLiteral("Частота огибающей..."), PlotMenu1);
    gyroapp::ConnectHandler(EnvelopeFrequencyAction, &QAction::triggered, this, &TForm8::EnvelopeFrequencyClick);
    PaintBox1->insertAction(SpectrumAction, EnvelopeFrequencyAction);
    AskFrequency = [this](const QString& current) -> std::optional<QString> {
        bool ok = false;
        const QString text = QInputDialog::getText(this, gyroapp::BlankTitle(),
                                                   QStringLiteral("Частота огибающей, 1/с (пусто: сильнейший пик спектра)"),
                                                   QLineEdit::Normal, current, &ok);
        return ok ? std::optional<QString>(text) : std::nullopt;
    };
}

void TForm8::FormShow()
{
    timegraph::ShowStopTimeInMask(MaskEdit1, model_.Params.StopTime, MaskDigits);
    GraphForm::FormShow();
}

float TForm8::StopTime() const { return model_.Params.StopTime; }

float TForm8::PrintStep() const { return model_.Params.PrintStep; }

void TForm8::MaskEdit1Enter() { TimeFieldEnter(); }

void TForm8::EnvelopeFrequencyClick()
{
    const numfmt::Separators sep = gyroapp::LocaleSeparators();
    const QString current =
        envelopeFrequency_ ? QString::fromStdString(numfmt::FormatGeneral(*envelopeFrequency_, 7, sep)) : QString();
    const std::optional<QString> typed = AskFrequency(current);
    if (!typed)
        return;
    const std::string text = typed->trimmed().toStdString();
    if (text.empty()) {
        envelopeFrequency_.reset();
    } else {
        std::optional<double> v;
        try {
            v = numfmt::TextToFloat(text, sep.decimal);
        } catch (const numfmt::ConversionError&) {
        }
        if (!v || !(*v > 0) || !std::isfinite(*v)) {
            gyroapp::Services().Notify(QStringLiteral("Частота огибающей должна быть положительным числом: '%1'")
                                           .arg(QString::fromStdString(text)));
            return;
        }
        envelopeFrequency_ = *v;
    }
    if (!EnvelopesShown())
        ToggleEnvelopes();
    else
        PaintBox1->repaint();
}

void TForm8::DrawPlot(canvas::Canvas& c, double T)
{
    const std::optional<GraphData> kept = KeptGraphData(comparison_);
    DrawGraph(c, GraphDataOf(model_), CurrentChoice(), CheckBox1->isChecked(), T, gyroapp::LocaleSeparators(),
              PaintBox1->width(), PaintBox1->height(), kept ? &*kept : nullptr, CurrentView());
}

std::optional<std::string> TForm8::Csv()
{
    const std::optional<GraphData> kept = KeptGraphData(comparison_);
    return GraphCsv(GraphDataOf(model_), CurrentChoice(), ShownTime(), kept ? &*kept : nullptr, CurrentView());
}

std::vector<timegraph::GraphForm::ShownCurve> TForm8::ShownCurves() const
{
    const GraphData data = GraphDataOf(model_);
    const std::span<const double> series[] = {data.Alf, data.Bet, data.AlfDot, data.BetDot};
    const CurveChoice chosen = CurrentChoice();
    std::vector<ShownCurve> out;
    for (int n = 1; n <= 4; ++n)
        if (chosen[n - 1])
            out.push_back({CurveName(n), *CurveColor(n), series[n - 1]});
    return out;
}

std::vector<timegraph::SpectrumMark> TForm8::Marks() const
{
    return {{model_.NutationFrequency(), "нутация H/√(Jα·Jβ)"}};
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

} // namespace veltrami
