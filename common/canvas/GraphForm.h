#pragma once

#include "GraphView.h"
#include "ModalForm.h"
#include "FrequencyPlot.h"
#include "TimeSpan.h"

#include <QPoint>
#include <QRect>

#include <cstdint>

#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QLineEdit;
class QPushButton;

namespace canvas {
class Canvas;
class PaintBox;
class PlotMenu;
} // namespace canvas

namespace comparison {
class ComparisonMenu;
} // namespace comparison

namespace timegraph {

class SpectrumForm;

// What the graph windows of both programs do alike: the graph area with its right-button
// menu, the buttons, the end-time field's Enter, and looking into a run: zoom and pan in
// time, envelopes and the spectrum. Each program adds its own controls and drawing.
class GraphForm : public gyroapp::ModalForm {
    Q_OBJECT
public:
    explicit GraphForm(QWidget* parent = nullptr);
    ~GraphForm() override;

    void FormActivate();
    void Button2Click();
    void CheckBox1Click();
    void Button1Click();
    void PaintBox1Paint(canvas::Canvas& c);
    // The graph for end time T, as the paint draws it (the zoomed span when zoomed).
    virtual void DrawPlot(canvas::Canvas& c, double T) = 0;
    virtual QString ReadOut(QPoint at) const = 0;
    // The end time of the time field on the screen: the last paint's, the run's before any.
    double ShownTime() const;

    // Zoom and pan, as the wheel, the left button and the keys do them.
    const TimeZoom& Zoom() const { return zoom_; }
    // The span the graph shows: the zoomed one, else [0, the field's time].
    TimeSpan ShownSpan() const { return zoom_.Shown(ShownTime()); }
    void ZoomAt(int x, double factor);
    void ZoomIn();
    void ZoomOut();
    void PanBy(double shareOfSpan);
    void WholeRun();
    void ToggleEnvelopes();
    void ShowSpectrum();
    bool EnvelopesShown() const;
    // The view a paint and the files take.
    View CurrentView();
    // The span alone, for the read-out: it names the curves' own samples.
    View SpanView() const { return View{zoom_.Span(), nullptr, {}}; }
    // The spectrum window, made the first time it is asked for.
    SpectrumForm& Spectrum();

    canvas::PaintBox* PaintBox1 = nullptr;
    // Right button on the graph: save, export the curves, print; the whole run,
    // envelopes and the spectrum.
    canvas::PlotMenu* PlotMenu1 = nullptr;
    comparison::ComparisonMenu* Comparison1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QAction* WholeRunAction = nullptr;
    QAction* EnvelopeAction = nullptr;
    QAction* SpectrumAction = nullptr;

protected:
    // Builds the graph area, the markers box and the two buttons; the program then
    // adds its labels and its time field (MakeTimeField).
    void BuildGraphArea();
    // The end-time field in its bevel, with its label "Время t ".
    QLineEdit* MakeTimeField(QRect bevel, QRect field);
    // Enter in the time field: a good time shows [0, that time], zoom undone.
    void TimeFieldEnter();

    virtual float StopTime() const = 0;
    virtual float PrintStep() const = 0;
    virtual gyroapp::ModalForm* ChoiceWindow() const = 0;
    virtual int PlotMargin() const = 0;
    // The table of the curves as the view shows them; none when no curve is drawn.
    virtual std::optional<std::string> Csv() = 0;
    // The chosen curves, whole, with the colours the graph draws them in.
    struct ShownCurve {
        std::string name;
        canvas::Color color;
        std::span<const double> samples;
    };
    virtual std::vector<ShownCurve> ShownCurves() const = 0;
    virtual std::vector<SpectrumMark> Marks() const = 0;
    // The frequency of the envelopes, 1/s; none: each series' strongest spectral peak.
    virtual std::optional<double> EnvelopeFrequency() const = 0;

    void FormShow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TimeZoom::Limits ZoomLimits() const;
    double TimeAt(int x) const;
    void ZoomAboutCentre(double factor);
    void Changed();
    const Envelope* EnvelopeFor(std::span<const double> series);

    QLineEdit* field_ = nullptr;
    std::optional<double> shownTime_;
    TimeZoom zoom_;
    PyramidCache levels_;
    struct KeptEnvelope {
        std::uint64_t fingerprint = 0;
        std::optional<double> asked; // the frequency asked for when it was formed
        std::optional<Envelope> envelope;
    };
    std::map<std::pair<const double*, std::size_t>, KeptEnvelope> envelopes_;
    std::optional<int> dragX_;
    SpectrumForm* spectrum_ = nullptr;
};

} // namespace timegraph
