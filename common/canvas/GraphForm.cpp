#include "GraphForm.h"

#include "AppServices.h"
#include "FormParts.h"
#include "GraphWindowParts.h"
#include "Locale.h"
#include "NumberFormat.h"
#include "PlotOutput.h"
#include "QPainterCanvas.h"
#include "FrequencyContent.h"
#include "FrequencyWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace timegraph {

GraphForm::GraphForm(QWidget* parent) : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Графики "));
    setFont(canvas::ToQFont({"MS Sans Serif", 11}));
    // Enter belongs to the time field here, not to closing the window.
    SetKeysClose(false);
    PlaceWindow({699, 498}, {192, 114});
}

GraphForm::~GraphForm() = default;

void GraphForm::BuildGraphArea()
{
    // Files and paper show the span of the screen, not a time typed since.
    const GraphArea area = MakeGraphArea(
        this, [this](canvas::Canvas& c) { PaintBox1Paint(c); }, [this](QPoint at) { return ReadOut(at); },
        [this](canvas::Canvas& c) { DrawPlot(c, ShownTime()); }, [this] { return Csv(); });
    PaintBox1 = area.box;
    PlotMenu1 = area.menu;
    PaintBox1->installEventFilter(this);
    PaintBox1->setFocusPolicy(Qt::ClickFocus);
    auto* separator = new QAction(PlotMenu1);
    separator->setSeparator(true);
    PaintBox1->addAction(separator);
    const auto action = [this](const QString& text, void (GraphForm::*handler)()) {
        auto* a = new QAction(text, PlotMenu1);
        gyroapp::ConnectHandler(a, &QAction::triggered, this, handler);
        PaintBox1->addAction(a);
        return a;
    };
    WholeRunAction = action(QStringLiteral("Весь расчет\tCtrl+0"), &GraphForm::WholeRun);
    EnvelopeAction = new QAction(QStringLiteral("Огибающая\tCtrl+E"), PlotMenu1);
    EnvelopeAction->setCheckable(true);
    // The menu ticks the action itself; the graph follows.
    gyroapp::ConnectHandler(EnvelopeAction, &QAction::triggered, this, &GraphForm::Changed);
    PaintBox1->addAction(EnvelopeAction);
    SpectrumAction = action(QStringLiteral("Спектр...\tCtrl+F"), &GraphForm::ShowSpectrum);

    CheckBox1 = new QCheckBox(QStringLiteral("Маркеры"), this);
    CheckBox1->setGeometry(476, 420, 97, 17);
    Button2 = MakeButton(this, QStringLiteral("Выбрать графики"), {584, 416, 97, 25});
    Button1 = MakeButton(this, QStringLiteral("Закрыть"), {592, 445, 83, 25});
    gyroapp::ConnectHandler(Button1, &QPushButton::clicked, this, &GraphForm::Button1Click);
    gyroapp::ConnectHandler(Button2, &QPushButton::clicked, this, &GraphForm::Button2Click);
    gyroapp::ConnectHandler(CheckBox1, &QCheckBox::clicked, this, &GraphForm::CheckBox1Click);
}

QLineEdit* GraphForm::MakeTimeField(QRect bevel, QRect field)
{
    canvas::MakeBevel(this, bevel);
    field_ = new QLineEdit(this);
    field_->setGeometry(field);
    field_->installEventFilter(this);
    canvas::MakeLabel(this, QStringLiteral("Время t "), {92, 430}, "MS Sans Serif", 15, true);
    return field_;
}

void GraphForm::FormShow()
{
    // A new run may stand behind the same series: levels and envelopes are formed afresh.
    levels_.Clear();
    envelopes_.clear();
    zoom_.Reset();
    // Activation follows the showing: the choice comes up once the window stands.
    QTimer::singleShot(0, this, [this] { gyroapp::RunHandler([this] { FormActivate(); }); });
}

void GraphForm::FormActivate()
{
    if (gyroapp::ModalForm* choice = ChoiceWindow()) {
        PlaceBeside(choice, this);
        choice->ShowModal();
    }
    PaintBox1->repaint();
}

void GraphForm::Button2Click() { FormActivate(); }

void GraphForm::CheckBox1Click() { PaintBox1->repaint(); }

void GraphForm::Button1Click() { SetModalResult(gyroapp::mrOk); }

void GraphForm::TimeFieldEnter()
{
    // A good time shows [0, that time], as it always has; a wrong one leaves the plot as it was.
    if (!EnterInField(field_, StopTime()))
        return;
    zoom_.Reset();
    PaintBox1->repaint();
}

void GraphForm::PaintBox1Paint(canvas::Canvas& c)
{
    const double T = TimeFromField(field_, StopTime());
    shownTime_ = T;
    DrawPlot(c, T);
}

double GraphForm::ShownTime() const { return shownTime_.value_or(StopTime()); }

TimeZoom::Limits GraphForm::ZoomLimits() const
{
    // Down to a few samples; out to the run's end time.
    return {std::max(static_cast<double>(StopTime()), ShownTime()), 4.0 * PrintStep()};
}

double GraphForm::TimeAt(int x) const
{
    const TimeSpan span = ShownSpan();
    const int m = PlotMargin(), width = PaintBox1->width() - 2 * m;
    if (width <= 0)
        return span.from;
    return span.from + std::clamp(static_cast<double>(x - m) / width, 0.0, 1.0) * span.Length();
}

void GraphForm::Changed()
{
    PaintBox1->repaint();
}

void GraphForm::ZoomAt(int x, double factor)
{
    zoom_.ZoomAbout(TimeAt(x), factor, ShownTime(), ZoomLimits());
    Changed();
}

void GraphForm::ZoomAboutCentre(double factor)
{
    const TimeSpan span = ShownSpan();
    zoom_.ZoomAbout(span.from + span.Length() / 2, factor, ShownTime(), ZoomLimits());
    Changed();
}

void GraphForm::ZoomIn() { ZoomAboutCentre(1 / ZoomStep); }

void GraphForm::ZoomOut() { ZoomAboutCentre(ZoomStep); }

void GraphForm::PanBy(double shareOfSpan)
{
    zoom_.Pan(shareOfSpan * ShownSpan().Length(), ShownTime(), ZoomLimits());
    Changed();
}

void GraphForm::WholeRun()
{
    zoom_.Reset();
    Changed();
}

bool GraphForm::EnvelopesShown() const { return EnvelopeAction->isChecked(); }

void GraphForm::ToggleEnvelopes()
{
    EnvelopeAction->setChecked(!EnvelopeAction->isChecked());
    Changed();
}

const Envelope* GraphForm::EnvelopeFor(std::span<const double> series)
{
    const std::optional<double> asked = EnvelopeFrequency();
    const std::uint64_t print = Fingerprint(series);
    const auto key = std::make_pair(series.data(), series.size());
    const auto found = envelopes_.find(key);
    if (found != envelopes_.end() && found->second.fingerprint == print && found->second.asked == asked)
        return found->second.envelope ? &*found->second.envelope : nullptr;
    // Formed once for the series and the frequency: the spectrum's peak only then.
    KeptEnvelope& kept = envelopes_[key];
    kept.fingerprint = print;
    kept.asked = asked;
    const double frequency = asked ? *asked : StrongestFrequency(series, PrintStep());
    kept.envelope = FitEnvelope(series, PrintStep(), frequency);
    if (!kept.envelope)
        NotifyLater(NoEnvelopeMessage(frequency, PrintStep(),
                                      numfmt::FormatGeneral(frequency, 6, gyroapp::LocaleSeparators())));
    return kept.envelope ? &*kept.envelope : nullptr;
}

View GraphForm::CurrentView()
{
    View view;
    view.zoom = zoom_.Span();
    view.levels = &levels_;
    if (EnvelopeAction && EnvelopeAction->isChecked())
        view.envelope = [this](std::span<const double> series) { return EnvelopeFor(series); };
    return view;
}

SpectrumForm& GraphForm::Spectrum()
{
    if (!spectrum_)
        spectrum_ = new SpectrumForm(this);
    return *spectrum_;
}

void GraphForm::ShowSpectrum()
{
    const TimeSpan span = ShownSpan();
    std::vector<SpectrumCurve> curves;
    for (const ShownCurve& curve : ShownCurves()) {
        const std::size_t first = FirstSampleFrom(span.from, PrintStep());
        const std::size_t end = DrawnSampleCount(span.to, PrintStep(), curve.samples.size());
        if (first >= end)
            continue;
        curves.push_back({curve.name, curve.color, AmplitudeSpectrum(curve.samples.subspan(first, end - first), PrintStep())});
    }
    Spectrum().SetCurves(std::move(curves), Marks());
    PlaceBeside(&Spectrum(), this);
    Spectrum().ShowModal();
}

bool GraphForm::eventFilter(QObject* watched, QEvent* event)
{
    if (field_ && FilterEnter(watched, event, field_, [this] { TimeFieldEnter(); }))
        return true;
    if (watched == PaintBox1) {
        switch (event->type()) {
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            const double notches = wheel->angleDelta().y() / 120.0;
            if (notches != 0)
                gyroapp::RunHandler([&] { ZoomAt(wheel->position().toPoint().x(), std::pow(ZoomStep, -notches)); });
            return true;
        }
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton)
                dragX_ = mouse->position().toPoint().x();
            break;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (dragX_ && (mouse->buttons() & Qt::LeftButton)) {
                const int x = mouse->position().toPoint().x();
                const int width = PaintBox1->width() - 2 * PlotMargin();
                if (width > 0 && x != *dragX_)
                    gyroapp::RunHandler([&] { PanBy(-static_cast<double>(x - *dragX_) / width); });
                dragX_ = x;
            }
            break;
        }
        case QEvent::MouseButtonRelease:
            dragX_.reset();
            break;
        default:
            break;
        }
    }
    return ModalForm::eventFilter(watched, event);
}

void GraphForm::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    std::function<void()> handler;
    switch (event->key()) {
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        if (ctrl)
            handler = [this] { ZoomIn(); };
        break;
    case Qt::Key_Minus:
        if (ctrl)
            handler = [this] { ZoomOut(); };
        break;
    case Qt::Key_0:
        if (ctrl)
            handler = [this] { WholeRun(); };
        break;
    case Qt::Key_E:
        if (ctrl)
            handler = [this] { ToggleEnvelopes(); };
        break;
    case Qt::Key_F:
        if (ctrl)
            handler = [this] { ShowSpectrum(); };
        break;
    case Qt::Key_Left:
        if (!ctrl)
            handler = [this] { PanBy(-PanShare); };
        break;
    case Qt::Key_Right:
        if (!ctrl)
            handler = [this] { PanBy(PanShare); };
        break;
    default:
        break;
    }
    if (!handler) {
        ModalForm::keyPressEvent(event);
        return;
    }
    event->accept();
    gyroapp::RunHandler(handler);
}

} // namespace timegraph
