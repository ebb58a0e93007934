#pragma once

#include "ModalForm.h"
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
class TForm9 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);

    CurveChoice Choice() const;
    void Button1Click();

    QFrame* Panel1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    std::array<QCheckBox*, CurveCount> CheckBoxes{};
    QPushButton* Button1 = nullptr;
};

// Phase-portrait window "Фазовый портрет": Fi against its rate as dots.
class TForm5 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    TForm5(const TuningForkModel& model, QWidget* parent = nullptr);

    void Button3Click();
    void PaintBox1Paint(canvas::Canvas& c);
    // Adds the comparison with a kept run, which the program's windows share.
    void SetComparison(comparison::RunComparison& runs);

    canvas::PaintBox* PaintBox1 = nullptr;
    // Right button on the portrait: save and print it.
    canvas::PlotMenu* PlotMenu1 = nullptr;
    comparison::ComparisonMenu* Comparison1 = nullptr;
    QPushButton* Button3 = nullptr;

private:
    const TuningForkModel& model_;
    comparison::RunComparison* comparison_ = nullptr;
};

// Graph window "Графики ": the eleven series of the latest run against time.
class TForm8 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    TForm8(const TuningForkModel& model, TForm9& choice, QWidget* parent = nullptr);
    // The program creates the graph window before the choice window and joins them after.
    explicit TForm8(const TuningForkModel& model, QWidget* parent = nullptr);
    void SetChoiceWindow(TForm9& choice) { choice_ = &choice; }
    // Adds the comparison with a kept run, which the program's windows share.
    void SetComparison(comparison::RunComparison& runs);

    void FormActivate();
    void RadioGroup1Click();
    void Button2Click();
    void CheckBox1Click();
    void Edit1Enter();
    void Button1Click();
    void PaintBox1Paint(canvas::Canvas& c);
    // The graph for end time T, as the paint draws it.
    void DrawPlot(canvas::Canvas& c, double T);
    // The end time of the graph on the screen: the last paint's, the run's before any.
    double ShownTime() const;
    QString ReadOut(QPoint at) const;

    const Ranges& CurrentRanges() const { return ranges_; }

    canvas::PaintBox* PaintBox1 = nullptr;
    // Right button on the graph: save, export the curves, print.
    canvas::PlotMenu* PlotMenu1 = nullptr;
    comparison::ComparisonMenu* Comparison1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    canvas::RadioGroup* RadioGroup1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void FormShow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetRanges();

    CurveChoice CurrentChoice() const;

    const TuningForkModel& model_;
    TForm9* choice_ = nullptr;
    comparison::RunComparison* comparison_ = nullptr;
    Ranges ranges_{};
    std::optional<double> shownTime_;
};

} // namespace pelisond
