#pragma once

#include "GimbalGraph.h"
#include "ModalForm.h"

#include <array>
#include <optional>

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
class TForm9 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);

    CurveChoice Choice() const;
    void Button1Click();

    QFrame* Panel1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    std::array<QCheckBox*, 4> CheckBoxes{};
    QPushButton* Button1 = nullptr;
};

// Phase-portrait window "Фазовый портрет": one frame's angle against its rate.
class TForm5 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    TForm5(const GimbalModel& model, QWidget* parent = nullptr);

    void RadioGroup1Click();
    void Button3Click();
    void PaintBox1Paint(canvas::Canvas& c);
    // Adds the comparison with a kept run, which the program's windows share.
    void SetComparison(comparison::RunComparison& runs);

    canvas::PaintBox* PaintBox1 = nullptr;
    // Right button on the portrait: save and print it.
    canvas::PlotMenu* PlotMenu1 = nullptr;
    comparison::ComparisonMenu* Comparison1 = nullptr;
    canvas::RadioGroup* RadioGroup1 = nullptr;
    QPushButton* Button3 = nullptr;

private:
    const GimbalModel& model_;
    comparison::RunComparison* comparison_ = nullptr;
};

// Graph window "Графики ": angles and rates of the latest run against time.
class TForm8 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    TForm8(const GimbalModel& model, TForm9& choice, QWidget* parent = nullptr);
    // The program creates the graph window before the choice window and joins them after.
    explicit TForm8(const GimbalModel& model, QWidget* parent = nullptr);
    void SetChoiceWindow(TForm9& choice) { choice_ = &choice; }
    // Adds the comparison with a kept run, which the program's windows share.
    void SetComparison(comparison::RunComparison& runs);

    void FormActivate();
    void Button2Click();
    void CheckBox1Click();
    void MaskEdit1Enter();
    void Button1Click();
    void PaintBox1Paint(canvas::Canvas& c);
    // The graph for end time T, as the paint draws it.
    void DrawPlot(canvas::Canvas& c, double T);
    // The end time of the graph on the screen: the last paint's, the run's before any.
    double ShownTime() const;
    QString ReadOut(QPoint at) const;

    canvas::PaintBox* PaintBox1 = nullptr;
    // Right button on the graph: save, export the curves, print.
    canvas::PlotMenu* PlotMenu1 = nullptr;
    comparison::ComparisonMenu* Comparison1 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void FormShow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CurveChoice CurrentChoice() const;

    const GimbalModel& model_;
    TForm9* choice_ = nullptr;
    comparison::RunComparison* comparison_ = nullptr;
    std::optional<double> shownTime_;
};

} // namespace veltrami
