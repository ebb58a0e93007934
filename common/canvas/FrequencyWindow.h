#pragma once

#include "ModalForm.h"
#include "FrequencyPlot.h"

#include <vector>

class QCheckBox;
class QPushButton;

namespace canvas {
class PaintBox;
class PlotMenu;
} // namespace canvas

namespace timegraph {

// The window "Спектр": the amplitude spectra of the curves a graph window shows over its
// shown span, with the device's own frequencies marked; saved, exported and printed
// through the same right-button menu as the graphs.
class SpectrumForm : public gyroapp::ModalForm {
    Q_OBJECT
public:
    explicit SpectrumForm(QWidget* parent = nullptr);

    void SetCurves(std::vector<SpectrumCurve> curves, std::vector<SpectrumMark> marks);
    const std::vector<SpectrumCurve>& Curves() const { return curves_; }
    SpectrumOptions Options() const;
    void PaintBox1Paint(canvas::Canvas& c);

    canvas::PaintBox* PaintBox1 = nullptr;
    canvas::PlotMenu* PlotMenu1 = nullptr;
    QCheckBox* CheckBox1 = nullptr; // Гц
    QCheckBox* CheckBox2 = nullptr; // logarithmic frequency
    QCheckBox* CheckBox3 = nullptr; // logarithmic amplitude
    QPushButton* Button1 = nullptr;

private:
    std::vector<SpectrumCurve> curves_;
    std::vector<SpectrumMark> marks_;
};

} // namespace timegraph
