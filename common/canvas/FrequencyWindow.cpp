#include "FrequencyWindow.h"

#include "AppServices.h"
#include "FormParts.h"
#include "GraphWindowParts.h"
#include "Locale.h"
#include "PlotOutput.h"
#include "QPainterCanvas.h"

#include <QCheckBox>
#include <QPushButton>

namespace timegraph {

namespace {
constexpr int BoxWidth = 669, BoxHeight = 361;
} // namespace

SpectrumForm::SpectrumForm(QWidget* parent) : ModalForm(parent)
{
    setObjectName(QStringLiteral("SpectrumForm"));
    setWindowTitle(QStringLiteral("Спектр"));
    setFont(canvas::ToQFont({"MS Sans Serif", 11}));
    PlaceWindow({699, 440}, {192, 114});
    canvas::MakeBevel(this, {8, 8, 677, 369});
    PaintBox1 = new canvas::PaintBox(this);
    PaintBox1->setGeometry(12, 12, BoxWidth, BoxHeight);
    PaintBox1->OnPaint = [this](canvas::Canvas& c) { PaintBox1Paint(c); };
    PlotMenu1 = new canvas::PlotMenu(PaintBox1, [this](canvas::Canvas& c) { PaintBox1Paint(c); },
                                     QStringLiteral("Спектр"), QStringLiteral("Спектр"));
    PlotMenu1->AddCsvExport([this]() -> std::optional<std::string> {
        if (curves_.empty())
            return std::nullopt;
        return SpectrumCsv(curves_, Options());
    });
    const auto box = [this](const QString& text, QRect at) {
        auto* b = new QCheckBox(text, this);
        b->setGeometry(at);
        gyroapp::ConnectHandler(b, &QCheckBox::clicked, PaintBox1, qOverload<>(&QWidget::repaint));
        return b;
    };
    CheckBox1 = box(QStringLiteral("Частота в Гц"), {16, 390, 120, 17});
    CheckBox2 = box(QStringLiteral("Логарифмическая шкала частот"), {150, 390, 210, 17});
    CheckBox3 = box(QStringLiteral("Логарифмическая шкала амплитуд"), {150, 410, 220, 17});
    Button1 = MakeButton(this, QStringLiteral("Закрыть"), {600, 395, 83, 25});
    connect(Button1, &QPushButton::clicked, this, [this] { SetModalResult(gyroapp::mrOk); });
}

void SpectrumForm::SetCurves(std::vector<SpectrumCurve> curves, std::vector<SpectrumMark> marks)
{
    curves_ = std::move(curves);
    marks_ = std::move(marks);
    PaintBox1->update();
}

SpectrumOptions SpectrumForm::Options() const
{
    return {CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox3->isChecked()};
}

void SpectrumForm::PaintBox1Paint(canvas::Canvas& c)
{
    DrawSpectrum(c, curves_, marks_, Options(), gyroapp::LocaleSeparators(), PaintBox1->width(), PaintBox1->height());
}

} // namespace timegraph
