#pragma once

#include "GraphForm.h"
#include "SideForms.h"
#include "TuningForkGraph.h"

#include <array>
#include <optional>

class QCheckBox;
class QFrame;
class QGroupBox;
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

namespace pelisond {

// Graph choice window: which of the eleven curves the graph window draws.
class TForm9 : public timegraph::ChoiceForm {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);

    CurveChoice Choice() const;
};

// Phase-portrait window "Фазовый портрет": Fi against its rate as dots.
class TForm5 : public timegraph::PortraitForm {
    Q_OBJECT
public:
    TForm5(const TuningForkModel& model, QWidget* parent = nullptr);

    void PaintBox1Paint(canvas::Canvas& c) override;
    // Adds the comparison with a kept run, which the program's windows share.
    void SetComparison(comparison::RunComparison& runs);

private:
    const TuningForkModel& model_;
    comparison::RunComparison* comparison_ = nullptr;
};

// Graph window "Графики ": the eleven series of the latest run against time.
class TForm8 : public timegraph::GraphForm {
    Q_OBJECT
public:
    TForm8(const TuningForkModel& model, TForm9& choice, QWidget* parent = nullptr);
    // The program creates the graph window before the choice window and joins them after.
    explicit TForm8(const TuningForkModel& model, QWidget* parent = nullptr);
    void SetChoiceWindow(TForm9& choice) { choice_ = &choice; }
    // Adds the comparison with a kept run, which the program's windows share.
    void SetComparison(comparison::RunComparison& runs);

    void RadioGroup1Click();
    void Edit1Enter();
    void DrawPlot(canvas::Canvas& c, double T) override;
    QString ReadOut(QPoint at) const override;

    const Ranges& CurrentRanges() const { return ranges_; }

    QLineEdit* Edit1 = nullptr;
    canvas::RadioGroup* RadioGroup1 = nullptr;

protected:
    void FormShow() override;
    float StopTime() const override { return model_.Params.StopTime; }
    float PrintStep() const override { return model_.Params.PrintStep; }
    gyroapp::ModalForm* ChoiceWindow() const override { return choice_; }
    int PlotMargin() const override { return 60; }
    std::optional<std::string> Csv() override;
    std::vector<ShownCurve> ShownCurves() const override;
    std::vector<timegraph::SpectrumMark> Marks() const override;
    // The drive frequency: the oscillation every series carries.
    std::optional<double> EnvelopeFrequency() const override { return model_.Params.DriveFrequency; }

private:
    void SetRanges();

    CurveChoice CurrentChoice() const;

    const TuningForkModel& model_;
    TForm9* choice_ = nullptr;
    comparison::RunComparison* comparison_ = nullptr;
    Ranges ranges_{};
};

} // namespace pelisond
