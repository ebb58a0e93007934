#pragma once

#include "GimbalGraph.h"
#include "GraphForm.h"
#include "SideForms.h"

#include <QString>

#include <functional>

#include <array>
#include <optional>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace comparison {
class ComparisonMenu;
class RunComparison;
} // namespace comparison

namespace canvas {
class PaintBox;
class PlotMenu;
class RadioGroup;
} // namespace canvas

namespace veltrami {

class GimbalModel;

// Graph choice window: which of the four curves the graph window draws.
class TForm9 : public timegraph::ChoiceForm {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);

    CurveChoice Choice() const;
};

// Phase-portrait window "Фазовый портрет": one frame's angle against its rate.
class TForm5 : public timegraph::PortraitForm {
    Q_OBJECT
public:
    TForm5(const GimbalModel& model, QWidget* parent = nullptr);

    void RadioGroup1Click();
    void PaintBox1Paint(canvas::Canvas& c) override;
    // Adds the comparison with a kept run, which the program's windows share.
    void SetComparison(comparison::RunComparison& runs);

    canvas::RadioGroup* RadioGroup1 = nullptr;

private:
    const GimbalModel& model_;
    comparison::RunComparison* comparison_ = nullptr;
};

// Graph window "Графики ": angles and rates of the latest run against time.
class TForm8 : public timegraph::GraphForm {
    Q_OBJECT
public:
    TForm8(const GimbalModel& model, TForm9& choice, QWidget* parent = nullptr);
    // The program creates the graph window before the choice window and joins them after.
    explicit TForm8(const GimbalModel& model, QWidget* parent = nullptr);
    void SetChoiceWindow(TForm9& choice) { choice_ = &choice; }
    // Adds the comparison with a kept run, which the program's windows share.
    void SetComparison(comparison::RunComparison& runs);

    void MaskEdit1Enter();
    // "Частота огибающей...": the frequency of the envelopes, typed; blank for each curve's
    // strongest spectral peak.
    void EnvelopeFrequencyClick();
    void DrawPlot(canvas::Canvas& c, double T) override;
    QString ReadOut(QPoint at) const override;

    QLineEdit* MaskEdit1 = nullptr;
    QAction* EnvelopeFrequencyAction = nullptr;
    // Asks for the envelopes' frequency in 1/s: the text typed, none on cancel. An input
    // dialog unless a test replaces it.
    std::function<std::optional<QString>(const QString& current)> AskFrequency;

protected:
    void FormShow() override;
    float StopTime() const override;
    float PrintStep() const override;
    gyroapp::ModalForm* ChoiceWindow() const override { return choice_; }
    int PlotMargin() const override { return 30; }
    std::optional<std::string> Csv() override;
    std::vector<ShownCurve> ShownCurves() const override;
    std::vector<timegraph::SpectrumMark> Marks() const override;
    std::optional<double> EnvelopeFrequency() const override { return envelopeFrequency_; }

private:
    CurveChoice CurrentChoice() const;

    const GimbalModel& model_;
    TForm9* choice_ = nullptr;
    comparison::RunComparison* comparison_ = nullptr;
    std::optional<double> envelopeFrequency_;
};

} // namespace veltrami
