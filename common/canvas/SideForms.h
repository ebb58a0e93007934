#pragma once

#include "ModalForm.h"
#include "TimeSpan.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

class QCheckBox;
class QFrame;
class QGroupBox;
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

class GraphForm;

// The graph choice window of both programs: a group of check boxes, one a curve, and "OK".
class ChoiceForm : public gyroapp::ModalForm {
    Q_OBJECT
public:
    // The window's client size, the group's place, the curves' names (the first two boxes
    // narrow, the others wide) and the place of "OK". Only the first box starts ticked.
    ChoiceForm(QSize client, QRect group, const std::vector<QString>& names, QRect okButton, QWidget* parent);

    void Button1Click();

    QFrame* Panel1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    std::vector<QCheckBox*> CheckBoxes;
    QPushButton* Button1 = nullptr;
};

// The phase-portrait window of both programs: a framed paint box with its right-button
// menu and "Закрыть"; the program adds its own controls and drawing.
class PortraitForm : public gyroapp::ModalForm {
    Q_OBJECT
public:
    // menuTitle names the printed document and the SVG and PDF files.
    PortraitForm(const QString& menuTitle, QWidget* parent);

    void Button3Click();
    virtual void PaintBox1Paint(canvas::Canvas& c) = 0;
    // The portrait shows the span the graph window is zoomed to.
    void FollowGraph(const GraphForm& graph) { graph_ = &graph; }

    canvas::PaintBox* PaintBox1 = nullptr;
    // Right button on the portrait: save and print it.
    canvas::PlotMenu* PlotMenu1 = nullptr;
    comparison::ComparisonMenu* Comparison1 = nullptr;
    QPushButton* Button3 = nullptr;

protected:
    // The zoomed span of the graph window followed, none when unzoomed.
    std::optional<TimeSpan> FollowedSpan() const;

private:
    const GraphForm* graph_ = nullptr;
};

} // namespace timegraph
